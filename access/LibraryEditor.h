#pragma once
// Every change of a library that writes more than one row, or that must test a name before it
// writes: categories made, renamed, moved and removed with what they hold, parts renamed, moved
// and removed, copies and moves between libraries, parts stored, passwords set. Each operation
// passes the rights gate on every row it touches before it writes, and is one transaction: it
// is made whole, or it throws ChangeRefused (a refusal, or a failure undone) or CDaoException
// and leaves the library as it was. A move between two libraries copies first and removes the
// original only once the copy is stored.

#include <functional>
#include <vector>

#include "access/CMSAccessDBHandler.h"
#include "platform/afx/CString.h"

class CColorDefinition;
class CDrwObList;
class CLayerDefinition;
class LibraryTree;
class RightsGate;

class LibraryEditor {
public:
    // `library` (open) and `rights` are not owned and must outlive the editor.
    LibraryEditor(CMSAccessDBHandler& library, RightsGate& rights)
        : m_library(library), m_rights(rights) {}

    // A new category `name` under `parentID`; its id. No two children of a category share a
    // name (case ignored).
    long MakeCategory(long parentID, const CString& name);
    // The category at `path` ("SMD/Fine pitch") below `baseID`, made where missing; its id.
    long MakeCategoryPath(long baseID, const CString& path);
    void RenameCategory(long treeID, const CString& name);
    // Into `parentID` of this library; the levels of its sub-tree follow.
    void MoveCategory(long treeID, long parentID);
    // The category with its whole sub-tree and every part filed in it.
    void RemoveCategory(long treeID);

    // Refuses a name another part of the same document type carries.
    void RenamePart(long objectID, const CString& name);
    // Into category `treeID` of this library.
    void MovePart(long objectID, long treeID);
    void RemovePart(long objectID);

    // From `source` (another library, or this one) into category `treeID`, or under category
    // `parentID`, of this library. A copied part takes a free name ("Copy of ...").
    void CopyPart(CMSAccessDBHandler& source, long objectID, long treeID);
    void MovePartFrom(CMSAccessDBHandler& source, long objectID, long treeID);
    void CopyCategory(CMSAccessDBHandler& source, long treeID, long parentID);
    void MoveCategoryFrom(CMSAccessDBHandler& source, long treeID, long parentID);

    // Stores every object of `parts` as a new part in category `treeID` (see
    // CMSAccessDBHandler::SaveObjects); the number stored. Objects whose names are taken are
    // not stored.
    int StoreParts(long treeID, CDrwObList& parts, const CColorDefinition* colours,
                   const CLayerDefinition* layers,
                   CMSAccessDBHandler::NameCheck names = CMSAccessDBHandler::NameCheck::kAsk);

    // The password of user `userID`; an empty one removes the protection. Needs the rights on
    // what the user owns.
    void SetPassword(long userID, const CString& password);

    // Runs `work`, edits of this library, in one transaction: all of it stays, or none. Rights
    // are best tested before, so that no password is asked while the library is held.
    void InOneTransaction(const std::function<void()>& work);

private:
    long ChildNamed(long parentID, const CString& name, long exceptID);
    void RefuseSiblingNamed(long parentID, const CString& name, long exceptID);
    void RequireRemovable(const LibraryTree& tree, long treeID);
    void RemoveSubTree(const LibraryTree& tree, long treeID);
    void RequireCopyableInto(CMSAccessDBHandler& source, long treeID, long parentID);

    CMSAccessDBHandler& m_library;
    RightsGate& m_rights;
};
