#include "access/PartListing.h"

#include <algorithm>
#include <map>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "access/LibraryTree.h"
#include "access/PartGeometryTable.h"
#include "host/CKV_DocInterface.h"
#include "host/CPlugInManager.h"
#include "platform/afx/CDWordArray.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/DaoQuote.h"
#include "platform/dao/DaoTransaction.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"
#include "tables/CRSUserTree.h"

using vaultry::dao::DaoTransaction;

namespace {

// The tiers in list order.
constexpr DATABASETYPE kTiersUserFirst[] = {DATABASETYPE_USER, DATABASETYPE_CORPORATE,
                                            DATABASETYPE_MASTER};

CString FilterOf(CMSAccessDBHandler& library, const PartQuery& query) {
    CString filter;
    if (query.category) {
        const LibraryTree tree(library);
        filter = LibraryTree::PartsFilter(query.withSubTree ? tree.SubTree(*query.category)
                                                            : std::vector<long>{*query.category});
    }
    const CString name = NameClause(query.name);
    if (!name.IsEmpty()) {
        filter += (filter.IsEmpty() ? "" : " AND ") + name;
    }
    if (!query.namePattern.IsEmpty()) {
        filter += (filter.IsEmpty() ? "" : " AND ") +
                  ("strObjectName LIKE " + vaultry::dao::QuoteText(query.namePattern));
    }
    if (query.geometry) {
        filter += (filter.IsEmpty() ? "" : " AND ") +
                  PartGeometryTable(library).PartsFilter(*query.geometry);
    }
    return filter;
}

// What the entries say of their owners: parts of one owner share the answers.
class Owners {
public:
    explicit Owners(CMSAccessDBHandler& library) : m_library(library) {}
    void Describe(PartEntry& entry) {
        auto known = m_known.find(entry.owner);
        if (known == m_known.end()) {
            CRSUserTree& users = *m_library.GetRSUserTree();
            const CString name = users.FindUser(entry.owner) ? users.m_strUserName : CString();
            known =
                m_known.emplace(entry.owner, Owner{name, m_library.HasRightsOn(entry.owner)}).first;
        }
        entry.ownerName = known->second.name;
        entry.rights = known->second.rights;
    }

private:
    struct Owner {
        CString name;
        bool rights = false;
    };
    CMSAccessDBHandler& m_library;
    std::map<long, Owner> m_known;
};

// The entry of the part `objects` stands on.
PartEntry EntryOf(CMSAccessDBHandler& library, CRSObjects& objects, CRSObjectTypes& types,
                  Owners& owners) {
    PartEntry entry;
    entry.id = objects.m_lObjectID;
    entry.name = objects.m_strObjectName;
    entry.docType = types.GetDocType(objects.m_lObjectTypeID);
    entry.category = objects.m_lObjectTreeID;
    entry.owner = objects.m_lUserID;
    entry.tier = library.GetDatabaseType();
    owners.Describe(entry);
    return entry;
}

// The tier's parts as one state of its file: a listing is not torn by another program's change,
// and its many reads share one lock.
void FillTier(CMSAccessDBHandler& library, const PartQuery& query,
              std::vector<PartEntry>& entries) {
    DaoTransaction reading(library, DaoTransaction::Mode::kRead);
    CRSObjectTypes types(&library);
    CDWordArray wanted;
    const ZB_OBJECTVISIBILITY hidden = ZB_VISIBILITY_HIDDEN;
    types.GetValidObjectTypeIDList(query.docTypes.IsEmpty() ? AllDocTypes() : query.docTypes,
                                   wanted, &hidden);
    CRSObjects objects(library.GetDatabaseType(), &library);
    objects.m_strFilter = FilterOf(library, query);
    objects.m_strSort = "strObjectName";
    // Read once, in order, inside the read transaction: one streaming statement serves, where a
    // dynaset would copy every row's key besides.
    objects.Open(dbOpenForwardOnly);
    Owners owners(library);
    for (; !objects.IsEOF(); objects.MoveNext()) {
        const DWORD type = static_cast<DWORD>(objects.m_lObjectTypeID);
        if (query.everyType || std::find(wanted.begin(), wanted.end(), type) != wanted.end()) {
            entries.push_back(EntryOf(library, objects, types, owners));
        }
    }
    objects.Close();
}

}  // namespace

std::vector<PartEntry> ListParts(const PartQuery& query) {
    std::vector<PartEntry> entries;
    for (const DATABASETYPE type : kTiersUserFirst) {
        if ((!query.tier || *query.tier == type) && GetAccessDB(type) != nullptr) {
            FillTier(*GetAccessDB(type), query, entries);
        }
    }
    return entries;
}

std::vector<CString> TakenNames(CMSAccessDBHandler& library, const std::vector<CString>& names) {
    std::vector<CString> taken;
    if (names.empty()) {
        return taken;
    }
    std::string marks;
    std::vector<COleVariant> values;
    for (const CString& name : names) {
        marks += marks.empty() ? "?" : ",?";
        values.emplace_back(name);
    }
    const std::string sql =
        "SELECT strObjectName FROM tObjects WHERE strObjectName IN (" + marks + ")";
    for (const COleVariant& name : library.QueryColumn(sql.c_str(), values)) {
        taken.push_back(name.AsText());
    }
    return taken;
}

std::unordered_set<std::string> FreeNames(CMSAccessDBHandler& library,
                                          const std::vector<CString>& names) {
    std::unordered_set<std::string> free;
    try {
        for (const CString& name : names) {
            free.insert(vaultry::text::FoldedKey(name.str()));
        }
        for (const CString& taken : TakenNames(library, names)) {
            free.erase(vaultry::text::FoldedKey(taken.str()));
        }
    } catch (const CDaoException&) {
        free.clear();
    }
    return free;
}

std::optional<PartEntry> FindPart(CMSAccessDBHandler& library, long objectID) {
    CRSObjects& objects = *library.GetRSObjects();
    if (objectID <= 0 || !objects.FindObjectID(objectID)) {
        return std::nullopt;
    }
    Owners owners(library);
    return EntryOf(library, objects, *library.GetRSObjectTypes(), owners);
}

CString NameClause(const CString& text) {
    if (text.IsEmpty()) {
        return CString();
    }
    using vaultry::dao::LikeLiteral;
    using vaultry::dao::QuoteText;
    return "strObjectName LIKE " + QuoteText("*" + LikeLiteral(text) + "*");
}

CString AllDocTypes() {
    CString types;
    CPlugInManager* plugIns = GetPlugInManager();
    for (int i = 0; i < plugIns->GetPlugInCount(); ++i) {
        CKV_DocInterface* plugIn = plugIns->GetPlugIn(i);
        for (int k = 0; k < plugIn->GetDocTypeCount(); ++k) {
            types += (types.IsEmpty() ? "" : "|") + plugIn->GetDocType(k);
        }
    }
    return types;
}
