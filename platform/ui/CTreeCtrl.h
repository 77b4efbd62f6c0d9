#pragma once
// A tree view: items with a text and pointer-sized item data, added, removed, sorted, expanded
// and selected; labels edited in place when the control allows it, the owner deciding at the
// start and at the end of each edit; and the view-state questions a redraw needs (the item at a
// point, the first visible item, scrolling one into view). The items live in plain data
// (TreeItems); the Qt view shows them through a model.

#include <functional>
#include <memory>

#include "platform/ui/CWnd.h"
#include "platform/ui/TreeItems.h"

class TreeItemModel;
class QTimer;
class QTreeView;

constexpr UINT TVE_COLLAPSE = 0x1;
constexpr UINT TVE_EXPAND = 0x2;

class CTreeCtrl : public CWnd {
public:
    CTreeCtrl();
    ~CTreeCtrl() override;

    // Makes the view as a child of `parent` (or a window of its own), in `rect`. With
    // `editLabels` the user may edit labels (F2, or a click on the selected item).
    BOOL Create(const CRect& rect, CWnd* parent, UINT id, bool editLabels);

    // A new last child of `parent` (null: the top level).
    HTREEITEM InsertItem(const char* text, HTREEITEM parent = nullptr);
    // Removes the item with its sub-items.
    BOOL DeleteItem(HTREEITEM item);
    BOOL DeleteAllItems();
    CString GetItemText(HTREEITEM item) const;
    BOOL SetItemText(HTREEITEM item, const char* text);
    DWORD_PTR GetItemData(HTREEITEM item) const;
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data);

    HTREEITEM GetRootItem() const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    BOOL ItemHasChildren(HTREEITEM item) const;
    int GetCount() const;
    // Orders the children of `item` (null: the top level) by text, case ignored.
    BOOL SortChildren(HTREEITEM item);

    BOOL Expand(HTREEITEM item, UINT code);
    BOOL SelectItem(HTREEITEM item);
    HTREEITEM GetSelectedItem() const;
    // Starts editing the label of `item` (when the owner allows it); FALSE when no edit began.
    BOOL EditLabel(HTREEITEM item);
    bool IsEditing() const;
    // The item at `point` (client coordinates), or null.
    HTREEITEM HitTest(const CPoint& point) const;
    HTREEITEM GetFirstVisibleItem() const;
    // The item below `item` as the view shows them, or null.
    HTREEITEM GetNextVisibleItem(HTREEITEM item) const;
    // Expands the item's ancestors and scrolls it into view.
    BOOL EnsureVisible(HTREEITEM item);
    // Scrolls so that `item` is the first visible item.
    BOOL SelectSetFirstVisible(HTREEITEM item);
    // Between FALSE and TRUE, changes reach the view at once, when drawing resumes.
    void SetRedraw(BOOL redraw);

    // Notifications to the owner, in place of TVN_SELCHANGED, NM_DBLCLK, TVN_BEGINLABELEDIT
    // (return false to refuse the edit) and TVN_ENDLABELEDIT (return true to keep the new text).
    void OnSelChanged(std::function<void()> handler);
    void OnDoubleClick(std::function<void()> handler);
    void OnBeginLabelEdit(std::function<bool(HTREEITEM item)> handler);
    void OnEndLabelEdit(std::function<bool(HTREEITEM item, const CString& text)> handler);
    // Shows `item` as where a drag would drop (null: no item), as TVGN_DROPHILITE does.
    BOOL SelectDropTarget(HTREEITEM item);
    HTREEITEM GetDropHilightItem() const;

    // In place of TVN_BEGINDRAG: the user starts dragging `item`. Without a handler the tree
    // is no drag source.
    void OnBeginDrag(std::function<void(HTREEITEM item)> handler);

    // A drag rests at `point` (client coordinates): the item there expands after the expand
    // delay, and near the top or bottom edge the view scrolls. EndDragHover when it leaves or
    // drops.
    void DragHover(CPoint point);
    void EndDragHover();
    static constexpr int kDragExpandDelayMs = 700;
    void SetDragExpandDelay(int milliseconds);

    // The model the view shows; for tests that check it.
    TreeItemModel& Model() const { return *m_model; }

private:
    QTreeView* View() const;

    std::unique_ptr<TreeItemModel> m_model;
    std::function<void()> m_onSelChanged;
    std::function<void()> m_onDoubleClick;
    std::function<bool(HTREEITEM)> m_onBeginEdit;
    std::function<void(HTREEITEM)> m_onBeginDrag;
    std::unique_ptr<QTimer> m_expandTimer;
    std::unique_ptr<QTimer> m_scrollTimer;
    HTREEITEM m_hovered = nullptr;  // under a drag; the model's
    int m_scrollDirection = 0;      // -1 up, 1 down
};
