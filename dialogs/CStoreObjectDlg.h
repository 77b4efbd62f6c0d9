#pragma once
// "Insert the selected Item(s) into the database": where one drawing group goes as a part and
// under which name. The user picks a library, a category of it (categories can be added,
// removed and renamed from the tree's bar) and a name, and sees the parts already there and the
// group itself. OK checks the name, the category and the rights, and asks before a part of the
// same name and type is overwritten; the dialog stores nothing. After IDOK the group carries
// the name, and GetObjectTreeID and GetDBType say where the part is to be stored (for an
// overwrite: the category the existing part is in, which storing keeps).

#include "access/CDatabaseRegistry.h"
#include "access/ui/ModuleDialog.h"
#include "controls/CObjectComboBox.h"
#include "controls/CObjectTreeCtrl.h"
#include "host/ui/CDynamicWindowWithButtons.h"
#include "host/ui/CPreviewWnd.h"
#include "platform/ui/Controls.h"

class CDrwGroup;

class CStoreObjectDlg : public CModuleDialog {
public:
    explicit CStoreObjectDlg(CWnd* parent = nullptr);
    ~CStoreObjectDlg() override;

    // The document type the part is stored as; true.
    bool Init(const CString& docType);
    // The group to store and show (not owned); it gets the chosen name on OK.
    void SetDrawGroup(CDrwGroup* group) { m_pDrawGroup = group; }
    // The name offered; without one the name field starts empty.
    void SetDefaultName(const CString& name) { m_strDefaultName = name; }

    long GetObjectTreeID() const { return m_lObjectTreeID; }
    DATABASETYPE GetDBType() const { return m_eDatabaseType; }
    CString GetObjectDocType() const { return m_strDocType; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnCommand(UINT id) override;

    void OnTreeChange();
    void OnSelendokDatabaseselectcmb();
    void OnShowsubtreecontents();

    CObjectTreeCtrl& GetTree() { return m_ObjectTree; }
    CObjectComboBox& GetParts() { return m_ObjectCombo; }
    CComboBox& GetDatabaseCombo() { return m_DatabaseCombo; }
    CDynamicWindowWithButtons& GetTreeBar() { return m_treeButtons; }
    CPreviewWnd& GetPreview() { return m_preview; }

private:
    void FillDatabaseCombo();
    void SelectLastDatabase();
    void UpdateComponentList();
    // May the chosen category be changed (asking for the library's password when the rights
    // rule wants it)? False on Cancel.
    bool TestForTreeRightsAndCancel();
    // May part `objectID` of the chosen library be overwritten? Asks likewise.
    bool TestForObjectRightsAndCancel(long objectID);
    // Whether the dialog may close with `name`; says why not.
    bool AcceptName(const CString& name, const CString& description);
    void Accept(const CString& name);
    CString Formatted(UINT id, const CString& description) const;

    long m_lObjectTreeID = 0;
    CString m_strDocType;
    CDrwGroup* m_pDrawGroup = nullptr;  // not owned
    CString m_strDefaultName;
    DATABASETYPE m_eDatabaseType = DATABASETYPE_USER;
    int m_bShowSubtree = 0;
    CDatabaseRegistry m_registry;
    CPreviewWnd m_preview;
    CDynamicWindowWithButtons m_treeButtons;
    CComboBox m_DatabaseCombo;
    CObjectTreeCtrl m_ObjectTree;
    CObjectComboBox m_ObjectCombo;
    CButton m_showSubtreeButton;
};
