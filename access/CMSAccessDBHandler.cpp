#include "access/CMSAccessDBHandler.h"

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>

#include "access/CDatabaseRegistry.h"
#include "access/TierPaths.h"
#include "host/CLibraryObject.h"
#include "host/CSet.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/Win32Files.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "serial/CCommonLibraryInfo.h"
#include "tables/CRSObjectTree.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"
#include "tables/CRSUserTree.h"
#include "tables/LibrarySchema.h"

using vaultry::tables::Generation;
using vaultry::tables::LibrarySchema;

namespace {

// Thrown inside InitializeDatabase when an opened file fails the version check.
struct GenerationCheckFailed {};

NewPasswordDialog& PasswordDialog() {
    static NewPasswordDialog dialog;
    return dialog;
}

DatabaseManagerDialog& ManagerDialog() {
    static DatabaseManagerDialog dialog;
    return dialog;
}

}  // namespace

CMSAccessDBHandler::CMSAccessDBHandler(DATABASETYPE type, CDaoWorkspace* workspace)
    : CDaoDatabase(workspace),
      m_eDatabaseType(type),
      m_pLibraryObject(new CLibraryObject),
      m_pRegistry(new CDatabaseRegistry),
      m_pCommonLibraryInfo(new CCommonLibraryInfo),
      m_geometry(*this) {}

// An owner that forgot to close still frees the record sets; the database itself is closed by
// the base destructor, without remembering the user.
CMSAccessDBHandler::~CMSAccessDBHandler() {
    delete m_pRegistry;
    delete m_pCommonLibraryInfo;
    delete m_pLibraryObject;
    DeleteRecordSets();
}

bool CMSAccessDBHandler::IsInitialized(DATABASETYPE type) {
    if (m_bInitialized) {
        const CSet* settings = GetSettings();
        const CString configured = settings ? ConfiguredLibraryPath(*settings, type) : CString();
        if (CString(GetName()).MakeUpper() == CString(configured).MakeUpper()) {
            if (m_lUserID == -1) {
                InitUserID();
            }
            return true;
        }
        Close();
    }
    if (!InitializeDatabase()) {
        return false;
    }
    InitUserID();
    return true;
}

bool CMSAccessDBHandler::InitializeDatabase() {
    m_bIsV8Database = 0;
    m_bInitialized = false;
    CString path;
    int isV8 = 0;
    if (!m_pRegistry->GetDatabasePath(path, m_eDatabaseType, isV8)) {
        return false;
    }
    try {
        OpenAndCheck(path, isV8);
        MakeRecordSets();
        m_bInitialized = true;
    } catch (const CDaoException& error) {
        DeleteRecordSets();
        ReportOpenError(error);
    } catch (...) {
        DeleteRecordSets();
        // The failed version check lands here too. A file that opened but failed is closed
        // again, so that it is not held while the handler is not initialised.
        CDaoDatabase::Close();
        const CString format = ModuleString(IDS_ERROR_OPENING_DATABASE);
        const int cut = format.Find("%d");
        AfxMessageBox((cut < 0 ? format : format.Left(cut)) + path, MB_OK);
    }
    return m_bInitialized;
}

void CMSAccessDBHandler::MakeRecordSets() {
    m_pRSObjects = new CRSObjects(m_eDatabaseType, this);
    m_pRSUserTree = new CRSUserTree(this);
    m_pRSObjectTree = new CRSObjectTree(m_eDatabaseType, this);
    m_pRSObjectTypes = new CRSObjectTypes(this);
}

void CMSAccessDBHandler::DeleteRecordSets() {
    delete m_pRSObjects;
    delete m_pRSUserTree;
    delete m_pRSObjectTree;
    delete m_pRSObjectTypes;
    m_pRSObjects = nullptr;
    m_pRSUserTree = nullptr;
    m_pRSObjectTree = nullptr;
    m_pRSObjectTypes = nullptr;
}

void CMSAccessDBHandler::OpenAndCheck(const CString& path, int isV8) {
    if (isV8 == 1) {
        Open(path, FALSE, FALSE, LibrarySchema::ConnectString(Generation::kCurrent));
        if (CheckV8DatabaseFormat() == 0) {
            throw GenerationCheckFailed{};
        }
        m_bIsV8Database = 1;
    } else {
        Open(path, FALSE, FALSE, LibrarySchema::ConnectString(Generation::kOlder));
    }
}

