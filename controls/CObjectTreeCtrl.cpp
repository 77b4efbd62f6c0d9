#include "controls/CObjectTreeCtrl.h"

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "access/LibraryTree.h"
#include "controls/CDragPartTarget.h"
#include "host/CSet.h"
#include "host/HostEvents.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/dao/CDaoException.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjectTree.h"

namespace {

constexpr UINT kTreeId = 57373;

// The libraries in the order the tree shows them.
constexpr DATABASETYPE kTiersUserFirst[] = {DATABASETYPE_USER, DATABASETYPE_CORPORATE,
                                            DATABASETYPE_MASTER};

}  // namespace

CObjectTreeCtrl::CObjectTreeCtrl() = default;

CObjectTreeCtrl::~CObjectTreeCtrl() {
    EventDragAndDrop().RemoveCallBacks(this);
    RemoveAllItems();
}

BOOL CObjectTreeCtrl::Create(const CRect& rect, CWnd* parent, bool readOnly) {
    m_bReadOnly = readOnly;
    // Labels are always editable as far as the view goes: whether an edit may start is the
    // rights' question, asked at its start.
    if (!CTreeCtrl::Create(rect, parent, kTreeId, true)) {
        return FALSE;
    }
    SetWindowText("ObjectTree");
    CTreeCtrl::OnBeginLabelEdit([this](HTREEITEM item) { return OnBeginLabelEdit(item); });
    CTreeCtrl::OnEndLabelEdit(
        [this](HTREEITEM item, const CString& name) { return OnEndLabelEdit(item, name); });
    ListenForDrops();
    return TRUE;
}

int CObjectTreeCtrl::Slot(DATABASETYPE type) {
    return type == DATABASETYPE_MASTER ? 0 : type == DATABASETYPE_CORPORATE ? 1 : 2;
}

CRSObjectTree* CObjectTreeCtrl::GetRSObjectTree(DATABASETYPE type) const {
    const DATABASETYPE tier =
        type == DATABASETYPE_MASTER || type == DATABASETYPE_CORPORATE ? type : DATABASETYPE_USER;
    CMSAccessDBHandler* library = GetAccessDB(tier);
    return library != nullptr ? library->GetRSObjectTree() : nullptr;
}

CMapIDtoTreeItem* CObjectTreeCtrl::GetHandles(DATABASETYPE type) const {
    return m_pHandles[Slot(type)].get();
}

void CObjectTreeCtrl::SetHandles(DATABASETYPE type, std::unique_ptr<CMapIDtoTreeItem> map) {
    m_pHandles[Slot(type)] = std::move(map);
}

bool CObjectTreeCtrl::Init(long treeID, DATABASETYPE type) {
    RemoveAllItems();
    DrawTree();
    if (treeID != -1 && type != 0 && GetHandles(type) != nullptr) {
        const auto found = GetHandles(type)->find(treeID);
        if (found != GetHandles(type)->end()) {
            return SelectItem(found->second);
        }
    }
    return GetRootItem() != nullptr && SelectItem(GetRootItem());
}

bool CObjectTreeCtrl::DrawTree() {
    bool drawn = true;
    SetRedraw(FALSE);
    for (const DATABASETYPE tier : kTiersUserFirst) {
        if (m_eDatabaseTypeForShow != 0 && m_eDatabaseTypeForShow != tier) {
            continue;
        }
        // A copy lands in the master library only with the host's permission.
        if (tier == DATABASETYPE_MASTER && m_bIsCopyTarget && !MasterEditPermitted()) {
            continue;
        }
        drawn = DrawTreeForDatabaseType(tier) && drawn;
    }
    SetRedraw(TRUE);
    if (GetRootItem() != nullptr) {
        Expand(GetRootItem(), TVE_EXPAND);
    }
    return drawn;
}

// One pass over the library's categories, parents before children (they come by level, then
// name), each parent found through the map. A category whose parent has not been met (a damaged
// tree) goes to the top level, so that nothing is hidden and no walk runs round. The rows are
// read forward only: the handler's own set would fetch each row by its key.
bool CObjectTreeCtrl::DrawTreeForDatabaseType(DATABASETYPE type) {
    CMSAccessDBHandler* library = GetAccessDB(type);
    if (library == nullptr) {
        return false;
    }
    SetHandles(type, std::make_unique<CMapIDtoTreeItem>());
    CMapIDtoTreeItem& items = *GetHandles(type);
    try {
        CRSObjectTree categories(type, library);
        categories.Open(dbOpenForwardOnly);
        for (; !categories.IsEOF(); categories.MoveNext()) {
            HTREEITEM parent = nullptr;
            if (categories.m_lParentID != categories.m_lTreeID) {
                const auto found = items.find(categories.m_lParentID);
                parent = found != items.end() ? found->second : nullptr;
            }
            HTREEITEM item = InsertItem(categories.m_strName, parent);
            items[categories.m_lTreeID] = item;
            Attach(item, categories.m_lTreeID, type);
        }
    } catch (const CDaoException&) {
        return false;  // what was read stays drawn
    }
    return true;
}

TREE_ITEM_INFO* CObjectTreeCtrl::Record(HTREEITEM item) const {
    return item != nullptr ? reinterpret_cast<TREE_ITEM_INFO*>(GetItemData(item)) : nullptr;
}

TREE_ITEM_INFO* CObjectTreeCtrl::Attach(HTREEITEM item, long treeID, DATABASETYPE type) {
    TREE_ITEM_INFO& record = m_records[item];
    record = TREE_ITEM_INFO{treeID, type};
    SetItemData(item, reinterpret_cast<DWORD_PTR>(&record));
    return &record;
}

