// The category tree's changes: categories added, renamed and removed, and the rights tests
// before them and before a drop.

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibraryEditor.h"
#include "access/LibrarySet.h"
#include "access/NameRule.h"
#include "access/RightsGate.h"
#include "access/ui/PasswordDialogs.h"
#include "access/ui/PasswordPrompt.h"
#include "controls/CObjectComboBox.h"
#include "controls/CObjectTreeCtrl.h"
#include "host/CSet.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoException.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjectTree.h"
#include "tables/CRSUserTree.h"

namespace {

// Runs one change of `library` through its editor; a refusal or a failure of the file is
// shown, and the library is as it was. True when the change was made.
bool Change(DATABASETYPE type, const std::function<void(LibraryEditor&)>& change) {
    CMSAccessDBHandler* library = GetAccessDB(type);
    if (library == nullptr) {
        return false;
    }
    RightsGate rights(DialogPasswordPrompt());
    LibraryEditor editor(*library, rights);
    try {
        change(editor);
        return true;
    } catch (const ChangeRefused& refused) {
        AfxMessageBox(refused.what(), MB_OK | MB_ICONERROR);
    } catch (const CDaoException& error) {
        AfxMessageBox(error.GetErrorMessage(), MB_OK | MB_ICONERROR);
    }
    return false;
}

// Asks for the password of the library of `type`; false on Cancel.
bool AskPassword(DATABASETYPE type) {
    CAskLibPassword dialog;
    dialog.m_nDatabaseType = type;
    return dialog.DoModal() == IDOK;
}

}  // namespace

bool CObjectTreeCtrl::SetReadOnly(bool readOnly) {
    const bool was = m_bReadOnly;
    m_bReadOnly = readOnly;
    return was;
}

// The first name of "name", "name (2)", "name (3)", ... that no child of `parent` carries.
CString CObjectTreeCtrl::FreeChildName(HTREEITEM parent, const CString& name) const {
    const auto taken = [&](const CString& candidate) {
        for (HTREEITEM child = GetChildItem(parent); child != nullptr;
             child = GetNextSiblingItem(child)) {
            if (vaultry::text::CompareFolded(GetItemText(child).str(), candidate.str()) == 0) {
                return true;
            }
        }
        return false;
    };
    CString candidate = name;
    for (int number = 2; taken(candidate); ++number) {
        candidate.Format("%s (%d)", name.GetString(), number);
    }
    return candidate;
}

bool CObjectTreeCtrl::AddChild(const CString& name) {
    HTREEITEM parent = GetSelectedItem();
    const TREE_ITEM_INFO* parentRecord = Record(parent);
    if (m_bReadOnly || parentRecord == nullptr) {
        return false;
    }
    const TREE_ITEM_INFO where = *parentRecord;
    const CString free = FreeChildName(parent, name);
    long treeID = 0;
    if (!Change(where.eDatabaseType, [&](LibraryEditor& editor) {
            treeID = editor.MakeCategory(where.lTreeID, free);
        })) {
        return false;
    }
    HTREEITEM item = InsertItem(free, parent);
    SortChildren(parent);
    Attach(item, treeID, where.eDatabaseType);
    if (CMapIDtoTreeItem* items = GetHandles(where.eDatabaseType)) {
        (*items)[treeID] = item;
    }
    SelectItem(item);
    return Rename(nullptr);
}

bool CObjectTreeCtrl::Rename(HTREEITEM item) {
    if (item == nullptr) {
        item = GetSelectedItem();
    }
    if (item == nullptr || !HasRights() || IsTopMostSelected()) {
        return false;
    }
    if (Widget() != nullptr) {
        Widget()->setFocus();
    }
    EditLabel(item);
    return true;
}

bool CObjectTreeCtrl::OnBeginLabelEdit(HTREEITEM /*item*/) {
    return HasRights() && !IsTopMostSelected();
}

