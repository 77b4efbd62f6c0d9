// The handler's operations on whole categories: copying a sub-tree with its parts, the
// ancestor cache table, and whether a part's document type has a plug-in.

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/PartListing.h"
#include "access/ProgressDisplay.h"
#include "host/CBlob.h"
#include "host/CPlugInManager.h"
#include "host/CSet.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoFieldExchange.h"
#include "platform/dao/CDaoRecordset.h"
#include "platform/dao/CDaoTableDef.h"
#include "platform/dao/DaoTransaction.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjectTree.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"

using vaultry::dao::DaoTransaction;

namespace {

constexpr std::size_t kPartsWithoutProgress = 10;
constexpr std::size_t kPartsPerNameQuery = 64;

CString ChildrenFilter(long treeID) {
    CString text;
    text.Format("lParentID=%lu AND lParentID<>lTreeID", static_cast<unsigned long>(treeID));
    return text;
}

CString PartsFilter(long treeID) {
    CString text;
    text.Format("lObjectTreeID IN(%lu)", static_cast<unsigned long>(treeID));
    return text;
}

struct Category {
    long parent;
    long level;
};
using CategoryLevels = std::map<long, Category>;

// The ids from the root down to `id`, one per level of `id`. Climbing stops at a root (or at a
// parent that is missing), so the columns below repeat it.
std::vector<long> AncestorPath(const CategoryLevels& tree, long id) {
    const long level = tree.at(id).level;
    std::vector<long> path(static_cast<std::size_t>(std::max<long>(level + 1, 0)), id);
    long at = id;
    for (long k = level; k >= 0; --k) {
        path[static_cast<std::size_t>(k)] = at;
        const auto it = tree.find(at);
        if (it != tree.end() && it->second.parent != at && tree.count(it->second.parent)) {
            at = it->second.parent;
        }
    }
    return path;
}

CString CacheColumn(long level) {
    CString name;
    name.Format("lCache%lu", static_cast<unsigned long>(level));
    return name;
}

// The ids of the children of `treeID`, in the order the set finds them; a root is never its
// own child.
std::vector<long> Children(CRSObjectTree& tree, long treeID) {
    std::vector<long> children;
    const CString filter = ChildrenFilter(treeID);
    for (BOOL found = tree.FindFirst(filter); found; found = tree.FindNext(filter)) {
        children.push_back(tree.m_lTreeID);
    }
    return children;
}

}  // namespace

bool CMSAccessDBHandler::CopyTree(long treeID, long parentID, CMSAccessDBHandler* source) {
    try {
        CopyTreeWhole(treeID, parentID, source);
        return true;
    } catch (const ChangeRefused& refused) {
        AfxMessageBox(refused.what(), MB_OK);
    } catch (const CDaoException& error) {
        CString message = ModuleString(IDS_CATEGORY_NOT_COPIED);
        message.Replace("%1", error.GetErrorMessage());
        AfxMessageBox(message, MB_OK);
    }
    return false;
}

void CMSAccessDBHandler::CopyTreeWhole(long treeID, long parentID, CMSAccessDBHandler* source) {
    CMSAccessDBHandler& from = source ? *source : *this;
    if (m_pRSObjectTree == nullptr || from.m_pRSObjectTree == nullptr ||
        !from.m_pRSObjectTree->FindTreeID(treeID)) {
        throw ChangeRefused::Invalid(IDS_NO_SUCH_CATEGORY);
    }
    if (&from == this) {
        // A copy into its own sub-tree would copy itself without end.
        CRSObjectTree destination(m_eDatabaseType, this);
        if (parentID == treeID ||
            (destination.FindTreeID(parentID) && destination.HasAsParent(treeID))) {
            throw ChangeRefused::Invalid(IDS_INTO_ITSELF);
        }
    }
    if (!m_pRSObjectTree->FindTreeID(parentID)) {
        throw ChangeRefused::Invalid(IDS_CANNOT_COPY_TO_DESTINATION);
    }
    // One transaction: a copy that cannot be finished leaves the destination as it was. The
    // source is read as one state of its file, so that no category of it comes or goes while
    // its sub-tree is read.
    DaoTransaction transaction(*this);
    std::optional<DaoTransaction> reading;
    if (&from != this) {
        reading.emplace(from, DaoTransaction::Mode::kRead);
    }
    CopyTreeInto(treeID, parentID, from);
    // As a part's copy: the part set shows the copies before they are committed.
    if (m_pRSObjects->IsOpen()) {
        m_pRSObjects->Requery();
    }
    transaction.Commit();
}

