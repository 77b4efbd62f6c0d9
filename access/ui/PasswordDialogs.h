#pragma once
// The two password dialogs of the libraries: CUserPasswordDlg sets the password of a tier's
// user 0; CAskLibPassword takes the password of a tier whose rights a change needs. Both show
// this module's templates (6004, 6016).

#include "access/ui/ModuleDialog.h"
#include "platform/ui/Controls.h"

class CUserPasswordDlg : public CModuleDialog {
public:
    explicit CUserPasswordDlg(CWnd* parent = nullptr);
    ~CUserPasswordDlg() override;

    CString GetPassword() const { return m_strPassword; }
    // Both the password and its confirmation.
    void SetPassword(const CString& password);

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
    void OnSelendokSelectdatabasecmb();
};

class CAskLibPassword : public CModuleDialog {
public:
    explicit CAskLibPassword(CWnd* parent = nullptr);
    ~CAskLibPassword() override;

    int m_nDatabaseType = 0;
    CString m_strPassword;
    CString m_strDatabase;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};

// Makes the handlers' SetNewPassword run CUserPasswordDlg.
void InstallPasswordDialogs();
