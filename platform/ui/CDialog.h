#pragma once
// A modal dialog made from a dialog template of the current resource module. DoModal builds the
// window and its controls, runs OnInitDialog, and hands the dialog to the modal runner: in the
// program a Qt event loop until EndDialog, in tests a script that acts as the user would.
// OK and Cancel (button ids 1 and 2, Enter on the default button, Escape) reach OnOK and
// OnCancel; F1 reaches OnHelpInfo with the template's help id.

#include <functional>
#include <memory>

#include "platform/ui/CWnd.h"

class CDialog;
struct CDialogTemplate;
class QDialog;

// Moves values between a dialog's controls and its members, one way per UpdateData.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    // The control with `id`; throws std::logic_error when the template has none.
    CWnd& Control(UINT id) const;

    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls to members
};

void DDX_Control(CDataExchange* pDX, UINT id, CWnd& control);
void DDX_Text(CDataExchange* pDX, UINT id, CString& value);
void DDX_Check(CDataExchange* pDX, UINT id, int& value);
// `value` is the index of the checked button in the group that starts at `id` (-1 for none).
void DDX_Radio(CDataExchange* pDX, UINT id, int& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // IDOK, IDCANCEL or what EndDialog was given; -1 when the template is missing.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL OnHelpInfo(UINT helpId) override;

    // Puts `control` (made by the dialog, as a child of this window) where the template's
    // control `id` stands: its place, how it follows a resize, its place in the tab order and its
    // id. The template's control is gone afterwards. Throws std::logic_error without one.
    void ReplaceControl(UINT id, CWnd& control);

    UINT GetTemplateId() const { return m_templateId; }
    UINT GetHelpId() const { return m_helpId; }
    // True from DoModal's start until EndDialog.
    bool IsRunning() const { return m_running; }

    // Runs a dialog DoModal has made and shown, until it ends. Returns the previous runner; an
    // empty runner restores the program's (a Qt event loop).
    using ModalRunner = std::function<void(CDialog& dialog)>;
    static ModalRunner SetModalRunner(ModalRunner runner);

private:
    void Build(const CDialogTemplate& layout);

    UINT m_templateId;
    UINT m_helpId = 0;
    CWnd* m_pParentWnd;
    bool m_running = false;
    int m_result = -1;
    std::vector<std::unique_ptr<CWnd>> m_controls;  // wrappers of the template's controls
};

// Shows the wait cursor while it lives.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// Makes the process's Qt application when none exists yet (a host without windows of its own
// that shows a dialog); the platform is Qt's default, or offscreen for tests.
void EnsureUiApplication();

// Message boxes become Qt message boxes. The program installs this; tests keep a script.
void InstallQtMessageBoxes();

// Saves a picture of `window` as it is now to `path` (PNG). False when it cannot be written.
bool SaveScreenshot(const CWnd& window, const std::string& path);