void CMSAccessDBHandler::CopyTreeInto(long treeID, long parentID, CMSAccessDBHandler& source) {
    CRSObjectTree& sourceTree = *source.m_pRSObjectTree;
    if (!sourceTree.FindTreeID(treeID)) {
        // Listed as a child a moment ago: the source could not be read.
        throw ChangeRefused::Failed(IDS_CATEGORY_NOT_COPIED, ModuleString(IDS_NO_SUCH_CATEGORY));
    }
    const CString name = sourceTree.m_strName;
    const std::vector<long> children = Children(sourceTree, treeID);
    const long copy = m_pRSObjectTree->AddChild(parentID, name);
    if (copy <= 0) {
        throw ChangeRefused::Failed(IDS_CATEGORY_NOT_COPIED,
                                    ModuleString(IDS_CANNOT_COPY_TO_DESTINATION));
    }
    for (long child : children) {
        CopyTreeInto(child, copy, source);
    }
    // A set of its own, apart from the source's part set: copies made into the same library
    // are not among its rows, and each row brings its blob. Its rows are fetched a batch at a
    // time, so that a large category is never held whole.
    CRSObjects parts(source.m_eDatabaseType, &source);
    parts.m_strFilter = PartsFilter(treeID);
    const CRSObjects::BlobsReadAlong withContent(parts);
    parts.Open();
    const long total = parts.GetRecordCount();
    ProgressDisplay progress(static_cast<int>(total),
                             static_cast<std::size_t>(total) > kPartsWithoutProgress,
                             ModuleString(IDS_COPYING_DATABASE_TREE));
    int done = 0;
    while (!parts.IsEOF()) {
        // The names of a batch of rows are asked at once; each copy stored takes its name out.
        std::vector<CopiedRow> rows = ReadRows(parts, kPartsPerNameQuery);
        std::vector<CString> names;
        for (const CopiedRow& row : rows) {
            names.push_back(row.name);
        }
        std::unordered_set<std::string> freeNames = FreeNames(*this, names);
        for (CopiedRow& row : rows) {
            progress.Reached(done++);
            if (!CopyRow(row, copy, source, freeNames)) {
                CString reason = ModuleString(IDS_PART_NOT_COPIED);
                reason.Replace("%1", row.name);
                throw ChangeRefused::Failed(IDS_CATEGORY_NOT_COPIED, reason);
            }
        }
    }
}

bool CMSAccessDBHandler::HasValidDoctypeWithTypeID(long objectID) {
    if (m_pRSObjects == nullptr || m_pRSObjectTypes == nullptr) {
        return false;
    }
    if (!m_pRSObjects->IsOpen()) {
        m_pRSObjects->Open();
    }
    if (!m_pRSObjectTypes->IsOpen()) {
        m_pRSObjectTypes->Open();
    }
    if (!m_pRSObjects->FindObjectID(objectID)) {
        return false;
    }
    const CString docType = m_pRSObjectTypes->GetDocType(m_pRSObjects->m_lObjectTypeID);
    return !docType.IsEmpty() && GetPlugInManager()->GetDocInterface(docType) != nullptr;
}

