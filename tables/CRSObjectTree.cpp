#include "tables/CRSObjectTree.h"

#include <deque>
#include <set>
#include <utility>

#include "platform/afx/AfxMessageBox.h"
#include "platform/dao/CDaoException.h"
#include "platform/dao/CDaoFieldExchange.h"
#include "platform/dao/DaoTransaction.h"
#include "tables/TierRights.h"

using vaultry::tables::TierRights;

namespace {

constexpr long kTreeDamaged = 3000001;  // our own number: no Jet error says this

[[noreturn]] void ThrowTreeError(const CString& text) {
    throw CDaoException(kTreeDamaged, "Vaultry.Tree", text);
}

}  // namespace

CRSObjectTree::CRSObjectTree(DATABASETYPE eType, CDaoDatabase* pDatabase)
    : CDaoRecordset(pDatabase), m_eDatabaseType(eType) {
    m_nFields = 5;
    m_nDefaultType = dbOpenDynaset;
}

CString CRSObjectTree::GetDefaultSQL() {
    return "SELECT tObjectTree.* FROM tObjectTree ORDER BY tObjectTree.lLevel, tObjectTree.strName";
}

void CRSObjectTree::DoFieldExchange(CDaoFieldExchange* pFX) {
    DFX_Long(pFX, "[lTreeID]", m_lTreeID);
    DFX_Text(pFX, "[strName]", m_strName);
    DFX_Long(pFX, "[lLevel]", m_lLevel);
    DFX_Long(pFX, "[lUserID]", m_lUserID);
    DFX_Long(pFX, "[lParentID]", m_lParentID);
}

void CRSObjectTree::Close() {
    if (IsOpen()) {
        CDaoRecordset::Close();
    }
}

void CRSObjectTree::OpenIfClosed() {
    if (!IsOpen()) {
        Open();
    }
}

bool CRSObjectTree::FindTreeID(long lTreeID) {
    try {
        OpenIfClosed();
        CString filter;
        filter.Format("lTreeID=%li", lTreeID);
        return FindFirst(filter) != FALSE;
    } catch (const CDaoException& error) {
        AfxMessageBox(error.GetErrorMessage(), MB_OK);
        return false;
    }
}

long CRSObjectTree::AddChild(long lParentID, const CString& strName) {
    if (!FindTreeID(lParentID)) {
        return 0;
    }
    const long level = m_lLevel + 1;
    AddNew();
    m_strName = strName;
    m_lParentID = lParentID;
    const TierRights* rights = TierRights::Of(m_pDatabase);
    m_lUserID = rights ? rights->GetUserID() : -1;
    m_lLevel = level;
    Update();
    Requery();
    CDaoRecordset newest(m_pDatabase);
    newest.Open(dbOpenSnapshot, "SELECT Max(tObjectTree.lTreeID) AS MaxOflTreeID FROM tObjectTree");
    newest.MoveLast();
    const long newID = static_cast<long>(newest.GetFieldValue(0).AsInt64());
    newest.Close();
    FindTreeID(newID);
    return m_lTreeID;
}

bool CRSObjectTree::HasRights(long lTreeID) {
    TierRights* rights = TierRights::Of(m_pDatabase);
    return rights != nullptr && FindTreeID(lTreeID) && rights->HasRightsOn(m_lUserID);
}

bool CRSObjectTree::HasAsParent(long lTreeID) {
    CRSObjectTree walker(m_eDatabaseType, m_pDatabase);
    std::set<long> seen{m_lTreeID};
    long parent = m_lParentID;
    long child = m_lTreeID;
    while (parent != child) {
        if (parent == lTreeID) {
            return true;
        }
        if (!seen.insert(parent).second) {
            return true;  // circular: treat every category as inside it
        }
        if (!walker.FindTreeID(parent)) {
            return false;  // the chain ends at a missing category
        }
        child = walker.m_lTreeID;
        parent = walker.m_lParentID;
    }
    return false;
}

bool CRSObjectTree::Delete(long lTreeID) {
    if (!FindTreeID(lTreeID)) {
        return false;
    }
    CDaoRecordset::Delete();
    return true;
}

void CRSObjectTree::Update() {
    vaultry::dao::DaoTransaction transaction(*m_pDatabase);
    if (m_lParentID != m_lTreeID) {
        CRSObjectTree parent(m_eDatabaseType, m_pDatabase);
        if (parent.FindTreeID(m_lParentID)) {
            SetLevel(parent.m_lLevel + 1);
        }
        parent.Close();
    }
    CDaoRecordset::Update();
    transaction.Commit();
}

// Walks the sub-tree breadth first, one indexed search per category for its children, so each
// moved row is touched once. The row in the edit buffer keeps its level for Update to write.
void CRSObjectTree::SetLevel(long lLevel) {
    m_lLevel = lLevel;
    if (GetEditMode() == dbEditAdd) {
        return;  // a new row has no children yet
    }
    // In table order: a child whose level changes must not move within the set being searched.
    CRSObjectTree children(m_eDatabaseType, m_pDatabase);
    children.Open(AFX_DAO_USE_DEFAULT_TYPE, "SELECT tObjectTree.* FROM tObjectTree");
    std::set<long> visited{m_lTreeID};
    std::deque<std::pair<long, long>> pending{{m_lTreeID, lLevel}};
    while (!pending.empty()) {
        const auto [parentID, parentLevel] = pending.front();
        pending.pop_front();
        CString filter;
        filter.Format("lParentID=%li AND lParentID<>lTreeID", parentID);
        for (BOOL found = children.FindFirst(filter); found; found = children.FindNext(filter)) {
            CString text;
            if (children.m_lTreeID == m_lParentID) {
                text.Format("Category %ld cannot be moved into its own sub-tree.", m_lTreeID);
                ThrowTreeError(text);
            }
            if (!visited.insert(children.m_lTreeID).second) {
                text.Format("The category tree is damaged: category %ld is its own ancestor.",
                            children.m_lTreeID);
                ThrowTreeError(text);
            }
            pending.emplace_back(children.m_lTreeID, parentLevel + 1);
            if (children.m_lLevel != parentLevel + 1) {
                children.Edit();
                children.m_lLevel = parentLevel + 1;
                children.CDaoRecordset::Update();
            }
        }
    }
    children.Close();
}
