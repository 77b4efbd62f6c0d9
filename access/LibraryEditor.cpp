#include "access/LibraryEditor.h"

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibraryTree.h"
#include "access/NameRule.h"
#include "access/RightsGate.h"
#include "access/RowEdit.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/DaoQuote.h"
#include "platform/dao/DaoTransaction.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjectTree.h"
#include "tables/CRSObjects.h"
#include "tables/CRSUserTree.h"

using vaultry::dao::DaoTransaction;
using vaultry::dao::QuoteText;

namespace {

// The names of a path: "SMD/Fine pitch" gives SMD and Fine pitch; empty elements are skipped.
std::vector<CString> Elements(const CString& path) {
    std::vector<CString> names;
    int start = 0;
    for (CString name = path.Tokenize("/", start); start >= 0; name = path.Tokenize("/", start)) {
        names.push_back(name);
    }
    return names;
}

// The name of part `objectID` of `library`, whose part set then stands on it; refused when
// there is no such part.
CString PartName(CMSAccessDBHandler& library, long objectID) {
    CRSObjects& parts = *library.GetRSObjects();
    if (!parts.FindObjectID(objectID)) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_PART);
    }
    return parts.m_strObjectName;
}

}  // namespace

// The child of `parentID` called `name` (case ignored), other than `exceptID`; 0 when none.
// Asked of the file, so that inside a writing transaction it sees every other writer's rows.
long LibraryEditor::ChildNamed(long parentID, const CString& name, long exceptID) {
    CString sql;
    sql.Format(
        "SELECT lTreeID FROM tObjectTree WHERE lParentID=%ld AND lParentID<>lTreeID AND "
        "lTreeID<>%ld AND strName=",
        parentID, exceptID);
    CDaoRecordset child(&m_library);
    child.Open(dbOpenSnapshot, sql + QuoteText(name));
    return child.IsEOF() ? 0 : static_cast<long>(child.GetFieldValue(0).AsInt64());
}

void LibraryEditor::RefuseSiblingNamed(long parentID, const CString& name, long exceptID) {
    if (ChildNamed(parentID, name, exceptID) > 0) {
        throw ChangeRefused::Invalid(IDS_CATEGORY_EXISTS, name);
    }
}

long LibraryEditor::MakeCategory(long parentID, const CString& name) {
    RequireValidName(name);
    m_rights.RequireOnCategory(m_library, parentID);
    DaoTransaction transaction(m_library);
    RefuseSiblingNamed(parentID, name, -1);
    const long id = m_library.GetRSObjectTree()->AddChild(parentID, name);
    if (id <= 0) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_CATEGORY);
    }
    transaction.Commit();
    return id;
}

long LibraryEditor::MakeCategoryPath(long baseID, const CString& path) {
    const std::vector<CString> names = Elements(path);
    // The rights are those on the category the first missing one goes into; what is made below
    // it is the current user's own.
    long at = baseID;
    std::size_t found = 0;
    for (long child = 0; found < names.size() && (child = ChildNamed(at, names[found], -1)) > 0;
         ++found) {
        at = child;
    }
    if (found == names.size()) {
        return at;
    }
    for (std::size_t missing = found; missing < names.size(); ++missing) {
        RequireValidName(names[missing]);
    }
    m_rights.RequireOnCategory(m_library, at);
    DaoTransaction transaction(m_library);
    at = baseID;
    for (const CString& name : names) {
        const long child = ChildNamed(at, name, -1);
        at = child > 0 ? child : m_library.GetRSObjectTree()->AddChild(at, name);
        if (at <= 0) {
            throw ChangeRefused::Invalid(IDS_NO_SUCH_CATEGORY);
        }
    }
    transaction.Commit();
    return at;
}

void LibraryEditor::RenameCategory(long treeID, const CString& name) {
    RequireValidName(name);
    m_rights.RequireOnCategory(m_library, treeID);
    DaoTransaction transaction(m_library);
    CRSObjectTree& rows = *m_library.GetRSObjectTree();
    if (!rows.FindTreeID(treeID)) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_CATEGORY);
    }
    if (rows.m_lParentID == rows.m_lTreeID) {
        throw ChangeRefused::Invalid(IDS_TOP_CATEGORY);
    }
    RefuseSiblingNamed(rows.m_lParentID, name, treeID);
    RowEdit edit(rows);
    rows.m_strName = name;
    edit.Update();
    transaction.Commit();
}

