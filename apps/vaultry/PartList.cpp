#include "apps/vaultry/PartList.h"

#include <algorithm>

#include "access/CMSAccessDBHandler.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Session.h"
#include "host/CKV_DocInterface.h"
#include "host/CPlugInManager.h"
#include "platform/afx/CDWordArray.h"
#include "platform/dao/CDaoException.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"
#include "tables/CRSUserTree.h"

namespace vaultry::cli {
namespace {

bool Contains(const CDWordArray& ids, long id) {
    for (int i = 0; i < ids.GetSize(); ++i) {
        if (static_cast<long>(ids[i]) == id) {
            return true;
        }
    }
    return false;
}

void FillTier(Session& session, DATABASETYPE type, const PartQuery& query,
              std::vector<PartEntry>& entries) {
    CMSAccessDBHandler& tier = session.Tier(type);
    CRSObjects objects(type, &tier);
    CRSObjectTypes types(&tier);
    CDWordArray wanted;
    const ZB_OBJECTVISIBILITY hidden = ZB_VISIBILITY_HIDDEN;
    types.GetValidObjectTypeIDList(
        query.docTypes.empty() ? AllDocTypes().c_str() : query.docTypes.c_str(), wanted, &hidden);
    std::string filter;
    if (query.category) {
        const CategoryTree tree(session, type);
        filter = CategoryFilter(query.withSubTree ? tree.SubTree(*query.category)
                                                  : std::vector<long>{*query.category});
    }
    const std::string name = NameClause(query.name);
    if (!name.empty()) {
        filter += (filter.empty() ? "" : " AND ") + name;
    }
    objects.m_strFilter = filter.c_str();
    objects.m_strSort = "strObjectName";
    objects.Open();
    for (; !objects.IsEOF(); objects.MoveNext()) {
        if (!Contains(wanted, objects.m_lObjectTypeID)) {
            continue;
        }
        PartEntry entry;
        entry.id = objects.m_lObjectID;
        entry.name = objects.m_strObjectName;
        entry.category = objects.m_lObjectTreeID;
        entry.owner = objects.m_lUserID;
        entry.tier = type;
        entry.docType = types.GetDocType(objects.m_lObjectTypeID);
        entries.push_back(entry);
    }
    objects.Close();
    for (PartEntry& entry : entries) {
        if (entry.tier == type) {
            entry.rights = tier.HasRightsOn(entry.owner);
            CRSUserTree& users = *tier.GetRSUserTree();
            entry.ownerName = users.FindUser(entry.owner) ? users.m_strUserName : CString();
        }
    }
}

}  // namespace

std::string NameClause(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) {
                                  return c == '"' || c == '\'' || c == '|' || c == '[' || c == ']';
                              }),
               text.end());
    return text.empty() ? std::string() : "strObjectName LIKE\"*" + text + "*\"";
}

std::string AllDocTypes() {
    std::string types;
    CPlugInManager* plugIns = GetPlugInManager();
    for (int i = 0; i < plugIns->GetPlugInCount(); ++i) {
        CKV_DocInterface* plugIn = plugIns->GetPlugIn(i);
        for (int k = 0; k < plugIn->GetDocTypeCount(); ++k) {
            types += (types.empty() ? "" : "|") + plugIn->GetDocType(k).str();
        }
    }
    return types;
}

std::vector<PartEntry> ListParts(Session& session, const PartQuery& query) {
    std::vector<PartEntry> entries;
    for (const DATABASETYPE type : kTiersUserFirst) {
        if (query.tier && *query.tier != type) {
            continue;
        }
        try {
            FillTier(session, type, query, entries);
        } catch (const CDaoException& e) {
            throw CommandError(std::string("the ") + TierName(type) +
                               " library could not be read: " + e.GetErrorMessage().str());
        }
    }
    return entries;
}

}  // namespace vaultry::cli
