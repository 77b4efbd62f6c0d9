#pragma once
// The category tree of the library dialogs: the categories of one library or of all three side
// by side (user, corporate, master), the selected category and its library, the part filter of
// that category (with its sub-categories when wanted), and categories added, renamed and
// removed in place by a user with the rights. Changes go through the library editor: a removed
// category takes its sub-categories and parts with it, all or nothing.

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "controls/LibraryItem.h"
#include "platform/ui/COleDataObject.h"
#include "platform/ui/CTreeCtrl.h"
#include "resources/DatabaseType.h"

class CDragPartTarget;
class CRSObjectTree;
struct DRAGDROP_EVENTINFO;
struct OBJECT_ENTRY;

// The item data of a category item: which category of which library it shows.
struct TREE_ITEM_INFO {
    long lTreeID = -1;
    DATABASETYPE eDatabaseType = DATABASETYPE_USER;
};

// A library's categories to their items.
using CMapIDtoTreeItem = std::unordered_map<long, HTREEITEM>;

class CObjectTreeCtrl : public CTreeCtrl {
public:
    CObjectTreeCtrl();
    ~CObjectTreeCtrl() override;

    // The tree as a window of `parent` (or of its own), in `rect`; with `readOnly` nothing can
    // be added, renamed or removed.
    virtual BOOL Create(const CRect& rect, CWnd* parent, bool readOnly);

    // Draws the libraries chosen for show and selects category `treeID` of `type` (or, when
    // there is none such, the first top category).
    bool Init(long treeID, DATABASETYPE type);
    // True only when every library drawn could be read whole.
    bool DrawTree();
    // A new category under the selected one, named `name` (or, when a sibling has that name, the
    // first free "name (2)", ...), whose label is then edited.
    bool AddChild(const CString& name);
    // The name the New commands give a category they make.
    static constexpr const char* kNewCategoryName = "New Object-Group";
    // Starts editing the label of `item` (null: the selected item).
    bool Rename(HTREEITEM item);
    // Removes the category of `item` (null: the selected one) with its sub-categories and
    // parts, after asking (unless Shift is held down).
    bool Delete(HTREEITEM item);
    // May the selected category be changed?
    bool HasRights();
    bool IsTopMostSelected() const;
    bool GetObjectTreeID(long& treeID, DATABASETYPE& type) const;
    // The selected category, -1 for none.
    long GetSelectedID(DATABASETYPE& type) const;
    bool SetObjectTreeID(long treeID, DATABASETYPE type);
    // "lObjectTreeID IN(5,7,12,9)": the selected category, with its sub-categories in the order
    // the tree lists them when `withSubTree`. False (the filter untouched) when nothing is
    // selected or the library cannot be read. A sub-tree whose parents run in a circle gives
    // each category once, and the user is told that the tree is damaged.
    bool GetStringOfIDs(CString& filter, int withSubTree, DATABASETYPE& type);
    // The item after `item` in a walk of the whole tree (null: the first top item).
    HTREEITEM GetNextItem(HTREEITEM item) const;
    // The category set of a library (1 master, 2 corporate, any other value user), the
    // handler's own; null while the library is not loaded. Not owned: asked of the handler
    // every time, so that no pointer outlives an unloaded library.
    CRSObjectTree* GetRSObjectTree(DATABASETYPE type) const;

    bool SetReadOnly(bool readOnly);
    void SetAllowDraging(bool allow) { m_bAllowDragging = allow; }
    bool IsAllowDragging() const { return m_bAllowDragging; }
    void SetObjectTypeID(long typeID) { m_lObjectTypeID = typeID; }
    void SetDatabaseTypeForShow(DATABASETYPE type) { m_eDatabaseTypeForShow = type; }
    void SetIsCopyTarget(bool copyTarget) { m_bIsCopyTarget = copyTarget; }