void LibraryEditor::MoveCategory(long treeID, long parentID) {
    const LibraryTree tree(m_library);
    const LibraryCategory* moved = tree.Find(treeID);
    if (moved == nullptr || tree.Find(parentID) == nullptr) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_CATEGORY);
    }
    if (moved->IsRoot()) {
        throw ChangeRefused::Invalid(IDS_TOP_CATEGORY);
    }
    if (tree.IsWithin(parentID, treeID)) {
        throw ChangeRefused::Invalid(IDS_INTO_ITSELF);
    }
    if (moved->parent == parentID) {
        throw ChangeRefused::Invalid(IDS_ALREADY_THERE);
    }
    m_rights.Require(m_library, moved->owner);
    m_rights.RequireOnCategory(m_library, moved->parent);
    m_rights.RequireOnCategory(m_library, parentID);
    DaoTransaction transaction(m_library);
    RefuseSiblingNamed(parentID, moved->name, treeID);
    CRSObjectTree& rows = *m_library.GetRSObjectTree();
    if (!rows.FindTreeID(treeID)) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_CATEGORY);
    }
    RowEdit edit(rows);
    rows.m_lParentID = parentID;
    edit.Update();  // the levels of the sub-tree follow
    transaction.Commit();
}

// Rights on the category, every category below it and every part filed in them.
void LibraryEditor::RequireRemovable(const LibraryTree& tree, long treeID) {
    const LibraryCategory* removed = tree.Find(treeID);
    if (removed == nullptr) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_CATEGORY);
    }
    if (removed->IsRoot()) {
        throw ChangeRefused::Invalid(IDS_TOP_CATEGORY);
    }
    const std::vector<long> categories = tree.SubTree(treeID);
    for (const long id : categories) {
        m_rights.Require(m_library, tree.Find(id)->owner);
    }
    for (const long part : tree.PartsIn(categories)) {
        m_rights.RequireOnPart(m_library, part);
    }
}

// The parts first, then the categories from the deepest up.
void LibraryEditor::RemoveSubTree(const LibraryTree& tree, long treeID) {
    const std::vector<long> categories = tree.SubTree(treeID);
    CRSObjects& parts = *m_library.GetRSObjects();
    for (const long part : tree.PartsIn(categories)) {
        parts.Delete(part);
    }
    CRSObjectTree& rows = *m_library.GetRSObjectTree();
    for (auto id = categories.rbegin(); id != categories.rend(); ++id) {
        rows.Delete(*id);
    }
}

void LibraryEditor::RemoveCategory(long treeID) {
    // Asked before the library is held, so that a password prompt keeps no other writer
    // waiting; asked again on what the file holds once it is held (the password is known then).
    RequireRemovable(LibraryTree(m_library), treeID);
    DaoTransaction transaction(m_library);
    const LibraryTree tree(m_library);
    RequireRemovable(tree, treeID);
    RemoveSubTree(tree, treeID);
    transaction.Commit();
}

void LibraryEditor::RenamePart(long objectID, const CString& name) {
    RequireValidName(name);
    m_rights.RequireOnPart(m_library, objectID);
    DaoTransaction transaction(m_library);
    const long typeID = m_library.GetObjectTypeID(objectID);
    if (typeID < 0) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_PART);
    }
    if (m_library.NameTakenInDocType(name, typeID, objectID)) {
        throw ChangeRefused::Invalid(IDS_NAME_EXISTS);
    }
    if (!m_library.RenameObject(objectID, name)) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_PART);
    }
    transaction.Commit();
}

void LibraryEditor::MovePart(long objectID, long treeID) {
    m_rights.RequireOnPart(m_library, objectID);
    m_rights.RequireOnCategory(m_library, treeID);
    DaoTransaction transaction(m_library);
    CRSObjects& parts = *m_library.GetRSObjects();
    if (!parts.FindObjectID(objectID)) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_PART);
    }
    RowEdit edit(parts);
    parts.m_lObjectTreeID = treeID;
    edit.Update();
    transaction.Commit();
}

