#pragma once
// "Get a part from the database": the host's way to fetch one part. The user picks a category
// of any library, narrows the parts by type and name, looks at the part (with its dimensions)
// and takes it; the dialog then holds the decoded part and its document type for the host, and
// remembers the category and the name for the next time.

#include <memory>
#include <optional>
#include <utility>

#include "access/CDatabaseRegistry.h"
#include "controls/CObjectComboBox.h"
#include "controls/CObjectTreeCtrl.h"
#include "controls/CObjectTypeComboBox.h"
#include "dialogs/CPreviewDialog.h"

class CSelectObjectDlg : public CPreviewDialog {
public:
    explicit CSelectObjectDlg(CWnd* parent = nullptr);
    ~CSelectObjectDlg() override;

    // The document type the dialog is for, and the part to start at: by its id in the library
    // shown first, or by a name written into the name field. Taken when the dialog shows.
    bool Init(const CString& docType, long objectID);
    bool Init(const CString& docType, const CString& name);
    // Opens on category `categoryID` of `tier` rather than on the one used last (where a part
    // Init names by its id is looked for).
    void StartIn(DATABASETYPE tier, long categoryID);
    // The definitions parts are decoded and drawn with (not owned; null: the part's own type's).
    void SetTempLayerAndColorDef(CLayerDefinition* layers, CColorDefinition* colours);
    void SetAllowTypeChange(bool allow) { m_allowTypeChange = allow; }
    void AddRequest(const CString& docType) { m_types.AddRequest(docType); }
    void ClearRequests() { m_types.ClearRequests(); }

    // After IDOK: the part taken (null when it could not be read), owned by the dialog until
    // ClearDrawGroup hands it to the caller.
    CDrwGroup* GetDrawGroup() const { return GetLoadedGroup(); }
    void ClearDrawGroup();
    // The document type of the part taken.
    CString GetObjectDocType() const { return m_partDocType; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void OnTreeChange();
    void OnShowsubtreecontents();
    void OnFilterChange();
    // The chosen part (by selection or by the name typed) into the preview; OK follows it.
    void OnObjectChange();
    // A double click: takes the part when OK allows it.
    void OnObjectSelected();

    CObjectTreeCtrl& GetTree() { return m_tree; }
    CObjectComboBox& GetParts() { return m_parts; }
    // The part taken: its id (-1 for none) in the library of the tier beside it.
    long GetLastLoadedID() const { return m_lastLoadedID; }
    DATABASETYPE GetLastLoadedTier() const { return m_lastLoadedTier; }
    DATABASETYPE GetCurrentDatabase() const { return m_currentDatabase; }

private:
    void ShowFirstTime();
    void RefillObjectTypes(DATABASETYPE tier);
    void EnableOk(bool enable);

    CDatabaseRegistry m_registry;
    CString m_strDocType;
    CString m_strInitialDocType;
    CString m_partDocType;
    long m_lastLoadedID = -1;
    DATABASETYPE m_lastLoadedTier = DATABASETYPE_USER;
    long m_startObjectID = -1;  // the part Init asked for, until the dialog shows
    CString m_startName;
    std::optional<std::pair<DATABASETYPE, long>> m_startCategory;
    bool m_allowTypeChange = true;
    bool m_refillingTypes = false;
    int m_showSubTree = 0;
    DATABASETYPE m_currentDatabase = static_cast<DATABASETYPE>(0);
    CLayerDefinition* m_pLayers = nullptr;  // the host's; not owned
    CColorDefinition* m_pColours = nullptr;
    CObjectTreeCtrl m_tree;
    CObjectComboBox m_parts;
    CObjectTypeComboBox m_types;
    CButton m_showSubTreeButton;
};
