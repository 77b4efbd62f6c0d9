#pragma once
// The record set on tObjectTree, the category tree: find, add a child at the right level, keep
// levels consistent when a category moves, delete. Rows come shallow levels first, then by
// name. The root is the row that is its own parent.

#include "platform/dao/CDaoRecordset.h"
#include "resources/DatabaseType.h"

class CRSObjectTree : public CDaoRecordset {
public:
    // `pDatabase` is the database of tier `eType` (not owned).
    CRSObjectTree(DATABASETYPE eType, CDaoDatabase* pDatabase);

    // True, standing on the category, when it exists; a DAO error is shown and gives false.
    bool FindTreeID(long lTreeID);
    // Adds a category under `lParentID` owned by the current user and stands on it; its id, or
    // 0 (nothing added) when the parent does not exist. DAO errors reach the caller.
    long AddChild(long lParentID, const CString& strName);
    // The rights rule for the category's owner; false when not found.
    bool HasRights(long lTreeID);
    // True when `lTreeID` is an ancestor (parent, grandparent, ... up to the root) of the
    // category the set stands on. A damaged tree whose parents run in a circle counts as true,
    // so that no move is allowed into it.
    bool HasAsParent(long lTreeID);
    using CDaoRecordset::Delete;
    // Deletes the category's row only (children and parts stay); false when not found.
    bool Delete(long lTreeID);

    // Derives the level of the row being written from its parent and rewrites the levels of
    // its whole sub-tree, in one transaction with the row. Throws CDaoException when the row
    // would become its own ancestor or the tree is found to be circular.
    void Update() override;
    // Sets the level in the edit buffer and rewrites the levels of all descendants.
    void SetLevel(long lLevel);

    void Close() override;
    CString GetDefaultSQL() override;
    void DoFieldExchange(CDaoFieldExchange* pFX) override;

    const DATABASETYPE m_eDatabaseType;

    long m_lTreeID = 0;
    CString m_strName;
    long m_lLevel = 0;
    long m_lUserID = 0;
    long m_lParentID = 0;

private:
    void OpenIfClosed();
};
