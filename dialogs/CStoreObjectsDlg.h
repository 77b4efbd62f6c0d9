#pragma once
// "Add new parts to database": what of the open design goes into a library category, either
// the current selection as one part the user names, or parts of the whole design ticked in a
// check list (renamed in place where their names are taken). The user also picks the target
// library. The dialog writes nothing: after OK its caller stores what it says, into the
// category GetObjectTreeID gives in the library GetDBType gives.

#include <memory>

#include "access/CDatabaseRegistry.h"
#include "access/ui/ModuleDialog.h"
#include "controls/CObjectCheckListBox.h"
#include "controls/CObjectComboBox.h"
#include "host/ui/CDynamicWindowWithButtons.h"
#include "host/ui/CPreviewWnd.h"
#include "platform/ui/Controls.h"

class CDrwGroup;
class CDrwObList;

class CStoreObjectsDlg : public CModuleDialog {
public:
    explicit CStoreObjectsDlg(CWnd* parent = nullptr);
    ~CStoreObjectsDlg() override;

    // The document type the parts are stored as; the preview draws in its layers.
    bool SetDocType(const CString& docType);
    // The category, and the library it is in, the parts go to.
    void SetObjectTreeID(long treeID, DATABASETYPE type);
    // The current selection as one part (not owned; it gets the name typed on OK). Without one
    // only the design's parts can be stored.
    void SetDrawGroup(CDrwGroup* group) { m_group = group; }
    // The design's parts (not owned); renamed in place where the user renames them.
    void SetObjectList(CDrwObList* list);

    // After IDOK: whether the selection goes as one part, the library and category chosen, the
    // document type, and (for the design's parts) the ticked parts, in list order.
    bool IsSingleStore() const { return m_mode == 0; }
    DATABASETYPE GetDBType() const { return m_target; }
    long GetObjectTreeID() const { return m_treeID; }
    CString GetObjectDocType() const { return m_docType; }
    // The design's own objects; the list is the dialog's. Null before OK.
    const CDrwObList* GetObjectList() const { return m_checked.get(); }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnCommand(UINT id) override;

    // A mode button: the name field and the existing parts, or the check list.
    void OnCurrentSelection();
    // The check list's selection or ticks changed: preview and bar follow.
    void OnListSelChange();
    void OnSelendokDatabaseselectcmb();
    void OnContextMenu(CPoint point);

    CObjectCheckListBox& GetCheckList() { return m_checkList; }
    CObjectComboBox& GetParts() { return m_parts; }
    CPreviewWnd& GetPreview() { return m_preview; }
    CDynamicWindowWithButtons& GetCheckBar() { return m_checkBar; }
    CDynamicWindowWithButtons& GetPartBar() { return m_partBar; }

private:
    void MakeBars();
    void ConnectControls();
    void FillDatabaseCombo();
    // The existing parts of the category and its sub-categories in the target library.
    void RefillParts();
    void ShowInPreview(std::unique_ptr<CDrwObList> objects);
    void EnableCheckBar();
    // Whether the user has given the target library's password where it has one.
    bool PasswordGiven();
    bool AcceptName();
    void SelectAll(bool tick);

    long m_treeID = 0;
    CString m_docType;
    std::unique_ptr<CDrwObList> m_previewList;  // owns its objects
    std::unique_ptr<CDrwObList> m_checked;      // the design's objects; not owned
    CPreviewWnd m_preview;
    CDatabaseRegistry m_registry;
    CDrwGroup* m_group = nullptr;  // not owned
    CDynamicWindowWithButtons m_checkBar;
    CDynamicWindowWithButtons m_partBar;
    DATABASETYPE m_target = DATABASETYPE_USER;
    CComboBox m_database;
    CButton m_selectionButton;  // the two mode buttons
    CButton m_designButton;
    CObjectComboBox m_parts;
    CObjectCheckListBox m_checkList;
    CDrwObList* m_objects = nullptr;  // not owned
    int m_mode = 0;                   // 0 the selection as one part, 1 the design's parts
};
