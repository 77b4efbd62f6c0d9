// Categories and parts dragged onto the category tree: the tree as drag source of its
// categories, the answer to the host's drag-and-drop event (feedback while a drag is over
// this tree, the change on the drop), and the changes a drop makes, through the library
// editor. Every drop tests the rights again, whatever the feedback said before.

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibraryEditor.h"
#include "access/LibrarySet.h"
#include "access/LibraryTree.h"
#include "access/RightsGate.h"
#include "access/ui/PasswordPrompt.h"
#include "controls/CDragPartTarget.h"
#include "controls/CObjectComboBox.h"
#include "controls/CObjectTreeCtrl.h"
#include "controls/LibraryDragPayload.h"
#include "controls/PartTransfer.h"
#include "host/CSet.h"
#include "host/HostEvents.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/dao/CDaoException.h"
#include "platform/ui/COleDataSource.h"
#include "tables/CRSObjectTree.h"

namespace {

constexpr DWORD kPhaseEnter = 0;
constexpr DWORD kPhaseOver = 3;
constexpr DWORD kPhaseDrop = 4;

CLIPFORMAT LibraryFormat() {
    return RegisterClipboardFormatA(LibraryDragPayload::kFormatName);
}

std::optional<LibraryDragPayload> PayloadOf(const COleDataObject* data) {
    const auto bytes = data != nullptr ? data->GetData(LibraryFormat()) : std::nullopt;
    return bytes ? LibraryDragPayload::Decode(*bytes) : std::nullopt;
}

bool MasterLocked(DATABASETYPE tier) {
    return tier == DATABASETYPE_MASTER && !MasterEditPermitted();
}

void Tell(const CString& why) {
    AfxMessageBox(why, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void CObjectTreeCtrl::ListenForDrops() {
    m_pDropTarget = std::make_unique<CDragPartTarget>();
    m_pDropTarget->Register(this);
    EventDragAndDrop().AddCallBack(
        this, [this](DRAGDROP_EVENTINFO& info) { return DragDropCallBack(0, &info); });
    CTreeCtrl::OnBeginDrag([this](HTREEITEM item) { OnBegindrag(item); });
}

// A category may be moved away when it is not a top category and the user may change both it
// and the category it leaves.
DROPEFFECT CObjectTreeCtrl::EffectsOfDrag(const TREE_ITEM_INFO& dragged) {
    CRSObjectTree* categories = GetRSObjectTree(dragged.eDatabaseType);
    if (categories == nullptr || !categories->FindTreeID(dragged.lTreeID)) {
        return DROPEFFECT_NONE;
    }
    const long parent = categories->m_lParentID;
    if (parent == dragged.lTreeID) {
        return DROPEFFECT_COPY;
    }
    const bool movable = categories->HasRights(dragged.lTreeID) && categories->HasRights(parent);
    return DROPEFFECT_COPY | (movable ? DROPEFFECT_MOVE : DROPEFFECT_NONE);
}

void CObjectTreeCtrl::OnBegindrag(HTREEITEM item) {
    const TREE_ITEM_INFO* record = Record(item);
    if (record == nullptr || record->lTreeID == -1 || !m_bAllowDragging) {
        return;
    }
    const TREE_ITEM_INFO dragged = *record;
    DROPEFFECT allowed = DROPEFFECT_NONE;
    try {
        allowed = EffectsOfDrag(dragged);
    } catch (const CDaoException& error) {
        Tell(error.GetErrorMessage());
        return;
    }
    if (allowed == DROPEFFECT_NONE) {
        return;
    }
    COleDataSource source;
    source.CacheGlobalData(LibraryFormat(),
                           LibraryDragPayload{LibraryDragPayload::Kind::kCategory,
                                              {{dragged.lTreeID, dragged.eDatabaseType}}}
                               .Encode());
    if (source.DoDragDrop(*this, allowed) != DROPEFFECT_NONE) {
        RedrawKeepingView();
    }
}

void CObjectTreeCtrl::RedrawKeepingView() {
    StoreTreeSettings();
    RemoveAllItems();
    DrawTree();
    RestoreTreeSettings();
}

// Within one library a category cannot go onto itself, into its own sub-tree, or onto the
// category it is in already; into another library it may go anywhere.
bool CObjectTreeCtrl::AcceptsCategory(const LibraryItem& dragged, const TREE_ITEM_INFO& target) {
    CMSAccessDBHandler* library = GetAccessDB(dragged.tier);
    if (library == nullptr || GetAccessDB(target.eDatabaseType) == nullptr) {
        return false;
    }
    const LibraryTree tree(*library, LibraryTree::Counts::kNone);
    const LibraryCategory* category = tree.Find(dragged.id);
    if (category == nullptr) {
        return false;
    }
    if (dragged.tier != target.eDatabaseType) {
        return true;
    }
    return !tree.IsWithin(target.lTreeID, dragged.id) && category->parent != target.lTreeID;
}

int CObjectTreeCtrl::DragDropCallBack(UINT, DRAGDROP_EVENTINFO* info) {
    if (info == nullptr || info->pTargetWnd != this ||
        (info->nClipboardFormat != LibraryFormat() &&
         info->nClipboardFormat !=
             RegisterClipboardFormatA(LibraryDragPayload::kOtherFormatName))) {
        return 0;
    }
    const HTREEITEM targetItem = HitTest(CPoint{info->x, info->y});
    const TREE_ITEM_INFO* hit = Record(targetItem);
    if (hit == nullptr || hit->lTreeID == -1) {
        SelectDropTarget(nullptr);
        return 0;
    }
    const TREE_ITEM_INFO target = *hit;  // a redraw on the drop replaces the records
    const std::optional<LibraryDragPayload> payload = PayloadOf(info->pDataObject);
    if (info->nPhase == kPhaseEnter || info->nPhase == kPhaseOver) {
        bool accepts = !MasterLocked(target.eDatabaseType);
        try {
            if (accepts && payload && payload->kind == LibraryDragPayload::Kind::kCategory) {
                accepts = AcceptsCategory(payload->items.front(), target);
            }
        } catch (const CDaoException&) {
            accepts = false;  // a library that cannot be read takes no drop
        }
        SelectDropTarget(accepts ? targetItem : nullptr);
        return accepts ? 1 : 0;
    }
    SelectDropTarget(nullptr);
    if (info->nPhase != kPhaseDrop || !payload || info->pDataObject == nullptr) {
        return 0;
    }
    // Only an effect the source allowed, whatever the drop says.
    const DROPEFFECT effect = info->dwDropEffect & info->pDataObject->GetAllowedEffects();
    if (MasterLocked(target.eDatabaseType) ||
        (effect != DROPEFFECT_COPY && effect != DROPEFFECT_MOVE)) {
        return 0;
    }
    return payload->kind == LibraryDragPayload::Kind::kCategory
               ? HandleTreeDrop(payload->items.front(), effect, target.lTreeID,
                                target.eDatabaseType)
               : HandleListDrop(payload->items, effect, target.lTreeID, target.eDatabaseType);
}

// The same refusals as the feedback, asked again on the drop; a move into another library
// removes the original, with its sub-tree and parts, only once the copy is whole.
int CObjectTreeCtrl::HandleTreeDrop(const LibraryItem& category, DROPEFFECT effect, long targetID,
                                    DATABASETYPE targetType) {
    const bool move = effect == DROPEFFECT_MOVE;
    CMSAccessDBHandler* source = GetAccessDB(category.tier);
    CMSAccessDBHandler* target = GetAccessDB(targetType);
    if ((effect != DROPEFFECT_COPY && !move) || source == nullptr || target == nullptr ||
        MasterLocked(category.tier) || !TestForTreeRightsAndCancel(targetID, targetType) ||
        (move && !TestForTreeRightsAndCancel(category.id, category.tier))) {
        return 0;
    }
    try {
        if (!AcceptsCategory(category, TREE_ITEM_INFO{targetID, targetType})) {
            return 0;
        }
        RightsGate rights(DialogPasswordPrompt());
        LibraryEditor editor(*target, rights);
        if (!move) {
            editor.CopyCategory(*source, category.id, targetID);
        } else if (source == target) {
            editor.MoveCategory(category.id, targetID);
        } else {
            editor.MoveCategoryFrom(*source, category.id, targetID);
        }
    } catch (const ChangeRefused& refused) {
        Tell(refused.what());
        return 0;
    } catch (const CDaoException& error) {
        Tell(error.GetErrorMessage());
        return 0;
    }
    RedrawKeepingView();
    if (m_onDropped) {
        m_onDropped();
    }
    return 1;
}

int CObjectTreeCtrl::HandleListDrop(const std::vector<LibraryItem>& parts, DROPEFFECT effect,
                                    long targetID, DATABASETYPE targetType) {
    const bool move = effect == DROPEFFECT_MOVE;
    if (effect != DROPEFFECT_COPY && !move) {
        return 0;
    }
    std::vector<OBJECT_ENTRY> entries;
    for (const LibraryItem& part : parts) {
        if (move && MasterLocked(part.tier)) {
            return 0;
        }
        entries.push_back(OBJECT_ENTRY{part.id, CString(), part.tier});
    }
    std::vector<const OBJECT_ENTRY*> asked;
    for (const OBJECT_ENTRY& entry : entries) {
        asked.push_back(&entry);
    }
    if (!TestForTreeRightsAndCancel(targetID, targetType) ||
        (move && !TestForObjectRightsAndCancel(asked))) {
        return 0;
    }
    if (!TransferParts(parts, targetID, targetType, move)) {
        return 0;
    }
    if (m_onDropped) {
        m_onDropped();
    }
    return 1;
}
