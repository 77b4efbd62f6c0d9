#pragma once
// The part list of the library dialogs: a name field over a list of the parts filed in the
// category chosen in the tree, restricted to a set of document types and to the text typed into
// the name field, whose words may also be land-pattern terms ("pads:8 pitch:1.27"). Each part
// shows its name, the icon of its document type, the mark of the tier it lives in, and a mark
// when the current user may not change it. The list is virtual: the control keeps the entries,
// the view only asks for the ones it draws, so a category of a hundred thousand parts costs an
// array of small entries and no widgets.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "controls/LibraryItem.h"
#include "host/PartGeometry.h"
#include "platform/afx/CResourceModule.h"
#include "platform/ui/CImageList.h"
#include "platform/ui/CListCtrl.h"
#include "platform/ui/Controls.h"
#include "resources/DatabaseType.h"

class CMSAccessDBHandler;
class CRSObjects;
class CRSObjectTypes;

// One listed part. Pointers to entries stay valid until the list is filled or cleared again
// (typing into the name field only shows fewer or more of them).
struct OBJECT_ENTRY {
    long lObjectID = 0;
    CString strObjectName;
    DATABASETYPE eDatabaseType = DATABASETYPE_USER;
    bool bHasRights = false;
    int nImage = -1;
};

// What the part list tells its dialog.
constexpr int OBJECTCBO_SELCHANGE = 1;  // the chosen part may have changed
constexpr int OBJECTCBO_DBLCLK = 2;     // the user asks to take the chosen part

class CObjectComboBox : public CStatic {
public:
    CObjectComboBox();
    ~CObjectComboBox() override;

    // The control (name field over list) as a window of `parent`, in `rect`.
    BOOL Create(const CRect& rect, CWnd* parent, UINT id);

    // Stores the category filter and its tier (0: every tier) and fills the list anew.
    void FillList(const CString& treeFilter, DATABASETYPE type);
    void ClearList();
    // With exactly one part selected, that part; otherwise the part named in the name field,
    // looked up in the library of `type` (anything but 1 or 2 meaning the user library, and
    // written back). False when there is none.
    bool GetSelectedObjectID(long& objectID, DATABASETYPE& type);
    // The selected part's name when exactly one is selected, else the name field's text; false
    // when empty.
    bool GetCurrentName(CString& name);
    bool HasSelection();
    // Whether the current user may change every selected part (true when none of the selected
    // entries is a stored part; false when nothing is selected).
    bool HasRightsOnSelection();
    // The part of list item `index` and its tier; -1 outside the list.
    long GetObjectID(int index, DATABASETYPE& type);
    // Starts editing the name of the one selected part.
    bool RenameSelected();
    // Copies (moves) the selected parts into category `treeID` of the library of `type`; true
    // when at least one part was copied (moved). Parts that may not go are passed over.
    bool CopySelectedTo(long treeID, DATABASETYPE type);
    bool MoveSelectedTo(long treeID, DATABASETYPE type);
    // Writes the name of part `objectID` of `type` into the name field and filters by it.
    void SelectObject(long objectID, DATABASETYPE type);
    void SetObjectName(const CString& name);
    bool IsTypeInSelection(DATABASETYPE type);
    // The entry of list item `index`, or null.
    OBJECT_ENTRY* GetEntry(int index);
    // The part set of the library of `type` (2 corporate, 3 user, else master), the library
    // handler's; null while that library is not loaded. Not owned.
    CRSObjects* GetRSObjects(DATABASETYPE type);

    // The dialog's handler of OBJECTCBO_SELCHANGE and OBJECTCBO_DBLCLK.
    void OnNotify(std::function<void(int code)> handler) { m_notify = std::move(handler); }

    CString m_strDocTypeFilter;  // "Footprint" or "Footprint|Pad-Stack|"
    DATABASETYPE m_eDatabaseForShow = static_cast<DATABASETYPE>(0);  // 0: every tier

    // The list and the name field, for tests that act as a user.
    CListCtrl& List() { return m_ListCtrl; }
    CEdit& NameField() { return m_NameEdit; }

private:
    void MakeImageLists();
    void FillTier(CMSAccessDBHandler& library);
    int ImageOf(const CString& docType);
    int IconImage(HINSTANCE module, UINT resourceID);
    ListItemDisplay Display(int item) const;
    void SetColumnWidth();
    void OnFocusEntered();
    void OnNameChanged();
    void ApplyNameFilter();
    const PartGeometry* GeometryOf(const OBJECT_ENTRY& entry);
    void Refilter(bool reread);
    void OnChosen(int code);
    bool OnBeginEdit(int item);
    bool OnEndEdit(int item, const CString& name);
    std::vector<int> SelectedItems();
    bool ChangeSelected(long treeID, DATABASETYPE type, bool move);
    std::vector<LibraryItem> SelectedParts();
    void OnBeginDrag();
    void Notify(int code);

    CImageList m_ImageList;
    CImageList m_StateImageList;
    CListCtrl m_ListCtrl;
    CEdit m_NameEdit;
    // The images loaded, by module and bitmap: every entry of a type shares one.
    std::map<std::pair<HINSTANCE, UINT>, int> m_aImageInfo;
    CString m_strNameFilter;
    CString m_strTreeFilter;
    DATABASETYPE m_eTreeDatabase = static_cast<DATABASETYPE>(0);
    std::vector<OBJECT_ENTRY> m_aEntries;  // the parts of the last fill, in list order
    std::vector<std::size_t> m_aShown;     // by item: the entries the name filter lets through
    // The land patterns of the listed libraries, by tier and part, read when first asked for.
    std::map<DATABASETYPE, std::map<long, PartGeometry>> m_geometry;
    CString m_strLongestName;
    bool m_bIgnoreNameChange = false;
    bool m_bSelecting = false;  // while the control itself selects, changes are not the user's
    std::function<void(int)> m_notify;
};