void CMSAccessDBHandler::ReportOpenError(const CDaoException& error) const {
    CDaoException copy = error;
    if (!copy.m_pErrorInfo) {
        copy.GetErrorInfo(copy.m_nAfxDaoError);
    }
    if (copy.m_pErrorInfo) {
        AfxMessageBox(copy.m_pErrorInfo->m_strDescription, MB_OK);
        return;
    }
    CString text = ModuleString(IDS_ERROR_OPENING_DATABASE);
    text.Replace("%d", std::to_string(copy.m_nAfxDaoError).c_str());
    AfxMessageBox(text, MB_OK);
}

int CMSAccessDBHandler::CheckV8DatabaseFormat() {
    if (!IsOpen()) {
        return 0;
    }
    try {
        CDaoRecordset versions(this);
        versions.Open(AFX_DAO_USE_DEFAULT_TYPE, "SELECT [Version] FROM [SYS_INFO]");
        if (!versions.IsOpen() || versions.IsEOF()) {
            return 0;
        }
        const COleVariant version = versions.GetFieldValue("[Version]");
        if (!version.IsText()) {
            return 0;
        }
        const CString text = version.AsText();
        return text.GetLength() > 1 && text.GetAt(0) == 'V' && std::atof(text.Mid(1)) >= 8.0 ? 1
                                                                                             : 0;
    } catch (const CDaoException&) {
        return 0;  // a missing table or column is simply not the current generation
    }
}

void CMSAccessDBHandler::Close() {
    m_pRegistry->SetLastUserID(m_lUserID);
    m_lCommonBlockTypeID = -1;
    m_typeFinder.Forget();
    m_geometry.Forget();
    m_bInitialized = false;
    m_lUserID = -1;
    for (CDaoRecordset* set : std::initializer_list<CDaoRecordset*>{
             m_pRSObjects, m_pRSUserTree, m_pRSObjectTree, m_pRSObjectTypes}) {
        if (set != nullptr) {
            set->Close();
        }
    }
    CDaoDatabase::Close();
    DeleteRecordSets();
}

void CMSAccessDBHandler::InitUserID() {
    if (m_bInitialized) {
        SetUserID(m_pRSUserTree ? m_pRSUserTree->GetFirstUserID() : 0, false);
    }
}

void CMSAccessDBHandler::SetUserID(long userID, bool) {
    m_lUserID = userID;
    m_bMayWrite = m_pRSUserTree != nullptr && m_pRSUserTree->MayWrite(userID);
}

bool CMSAccessDBHandler::HasRightsOn(long lOwnerID) {
    return m_pRSUserTree != nullptr && m_pRSUserTree->HasRights(m_lUserID, lOwnerID);
}

// The dialog itself stores the password, for the tier chosen in it: the handler that asked
// writes nothing of its own, which would put the password into its own tier as well.
void CMSAccessDBHandler::SetNewPassword() {
    if (m_pRSUserTree == nullptr) {
        return;
    }
    const CString password =
        m_pRSUserTree->FindUser(m_lUserID) ? m_pRSUserTree->m_strPassword : CString();
    if (const NewPasswordDialog& dialog = PasswordDialog()) {
        dialog(password);
    }
}

NewPasswordDialog CMSAccessDBHandler::SetNewPasswordDialog(NewPasswordDialog dialog) {
    return std::exchange(PasswordDialog(), std::move(dialog));
}

void CMSAccessDBHandler::DatabaseManager() {
    if (const DatabaseManagerDialog& dialog = ManagerDialog()) {
        dialog();
    }
}

DatabaseManagerDialog CMSAccessDBHandler::SetDatabaseManagerDialog(DatabaseManagerDialog dialog) {
    return std::exchange(ManagerDialog(), std::move(dialog));
}

void CMSAccessDBHandler::SetSourceColorLayerDef(CColorDefinition* colours,
                                                CLayerDefinition* layers) {
    m_pSourceColorDef = colours;
    m_pSourceLayerDef = layers;
}

void CMSAccessDBHandler::GetPCUserName(CString& name) const {
    name = AfxGetLogonUserName();
}