void CObjectTreeCtrl::Forget(HTREEITEM item) {
    const TREE_ITEM_INFO* record = Record(item);
    if (record != nullptr) {
        CMapIDtoTreeItem* items = GetHandles(record->eDatabaseType);
        if (items != nullptr) {
            const auto mapped = items->find(record->lTreeID);
            if (mapped != items->end() && mapped->second == item) {
                items->erase(mapped);
            }
        }
        SetItemData(item, 0);
    }
    m_records.erase(item);
}

void CObjectTreeCtrl::DestroyChilds(HTREEITEM item) {
    std::vector<HTREEITEM> pending;
    for (HTREEITEM child = GetChildItem(item); child != nullptr;
         child = GetNextSiblingItem(child)) {
        pending.push_back(child);
    }
    while (!pending.empty()) {
        HTREEITEM at = pending.back();
        pending.pop_back();
        for (HTREEITEM child = GetChildItem(at); child != nullptr;
             child = GetNextSiblingItem(child)) {
            pending.push_back(child);
        }
        Forget(at);
    }
}

void CObjectTreeCtrl::RemoveAllItems() {
    m_records.clear();
    for (auto& items : m_pHandles) {
        items.reset();
    }
    DeleteAllItems();
}

bool CObjectTreeCtrl::IsTopMostSelected() const {
    HTREEITEM selected = GetSelectedItem();
    return selected != nullptr && GetParentItem(selected) == nullptr;
}

bool CObjectTreeCtrl::GetObjectTreeID(long& treeID, DATABASETYPE& type) const {
    const TREE_ITEM_INFO* record = Record(GetSelectedItem());
    if (record == nullptr) {
        return false;
    }
    treeID = record->lTreeID;
    type = record->eDatabaseType;
    return true;
}

long CObjectTreeCtrl::GetSelectedID(DATABASETYPE& type) const {
    long treeID = -1;
    return GetObjectTreeID(treeID, type) ? treeID : -1;
}

bool CObjectTreeCtrl::SetObjectTreeID(long treeID, DATABASETYPE type) {
    for (HTREEITEM item = GetNextItem(nullptr); item != nullptr; item = GetNextItem(item)) {
        const TREE_ITEM_INFO* record = Record(item);
        if (record != nullptr && record->lTreeID == treeID && record->eDatabaseType == type) {
            return SelectItem(item);
        }
    }
    return false;
}

HTREEITEM CObjectTreeCtrl::GetNextItem(HTREEITEM item) const {
    if (HTREEITEM child = GetChildItem(item)) {
        return child;
    }
    for (HTREEITEM at = item; at != nullptr; at = GetParentItem(at)) {
        if (HTREEITEM sibling = GetNextSiblingItem(at)) {
            return sibling;
        }
    }
    return nullptr;
}

bool CObjectTreeCtrl::GetStringOfIDs(CString& filter, int withSubTree, DATABASETYPE& type) {
    long treeID = -1;
    DATABASETYPE selectedType = DATABASETYPE_USER;
    if (!GetObjectTreeID(treeID, selectedType)) {
        return false;
    }
    CString ids;
    ids.Format("lObjectTreeID IN(%ld", treeID);
    if (withSubTree != 0 && !AddChildrenToString(treeID, ids, selectedType)) {
        return false;
    }
    filter = ids + ")";
    type = selectedType;
    return true;
}

// The sub-tree is read from the file at once and walked in memory, each category once.
bool CObjectTreeCtrl::AddChildrenToString(long parentID, CString& filter, DATABASETYPE type) {
    CMSAccessDBHandler* library = GetAccessDB(type);
    if (library == nullptr) {
        return false;
    }
    bool damaged = false;
    try {
        const LibraryTree tree(*library, LibraryTree::Counts::kNone);
        const std::vector<long> ids = tree.SubTree(parentID, &damaged);
        CString id;
        for (std::size_t i = 1; i < ids.size(); ++i) {
            id.Format(",%ld", ids[i]);
            filter += id;
        }
    } catch (const CDaoException& error) {
        AfxMessageBox(error.GetErrorMessage(), MB_OK | MB_ICONERROR);
        return false;
    }
    if (damaged) {
        AfxMessageBox(ModuleString(IDS_TREE_DAMAGED), MB_OK | MB_ICONWARNING);
    }
    return true;
}

void CObjectTreeCtrl::StoreTreeSettings() {
    m_aVisibleItems.clear();
    m_firstVisible = TREE_ITEM_INFO{-1, DATABASETYPE_USER};
    HTREEITEM first = GetFirstVisibleItem();
    if (const TREE_ITEM_INFO* record = Record(first)) {
        m_firstVisible = *record;
    }
    for (HTREEITEM item = first; item != nullptr; item = GetNextVisibleItem(item)) {
        if (const TREE_ITEM_INFO* record = Record(item)) {
            m_aVisibleItems.push_back(*record);
        }
    }
}

void CObjectTreeCtrl::RestoreTreeSettings() {
    const auto same = [](const TREE_ITEM_INFO& a, const TREE_ITEM_INFO& b) {
        return a.lTreeID == b.lTreeID && a.eDatabaseType == b.eDatabaseType;
    };
    HTREEITEM top = nullptr;
    for (HTREEITEM item = GetNextItem(nullptr); item != nullptr; item = GetNextItem(item)) {
        const TREE_ITEM_INFO* record = Record(item);
        if (record == nullptr) {
            continue;
        }
        for (const TREE_ITEM_INFO& visible : m_aVisibleItems) {
            if (same(visible, *record)) {
                EnsureVisible(item);
                break;
            }
        }
        if (same(m_firstVisible, *record)) {
            top = item;
        }
    }
    if (top != nullptr) {
        SelectSetFirstVisible(top);
    }
}