void LibraryEditor::RemovePart(long objectID) {
    m_rights.RequireOnPart(m_library, objectID);
    DaoTransaction transaction(m_library);
    if (!m_library.GetRSObjects()->Delete(objectID)) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_PART);
    }
    transaction.Commit();
}

void LibraryEditor::CopyPart(CMSAccessDBHandler& source, long objectID, long treeID) {
    m_rights.RequireOnCategory(m_library, treeID);
    const CString name = PartName(source, objectID);
    if (!m_library.CopyObject(objectID, treeID, &source == &m_library ? nullptr : &source)) {
        throw ChangeRefused::Failed(IDS_PART_NOT_COPIED, name);
    }
}

void LibraryEditor::MovePartFrom(CMSAccessDBHandler& source, long objectID, long treeID) {
    if (&source == &m_library) {
        MovePart(objectID, treeID);
        return;
    }
    m_rights.RequireOnPart(source, objectID);
    const CString name = PartName(source, objectID);
    CopyPart(source, objectID, treeID);
    // The copy is stored: a failure now leaves the part in both libraries, which the user must
    // hear of by its name.
    try {
        LibraryEditor(source, m_rights).RemovePart(objectID);
    } catch (const ChangeRefused&) {
        throw ChangeRefused::Failed(IDS_PART_NOT_REMOVED, name);
    } catch (const CDaoException&) {
        throw ChangeRefused::Failed(IDS_PART_NOT_REMOVED, name);
    }
}

void LibraryEditor::CopyCategory(CMSAccessDBHandler& source, long treeID, long parentID) {
    m_rights.RequireOnCategory(m_library, parentID);
    CRSObjectTree& sourceRows = *source.GetRSObjectTree();
    if (!sourceRows.FindTreeID(treeID)) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_CATEGORY);
    }
    const CString name = sourceRows.m_strName;
    try {
        DaoTransaction transaction(m_library);
        RefuseSiblingNamed(parentID, name, -1);
        m_library.CopyTreeWhole(treeID, parentID, &source == &m_library ? nullptr : &source);
        transaction.Commit();
    } catch (const CDaoException& error) {
        // Also a commit that could not be written: the copy is undone, and the user is told so
        // as of any other copy that failed.
        throw ChangeRefused::Failed(IDS_CATEGORY_NOT_COPIED, error.GetErrorMessage());
    }
}

void LibraryEditor::MoveCategoryFrom(CMSAccessDBHandler& source, long treeID, long parentID) {
    if (&source == &m_library) {
        MoveCategory(treeID, parentID);
        return;
    }
    LibraryEditor from(source, m_rights);
    const LibraryTree tree(source);
    from.RequireRemovable(tree, treeID);
    m_rights.RequireOnCategory(source, tree.Find(treeID)->parent);
    CopyCategory(source, treeID, parentID);
    const CString name = tree.Find(treeID)->name;
    try {
        from.RemoveCategory(treeID);
    } catch (const ChangeRefused&) {
        throw ChangeRefused::Failed(IDS_CATEGORY_NOT_REMOVED, name);
    } catch (const CDaoException&) {
        throw ChangeRefused::Failed(IDS_CATEGORY_NOT_REMOVED, name);
    }
}

int LibraryEditor::StoreParts(long treeID, CDrwObList& parts, const CColorDefinition* colours,
                              const CLayerDefinition* layers, CMSAccessDBHandler::NameCheck names) {
    m_rights.RequireOnCategory(m_library, treeID);
    int stored = 0;
    m_library.SaveObjects(nullptr, &parts, treeID, colours, layers, stored, names);
    return stored;
}

void LibraryEditor::SetPassword(long userID, const CString& password) {
    m_rights.Require(m_library, userID);
    CRSUserTree& users = *m_library.GetRSUserTree();
    DaoTransaction transaction(m_library);
    if (!users.FindUser(userID)) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_USER);
    }
    users.SetUserPassword(userID, password);
    transaction.Commit();
}

void LibraryEditor::InOneTransaction(const std::function<void()>& work) {
    DaoTransaction transaction(m_library);
    work();
    transaction.Commit();
}