void CMSAccessDBHandler::CheckForCache() {
    long deepest = 0;
    try {
        CDaoRecordset levels(this);
        levels.Open(dbOpenSnapshot,
                    "SELECT Max(tObjectTree.lLevel) AS MaxOflLevel FROM tObjectTree;");
        deepest = static_cast<long>(levels.GetFieldValue("MaxOflLevel").AsInt64());
        levels.Close();
    } catch (const CDaoException& error) {
        // A library without its category table has nothing to cache; a file that cannot be
        // read must not pass for one whose cache was rebuilt.
        if (!error.IsStatementRefused()) {
            throw;
        }
        return;
    }
    DaoTransaction transaction(*this);
    try {
        CDaoTableDef old(this);
        old.Open("tObjectTreeCache");
        old.Close();
        DeleteTableDef("tObjectTreeCache");
    } catch (const CDaoException&) {
        // There was no cache table yet.
    }
    CDaoTableDef cache(this);
    try {
        cache.Create("tObjectTreeCache");
        for (long level = 0; level <= deepest; ++level) {
            cache.CreateField(CacheColumn(level), dbLong, 4, dbUpdatableField);
        }
        CDaoFieldInfo treeID;
        treeID.m_strName = "lTreeID";
        treeID.m_nType = dbLong;
        treeID.m_lSize = 4;
        treeID.m_lAttributes = dbFixedField | dbUpdatableField;
        treeID.m_bRequired = true;
        treeID.m_bAllowZeroLength = false;
        cache.CreateField(treeID);
    } catch (const CDaoException&) {
        // Appended with the fields made so far.
    }
    cache.Append();
    cache.Close();
    UpdateCache();
    transaction.Commit();
}

// One row per category: for the category at level L, lCache0 .. lCacheL hold its ancestors
// from the root down to itself. Columns above L are left empty, so a category that moved up is
// no longer listed under its old ancestors. The tree is read once and each row written once.
void CMSAccessDBHandler::UpdateCache() {
    CDaoRecordset cache(this);
    cache.Open(AFX_DAO_USE_DEFAULT_TYPE, "SELECT tObjectTreeCache.* FROM tObjectTreeCache;");
    if (!m_pRSObjectTree->IsOpen()) {
        m_pRSObjectTree->Open();
    }
    if (!cache.IsOpen() || !m_pRSObjectTree->IsOpen()) {
        return;
    }
    const int columns = cache.GetFieldCount() - 1;  // the level columns, then lTreeID
    cache.Close();
    // The tree is read under the write lock: a category another program adds between the
    // reading and the writing would otherwise be missing from the cache.
    DaoTransaction transaction(*this);
    CategoryLevels tree;
    std::vector<long> order;  // the category set's order: by level, then name
    {
        CDaoRecordset rows(this);
        rows.Open(dbOpenSnapshot,
                  "SELECT lTreeID, lParentID, lLevel FROM tObjectTree ORDER BY lLevel, strName");
        for (; !rows.IsEOF(); rows.MoveNext()) {
            const long id = static_cast<long>(rows.GetFieldValue(0).AsInt64());
            tree[id] = {static_cast<long>(rows.GetFieldValue(1).AsInt64()),
                        static_cast<long>(rows.GetFieldValue(2).AsInt64())};
            order.push_back(id);
        }
    }
    Execute("DELETE FROM tObjectTreeCache");
    // Categories of one level fill the same columns, and the set lists them level by level, so
    // they go in as inserts of many rows of one shape, which the statement cache keeps.
    constexpr std::size_t kRowsPerInsert = 64;
    for (std::size_t first = 0; first < order.size();) {
        const long level = tree[order[first]].level;
        const int width = static_cast<int>(std::min<long>(columns, std::max<long>(level + 1, 0)));
        std::string sql = "INSERT INTO tObjectTreeCache (lTreeID";
        for (int k = 0; k < width; ++k) {
            sql += ", " + CacheColumn(k).str();
        }
        sql += ") VALUES ";
        std::size_t next = first;
        for (; next < order.size() && next - first < kRowsPerInsert &&
               tree[order[next]].level == level;
             ++next) {
            const std::vector<long> path = AncestorPath(tree, order[next]);
            sql += next == first ? "(" : ",(";
            sql += std::to_string(order[next]);
            for (int k = 0; k < width; ++k) {
                sql += ',';
                sql += std::to_string(path[static_cast<std::size_t>(k)]);
            }
            sql += ")";
        }
        Execute(sql.c_str());
        first = next;
    }
    transaction.Commit();
}