    // The view state around a redraw: the categories visible and the one at the top.
    void StoreTreeSettings();
    void RestoreTreeSettings();
    // May the category `treeID` of `type` be changed, asking for the library's password once
    // when the rights rule wants it? False on Cancel and, without the host's permission, for the
    // master library.
    bool TestForTreeRightsAndCancel(long treeID, DATABASETYPE type);
    // The same for the selected category; false when none is selected.
    bool TestForSelectionRightsAndCancel();
    // Are the library passwords of the libraries of `parts` known (asking for each that is
    // not)? False on Cancel.
    bool TestForObjectRightsAndCancel(const std::vector<const OBJECT_ENTRY*>& parts);
    static bool TestForTypesInSelection(DATABASETYPE type,
                                        const std::vector<const OBJECT_ENTRY*>& parts);

    // The drag of category `item`, offered for copy, and for move when the user may take it
    // from where it is (the tree's begin-drag); the tree is redrawn after a drop.
    void OnBegindrag(HTREEITEM item);
    // The host's drag-and-drop event, answered only for a drag over this tree: 1 when the
    // category under the drag takes it (enter, over) or the drop was carried out, else 0.
    int DragDropCallBack(UINT event, DRAGDROP_EVENTINFO* info);
    // A dropped category (copy or move) into category `targetID` of `targetType`; 1 when done.
    int HandleTreeDrop(const LibraryItem& category, DROPEFFECT effect, long targetID,
                       DATABASETYPE targetType);
    // Dropped parts; 1 when at least one was copied (moved).
    int HandleListDrop(const std::vector<LibraryItem>& parts, DROPEFFECT effect, long targetID,
                       DATABASETYPE targetType);
    // Told after a drop on this tree changed a library, for the dialog to show what it holds.
    void OnDropped(std::function<void()> handler) { m_onDropped = std::move(handler); }

protected:
    bool DrawTreeForDatabaseType(DATABASETYPE type);
    // Appends ",id" for each category below `parentID`; false when the library cannot be read.
    bool AddChildrenToString(long parentID, CString& filter, DATABASETYPE type);
    CRSObjectTree* GetTreeObject(DATABASETYPE type) const { return GetRSObjectTree(type); }
    CMapIDtoTreeItem* GetHandles(DATABASETYPE type) const;
    void SetHandles(DATABASETYPE type, std::unique_ptr<CMapIDtoTreeItem> map);
    void RemoveAllItems();
    // Forgets the records of `item`'s descendants.
    void DestroyChilds(HTREEITEM item);

private:
    TREE_ITEM_INFO* Record(HTREEITEM item) const;
    TREE_ITEM_INFO* Attach(HTREEITEM item, long treeID, DATABASETYPE type);
    void Forget(HTREEITEM item);
    bool OnBeginLabelEdit(HTREEITEM item);
    bool OnEndLabelEdit(HTREEITEM item, const CString& name);
    CString FreeChildName(HTREEITEM parent, const CString& name) const;
    static int Slot(DATABASETYPE type);
    void ListenForDrops();
    DROPEFFECT EffectsOfDrag(const TREE_ITEM_INFO& dragged);
    bool AcceptsCategory(const LibraryItem& dragged, const TREE_ITEM_INFO& target);
    void RedrawKeepingView();

    bool m_bReadOnly = true;
    bool m_bAllowDragging = false;
    long m_lObjectTypeID = -1;
    std::unique_ptr<CMapIDtoTreeItem> m_pHandles[3];
    // The items' data; an unordered map keeps its elements where they are as it grows.
    std::unordered_map<HTREEITEM, TREE_ITEM_INFO> m_records;
    std::vector<TREE_ITEM_INFO> m_aVisibleItems;
    TREE_ITEM_INFO m_firstVisible;
    DATABASETYPE m_eDatabaseTypeForShow = static_cast<DATABASETYPE>(0);  // 0: all three
    bool m_bIsCopyTarget = false;
    std::unique_ptr<CDragPartTarget> m_pDropTarget;
    std::function<void()> m_onDropped;
};
