#pragma once
// A list view in owner-data mode, as the part lists use it: one column without a header, the
// owner keeps the items and gives the view only their number; text and images are asked of the
// owner when an item is drawn (an image, an overlay over it, and a state image before it).
// Several items may be selected; labels are edited in place when the control allows it, the
// owner deciding at the start and the end of each edit.

#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include "platform/ui/CImageList.h"
#include "platform/ui/CWnd.h"
#include "platform/ui/VirtualListModel.h"

class QTreeView;

constexpr int LVSIL_SMALL = 1;
constexpr int LVSIL_STATE = 2;
constexpr UINT LVIS_FOCUSED = 0x1;
constexpr UINT LVIS_SELECTED = 0x2;
constexpr UINT LVNI_ALL = 0x0;
constexpr UINT LVNI_SELECTED = 0x2;

class CListCtrl : public CWnd {
public:
    CListCtrl();
    ~CListCtrl() override;

    BOOL Create(const CRect& rect, CWnd* parent, UINT id, bool editLabels);

    // Not owned; they must live as long as the control.
    void SetImageList(CImageList* images, int which);
    // The number of items; the selection of items that stay is kept.
    void SetItemCountEx(int count);
    int GetItemCount() const { return m_model->Count(); }
    // Asked for an item whenever the view draws or reads it.
    void SetDisplayHandler(std::function<ListItemDisplay(int item)> handler);
    CString GetItemText(int item) const;
    // Items `first` to `last` changed: the view asks for them again.
    void RedrawItems(int first, int last);

    int GetSelectedCount() const;
    // The item at `point` (client coordinates), or -1.
    int HitTest(const CPoint& point) const;
    // The next item after `start` (-1: from the first) that has the flags in `flags`
    // (LVNI_SELECTED) or any (LVNI_ALL); -1 when none.
    int GetNextItem(int start, UINT flags) const;
    // Sets the states in `mask` (LVIS_SELECTED, LVIS_FOCUSED) of `item` (-1: every item) to
    // those in `state`.
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
    int GetSelectionMark() const { return m_selectionMark; }
    int SetSelectionMark(int item);
    BOOL EnsureVisible(int item);
    BOOL EditLabel(int item);
    bool IsEditing() const;
    // The column never gets narrower than the view, also when the view is resized later; a
    // wider one scrolls sideways.
    BOOL SetColumnWidth(int width);
    int GetColumnWidth() const;
    // The width in pixels `text` takes in the view's font.
    int GetStringWidth(const char* text) const;

    // Notifications to the owner, in place of NM_CLICK, NM_DBLCLK, LVN_ITEMCHANGED,
    // LVN_BEGINLABELEDIT (return false to refuse) and LVN_ENDLABELEDIT (return true to keep the
    // text). A click gives the item clicked, -1 for none.
    void OnClick(std::function<void(int item)> handler);
    void OnDoubleClick(std::function<void(int item)> handler);
    void OnItemChanged(std::function<void()> handler);
    void OnBeginLabelEdit(std::function<bool(int item)> handler);
    void OnEndLabelEdit(std::function<bool(int item, const CString& text)> handler);
    // In place of LVN_BEGINDRAG: the user starts dragging the selected items. Without a
    // handler the list is no drag source.
    void OnBeginDrag(std::function<void()> handler);

    // The model the view shows; for tests that check it.
    VirtualListModel& Model() const { return *m_model; }

private:
    QTreeView* View() const;
    QPixmap Picture(const ListItemDisplay& item);

    std::unique_ptr<VirtualListModel> m_model;
    CImageList* m_small = nullptr;  // not owned
    CImageList* m_state = nullptr;  // not owned
    // Pictures made, by image, overlay and state image: a few kinds serve thousands of items.
    std::map<std::tuple<int, int, int>, QPixmap> m_pictures;
    int m_selectionMark = -1;
    bool m_countChanging = false;  // inside SetItemCountEx
    bool m_changeHeld = false;     // a change came meanwhile, told at its end
    std::function<bool(int)> m_onBeginEdit;
    std::function<void(int)> m_onClick;
    std::function<void(int)> m_onDoubleClick;
    std::function<void()> m_onItemChanged;
    std::function<void()> m_onBeginDrag;
};
