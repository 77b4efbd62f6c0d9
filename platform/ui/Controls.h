#pragma once
// The controls the dialogs bind: buttons, static texts, edits and combo boxes, with the MFC
// operations the dialogs use. A control wraps the widget its dialog's template made (through
// DDX_Control); its notifications are callbacks the dialog connects in place of a message map.

#include <functional>

#include "platform/ui/CWnd.h"

class QPainter;

constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_F2 = 0x71;
// Negative while the key `virtualKey` (VK_SHIFT, VK_CONTROL) is held down.
short GetKeyState(int virtualKey);

constexpr int CB_ERR = -1;

constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

class CButton : public CWnd {
public:
    // The button Enter presses.
    BOOL IsDefault() const;
    // BST_CHECKED or BST_UNCHECKED, for check boxes and push-like check buttons.
    int GetCheck() const;
    void SetCheck(int check);
    // BN_CLICKED: the user pressed the button (a check button has changed its state by then).
    void OnClicked(std::function<void()> handler);
    // An owner-drawn button draws itself with `draw` instead of the platform's look.
    void SetOwnerDraw(std::function<void(QPainter& painter, const CRect& rect)> draw);
};

// A label, or a placeholder whose place a control the dialog makes takes
// (CDialog::ReplaceControl).
class CStatic : public CWnd {};

class CEdit : public CWnd {
public:
    // A one-line edit in `rect` of `parent` (or a window of its own).
    BOOL Create(const CRect& rect, CWnd* parent, UINT id);
    // EN_CHANGE: the text changed, by the user or by SetWindowText.
    void OnChange(std::function<void()> handler);
};

// A drop-down list, sorted when its template says CBS_SORT: AddString then puts a text among
// the others in the order names compare everywhere in the libraries (case ignored).
class CComboBox : public CWnd {
public:
    // A drop-down list that keeps its items in the order they are added.
    BOOL Create(const CRect& rect, CWnd* parent, UINT id);
    int AddString(const char* text);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);  // CB_ERR (and no selection) when out of range
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    void GetLBText(int index, CString& text) const;
    int FindStringExact(int start, const char* text) const;  // case ignored; CB_ERR when none
    // CBN_SELENDOK: the user chose an item (with the mouse or the keyboard).
    void OnSelEndOk(std::function<void()> handler);
    // CBN_SELCHANGE: the selection changed, also through SetCurSel.
    void OnSelChange(std::function<void()> handler);
};
