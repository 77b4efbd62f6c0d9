#pragma once
// A sorted list box with a check box before each item, as the store dialog lists a design's
// parts: several items may be selected; the owner decides whether a click on a check box ticks
// it, and hears of clicks on an item's text (to start renaming it) and of keys pressed.

#include <functional>
#include <memory>

#include "platform/ui/CWnd.h"

class CheckListModel;
class QListView;

constexpr int LB_ERR = -1;

class CCheckListBox : public CWnd {
public:
    CCheckListBox();
    ~CCheckListBox() override;

    BOOL Create(const CRect& rect, CWnd* parent, UINT id);

    // Puts `text` at its place among the others (case ignored); its index.
    int AddString(const char* text);
    // The number of items left; LB_ERR for no such item.
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    void GetText(int index, CString& text) const;
    // The first item from `start + 1` on (wrapping round) whose text is `text`, case ignored;
    // LB_ERR when none.
    int FindStringExact(int start, const char* text) const;
    int SetItemDataPtr(int index, void* data);
    void* GetItemDataPtr(int index) const;
    void SetCheck(int index, int check);
    int GetCheck(int index) const;

    int GetSelCount() const;
    int GetSel(int index) const;
    // Selects or deselects `index`, or every item for -1.
    int SetSel(int index, BOOL select = TRUE);
    // The item with the caret (the current one), LB_ERR for none.
    int GetCaretIndex() const;
    int SetCaretIndex(int index);
    // The item's place in client coordinates.
    int GetItemRect(int index, CRect* rect) const;

    // A click on the check box of `index`: the owner ticks it or not.
    void OnCheckClicked(std::function<void(int index)> handler);
    // A click on the text of `index`; `wasCurrent`: it had the caret before the click.
    void OnTextClicked(std::function<void(int index, bool wasCurrent)> handler);
    // LBN_SELCHANGE: the selection or the caret changed.
    void OnSelChange(std::function<void()> handler);
    // A key pressed in the list (a Qt key code); true when the owner took it.
    void OnKey(std::function<bool(int key)> handler);

    // The model the view shows; for tests that check it.
    CheckListModel& Model() const { return *m_model; }

private:
    QListView* View() const;

    std::unique_ptr<CheckListModel> m_model;
    std::function<void(int)> m_onCheckClicked;
    std::function<void(int, bool)> m_onTextClicked;
    std::function<void()> m_onSelChange;
    std::function<bool(int)> m_onKey;
};
