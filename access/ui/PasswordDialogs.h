#pragma once
// The two password dialogs of the libraries: CUserPasswordDlg sets the password of a tier's
// user 0; CAskLibPassword takes the password of a tier whose rights a change needs. Both show
// this module's templates (6004, 6016) whatever resource module the host has current.

#include "platform/afx/CResourceModule.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/Controls.h"

// Puts back, when it goes, the resource module that was current when it was made: the scoped
// form of the switch every dialog's DoModal makes to this module's resources.
class CDllResourceHandler {
public:
    CDllResourceHandler();
    virtual ~CDllResourceHandler();
    CDllResourceHandler(const CDllResourceHandler&) = delete;
    CDllResourceHandler& operator=(const CDllResourceHandler&) = delete;

private:
    HINSTANCE m_hSavedInstance;
};

class CUserPasswordDlg : public CDialog {
public:
    explicit CUserPasswordDlg(CWnd* parent = nullptr);
    ~CUserPasswordDlg() override;

    CString GetPassword() const { return m_strPassword; }
    // Both the password and its confirmation.
    void SetPassword(const CString& password);
    INT_PTR DoModal() override;

    int m_nDatabaseType = 2;
    CComboBox m_cmbSelectDatabase;
    CEdit m_edtPassword;
    CEdit m_edtConfirmation;
    CString m_strPassword;
    CString m_strConfirmation;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnHelpInfo(UINT helpId) override;
    void OnSelendokSelectdatabasecmb();
};

class CAskLibPassword : public CDialog {
public:
    explicit CAskLibPassword(CWnd* parent = nullptr);
    ~CAskLibPassword() override;
    INT_PTR DoModal() override;

    int m_nDatabaseType = 0;
    CString m_strPassword;
    CString m_strDatabase;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnHelpInfo(UINT helpId) override;
};

// Makes the handlers' SetNewPassword run CUserPasswordDlg.
void InstallPasswordDialogs();
