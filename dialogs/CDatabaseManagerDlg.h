#pragma once
// The Database Manager: the category tree of all three libraries in its bar, the parts of the
// chosen category (with its sub-categories when asked) filtered by document type in their bar,
// and the chosen part in the preview with its dimensions. The bars' buttons and the context
// menus are enabled by what is chosen and what the user may change. The dialog can grow; the
// tree, the list and the preview share the room.

#include <memory>

#include "access/CDatabaseRegistry.h"
#include "controls/CObjectComboBox.h"
#include "controls/CObjectTreeCtrl.h"
#include "controls/CObjectTypeComboBox.h"
#include "dialogs/CPreviewDialog.h"
#include "host/HostEvents.h"
#include "host/ui/CDynamicWindowWithButtons.h"

class CMenu;

class CDatabaseManagerDlg : public CPreviewDialog {
public:
    explicit CDatabaseManagerDlg(CWnd* parent = nullptr);
    ~CDatabaseManagerDlg() override;

    // The category the next Database Manager opens on, as if the user had left it there.
    static void RememberLocation(long treeID, DATABASETYPE tier);

    BOOL OnInitDialog() override;
    // The commands of the bars and the context menus.
    BOOL OnCommand(UINT id) override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // The tree's selection changed: the part list, the type filter and the tree bar follow.
    void OnTreeChange();
    // The type filter changed: the part list follows.
    void OnChangeType();
    void OnShowsubtreecontents();
    // The part list's selection may have changed: the preview and the part bar follow.
    void OnChangeObject();
    // The context menu of the tree or of the part list at `point` (screen); nothing elsewhere.
    void OnContextMenu(CWnd* window, CPoint point);
    // Whether every selected part's document type is served by a plug-in; false for none.
    bool CheckSelectedObjectsForValidDoctypes();
    bool TestForTypesInSelection(DATABASETYPE type) { return m_parts.IsTypeInSelection(type); }

    CObjectTreeCtrl& GetTree() { return m_tree; }
    CObjectComboBox& GetParts() { return m_parts; }
    CObjectTypeComboBox& GetTypes() { return m_types; }
    CDynamicWindowWithButtons& GetTreeBar() { return m_treeBar; }
    CDynamicWindowWithButtons& GetPartBar() { return m_partBar; }
    long GetLastLoadedID() const { return m_lastLoadedID; }
    DATABASETYPE GetCurrentDatabase() const { return m_currentDatabase; }

private:
    void MakeBars();
    void ShowFirstTime();
    // Fills the part list from the tree's category and the type filter; the category's tier.
    DATABASETYPE RefillParts();
    void RefillObjectTypes(DATABASETYPE newTier);
    // May the chosen category, and may the chosen parts, be changed (as far as the master
    // library's lock goes)?
    bool CategoryModifiable();
    bool PartsModifiable();
    void EnableTreeBar();
    // May the chosen parts be changed? Asks for passwords where the rights rule wants them;
    // false on Cancel.
    bool PartRightsGiven();
    void OnEditDelete();
    void OnTreeAdd();
    void OnTreeCopyOrMove(bool move);
    void OnEditCopyOrMove(bool move);
    void OnEditNew();
    void OnEditEdit();
    // Raises the host's event for a sheet of `docType` holding `part`; closes the dialog and
    // returns true when the host opened one.
    bool AskHostForSheet(const CString& docType, PART_REFERENCE part);
    void EnablePartBar();
    void GrayTreeMenu(CMenu& popup);
    void GrayPartMenu(CMenu& popup);

    CDatabaseRegistry m_registry;
    CString m_strDocType;
    long m_lastLoadedID = -1;
    DATABASETYPE m_lastLoadedTier = DATABASETYPE_USER;
    long m_lastLoadedTypeID = -1;
    DATABASETYPE m_currentDatabase = DATABASETYPE_USER;
    int m_showSubTree = 0;  // "Show subtree contents"
    bool m_refillingTypes = false;
    CObjectTreeCtrl m_tree;
    CObjectComboBox m_parts;
    CObjectTypeComboBox m_types;
    CDynamicWindowWithButtons m_treeBar;
    CDynamicWindowWithButtons m_partBar;
    CButton m_showSubTreeButton;
};