// The new name is stored through the editor, which refuses a name a sibling carries; the item
// then shows the stored name in its place among its siblings.
bool CObjectTreeCtrl::OnEndLabelEdit(HTREEITEM item, const CString& name) {
    const CString why = WhyNotAName(name);
    if (!why.IsEmpty()) {
        AfxMessageBox(why, MB_OK | MB_ICONERROR);
        return false;
    }
    const TREE_ITEM_INFO* record = Record(item);
    if (record == nullptr) {
        return false;
    }
    const TREE_ITEM_INFO category = *record;
    if (!Change(category.eDatabaseType,
                [&](LibraryEditor& editor) { editor.RenameCategory(category.lTreeID, name); })) {
        return false;
    }
    SetItemText(item, name);
    SortChildren(GetParentItem(item));
    return true;
}

// The category goes with its sub-categories and their parts, as the question says, or nothing
// goes: the editor tests the rights on every one of them first.
bool CObjectTreeCtrl::Delete(HTREEITEM item) {
    if (item == nullptr) {
        item = GetSelectedItem();
    }
    if (item == nullptr || !HasRights() || IsTopMostSelected()) {
        return false;
    }
    const TREE_ITEM_INFO* record = Record(item);
    if (record == nullptr) {
        DestroyChilds(item);
        DeleteItem(item);
        return false;
    }
    if (GetKeyState(VK_SHIFT) >= 0 &&
        AfxMessageBox(ModuleString(IDS_DELETE_CATEGORY), MB_OKCANCEL | MB_ICONWARNING) != IDOK) {
        return false;
    }
    const TREE_ITEM_INFO category = *record;
    if (category.lTreeID == 0 || !Change(category.eDatabaseType, [&](LibraryEditor& editor) {
            editor.RemoveCategory(category.lTreeID);
        })) {
        return false;
    }
    DestroyChilds(item);
    Forget(item);
    DeleteItem(item);
    return true;
}

bool CObjectTreeCtrl::HasRights() {
    const TREE_ITEM_INFO* record = Record(GetSelectedItem());
    if (m_bReadOnly || record == nullptr || record->lTreeID == -1) {
        return false;
    }
    CRSObjectTree* categories = GetRSObjectTree(record->eDatabaseType);
    return categories != nullptr && categories->HasRights(record->lTreeID);
}

bool CObjectTreeCtrl::TestForTreeRightsAndCancel(long treeID, DATABASETYPE type) {
    CRSObjectTree* categories = GetRSObjectTree(type);
    if (categories == nullptr) {
        return false;
    }
    if (categories->HasRights(treeID)) {
        return true;
    }
    if (treeID == -1 || (type == DATABASETYPE_MASTER && !MasterEditPermitted())) {
        return false;
    }
    // The dialog keeps the password for the library: right from now on it counts.
    return AskPassword(type) && categories->HasRights(treeID);
}

bool CObjectTreeCtrl::TestForSelectionRightsAndCancel() {
    DATABASETYPE type = DATABASETYPE_USER;
    const long treeID = GetSelectedID(type);
    return treeID != -1 && (HasRights() || TestForTreeRightsAndCancel(treeID, type));
}

bool CObjectTreeCtrl::TestForTypesInSelection(DATABASETYPE type,
                                              const std::vector<const OBJECT_ENTRY*>& parts) {
    for (const OBJECT_ENTRY* part : parts) {
        if (part != nullptr && part->eDatabaseType == type) {
            return true;
        }
    }
    return false;
}

// A library's password counts as given when its user 0 needs none or the one typed last
// matches; the parts' own owners are the editor's question when they move.
bool CObjectTreeCtrl::TestForObjectRightsAndCancel(const std::vector<const OBJECT_ENTRY*>& parts) {
    for (const DATABASETYPE tier :
         {DATABASETYPE_MASTER, DATABASETYPE_CORPORATE, DATABASETYPE_USER}) {
        CMSAccessDBHandler* library = GetAccessDB(tier);
        if (!TestForTypesInSelection(tier, parts) || library == nullptr ||
            library->GetRSUserTree() == nullptr) {
            continue;
        }
        bool satisfied = false;
        try {
            satisfied = library->GetRSUserTree()->HasRights(0, 0);
        } catch (const CDaoException& error) {
            AfxMessageBox(error.GetErrorMessage(), MB_OK | MB_ICONERROR);
            return false;
        }
        if (satisfied) {
            continue;
        }
        if (tier == DATABASETYPE_MASTER && !MasterEditPermitted()) {
            return false;
        }
        if (!AskPassword(tier)) {
            return false;
        }
    }
    return true;
}
