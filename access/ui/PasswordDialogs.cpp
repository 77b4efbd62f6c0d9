#include "access/ui/PasswordDialogs.h"

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "host/CSet.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/dao/CDaoException.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSUserTree.h"

CUserPasswordDlg::CUserPasswordDlg(CWnd* parent) : CModuleDialog(IDD_USER_PASSWORD, parent) {}

CUserPasswordDlg::~CUserPasswordDlg() = default;

void CUserPasswordDlg::SetPassword(const CString& password) {
    m_strPassword = password;
    m_strConfirmation = password;
}

void CUserPasswordDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SELECT_DATABASE_CMB, m_cmbSelectDatabase);
    DDX_Control(pDX, IDC_PASSWORD, m_edtPassword);
    DDX_Control(pDX, IDC_PASSWORD_CONFIRMATION, m_edtConfirmation);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_PASSWORD_CONFIRMATION, m_strConfirmation);
}

BOOL CUserPasswordDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (const DATABASETYPE tier :
         {DATABASETYPE_USER, DATABASETYPE_CORPORATE, DATABASETYPE_MASTER}) {
        if (tier == DATABASETYPE_MASTER && !MasterEditPermitted()) {
            continue;
        }
        const int index = m_cmbSelectDatabase.AddString(TierTitle(tier));
        m_cmbSelectDatabase.SetItemData(index, tier);
    }
    for (int i = 0; i < m_cmbSelectDatabase.GetCount(); ++i) {
        if (static_cast<int>(m_cmbSelectDatabase.GetItemData(i)) == m_nDatabaseType) {
            m_cmbSelectDatabase.SetCurSel(i);
        }
    }
    m_cmbSelectDatabase.OnSelEndOk([this] { OnSelendokSelectdatabasecmb(); });
    return TRUE;
}

void CUserPasswordDlg::OnSelendokSelectdatabasecmb() {
    const int selected = m_cmbSelectDatabase.GetCurSel();
    if (selected != CB_ERR) {
        m_nDatabaseType = static_cast<int>(m_cmbSelectDatabase.GetItemData(selected));
    }
}

void CUserPasswordDlg::OnOK() {
    UpdateData(TRUE);
    if (m_strPassword != m_strConfirmation) {
        AfxMessageBox(ModuleString(IDS_PASSWORD_MISMATCH), MB_OK);
        m_edtPassword.SetFocus();
        return;
    }
    CMSAccessDBHandler* tier = GetAccessDB(static_cast<DATABASETYPE>(m_nDatabaseType));
    if (tier != nullptr && tier->GetRSUserTree() != nullptr) {
        try {
            tier->GetRSUserTree()->SetUserPassword(0, m_strPassword);
        } catch (const CDaoException& error) {
            // Nothing was stored; the user sees why and may try again or cancel.
            AfxMessageBox(error.GetErrorMessage(), MB_OK);
            return;
        }
    }
    EndDialog(IDOK);
}

CAskLibPassword::CAskLibPassword(CWnd* parent) : CModuleDialog(IDD_ASK_LIB_PASSWORD, parent) {}

CAskLibPassword::~CAskLibPassword() = default;

void CAskLibPassword::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_LIB_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_DATABASE_NAME, m_strDatabase);
}

BOOL CAskLibPassword::OnInitDialog() {
    m_strDatabase = TierTitle(static_cast<DATABASETYPE>(m_nDatabaseType));
    return CDialog::OnInitDialog();
}

void CAskLibPassword::OnOK() {
    UpdateData(TRUE);
    CMSAccessDBHandler* tier = GetAccessDB(static_cast<DATABASETYPE>(m_nDatabaseType));
    if (tier != nullptr && tier->GetRSUserTree() != nullptr) {
        tier->GetRSUserTree()->m_strEnteredPassword = m_strPassword;
    }
    EndDialog(IDOK);
}

void InstallPasswordDialogs() {
    CMSAccessDBHandler::SetNewPasswordDialog([](const CString& password) {
        CUserPasswordDlg dialog;
        dialog.SetPassword(password);
        return static_cast<int>(dialog.DoModal());
    });
}
