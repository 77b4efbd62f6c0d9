#pragma once
// The one object through which everything reaches the library database of a tier: it finds
// the tier's file through the host's settings, opens it with its generation's password, checks
// its version, and keeps the current user of the database.
//
// A handler is Closed after construction; IsInitialized opens it (and re-opens it when the
// configured path changed); Close returns it to Closed. The owner closes it before deleting it.

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "access/ObjectTypeFinder.h"
#include "access/PartGeometryTable.h"
#include "host/CColorDefinition.h"
#include "host/CLayerDefinition.h"
#include "platform/dao/CDaoDatabase.h"
#include "resources/DatabaseType.h"
#include "tables/TierRights.h"

class CBlob;
class CCommonLibraryInfo;
class CDaoException;
class CDaoWorkspace;
class CDatabaseRegistry;
class CDrawObject;
class CDrwGroup;
class CDrwObList;
class CDrwSubSheet;
class CLibraryObject;
class CStringArray;
class CRSObjects;
class CRSObjectTree;
class CRSObjectTypes;
class CRSUserTree;
class PartCodec;

// Runs the dialog that sets a database password. It opens with `password` in both of its
// fields and, on OK, has stored the typed password for the tier chosen in it. Returns IDOK or
// IDCANCEL.
using NewPasswordDialog = std::function<int(const CString& password)>;
using DatabaseManagerDialog = std::function<void()>;

class CMSAccessDBHandler : public CDaoDatabase, public vaultry::tables::TierRights {
public:
    // Opens nothing. `workspace` is not owned.
    CMSAccessDBHandler(DATABASETYPE type, CDaoWorkspace* workspace);
    ~CMSAccessDBHandler() override;

    // Makes sure the handler is open on the file now configured for `type` and has a current
    // user. False when the file could not be found, opened or checked (the user has been told).
    bool IsInitialized(DATABASETYPE type);
    // 1 when the open database carries a version text "V<number>" of at least 8, else 0.
    int CheckV8DatabaseFormat();
    // Remembers the current user as "LastUserID", forgets it, and closes the database.
    void Close() override;

    int IsV8Batadase() const { return m_bIsV8Database; }
    DATABASETYPE GetDatabaseType() const { return m_eDatabaseType; }

    // The record sets of the open database; null while the handler is not initialised. Not
    // owned by the caller.
    CRSObjects* GetRSObjects() const { return m_pRSObjects; }
    CRSUserTree* GetRSUserTree() const { return m_pRSUserTree; }
    CRSObjectTree* GetRSObjectTree() const { return m_pRSObjectTree; }
    CRSObjectTypes* GetRSObjectTypes() const { return m_pRSObjectTypes; }

    // The current user: -1 while closed.
    long GetUserID() const override { return m_lUserID; }
    // The current user becomes the first user of the database (0 when it has none).
    void InitUserID();
    // The second argument has no effect; kept for callers that pass it.
    void SetUserID(long userID, bool);
    // Whether the current user may change what `lOwnerID` owns (the user set's rights rule);
    // false while the handler is not initialised.
    bool HasRightsOn(long lOwnerID) override;

    // Parts. Drawing objects passed in stay the caller's; groups and arrays handed back become
    // the caller's. Database errors other than those the record sets report themselves reach
    // the caller as CDaoException, with nothing of the failed change left in the file.

    // Stores `group` as a part of `docType` in category `treeID`, or replaces the part of that
    // name and type when the user has the rights on it. One transaction.
    bool SaveObject(CDrwSubSheet* sheet, CDrwGroup* group, long treeID, const CString& docType,
                    const CColorDefinition* colours, const CLayerDefinition* layers);
    // Stores every object of `list` as a new part, with progress on the host's status bar.
    // Each part is stored whole or not at all; false when any was not stored. A database error
    // ends the run: the parts committed before it stay.
    bool SaveObjects(CDrwSubSheet* sheet, CDrwObList* list, long treeID,
                     const CColorDefinition* colours, const CLayerDefinition* layers);
    // Whether a store asks if an object's name is taken (and, storing one part, looks for a
    // part of that name to replace). kFoundFree: the caller found the names of the objects
    // free, and distinct, within the write transaction it holds; a list with an unnamed object
    // is asked about all the same, as the name it is given may be one an object after it
    // carries.
    enum class NameCheck { kAsk, kFoundFree };
    // As above, also counting the parts stored in `stored`.
    bool SaveObjects(CDrwSubSheet* sheet, CDrwObList* list, long treeID,
                     const CColorDefinition* colours, const CLayerDefinition* layers, int& stored,
                     NameCheck names = NameCheck::kAsk);
    bool ReplaceObject(CDrwSubSheet* sheet, long objectID, CDrwGroup* group,
                       const CColorDefinition* colours, const CLayerDefinition* layers);
    // The part's object type id with `group` set to its decoded objects, or -1 (also when the
    // common data block of its type is missing or unreadable).
    long LoadObject(CDrwSubSheet* sheet, CDrwGroup*& group, long objectID, CLayerDefinition* layers,
                    CColorDefinition* colours);
    // Whether `blob`, stored under object type `typeID`, decodes as LoadObject would decode it:
    // for a pass that reads many parts' rows and blobs at once.
    bool Decodes(long typeID, const CBlob& blob);
    // One entry per name in `objects` (a new[] array the caller frees, with its objects); null
    // where a name was not found. A part asked for twice is decoded once and cloned.
    bool LoadObjects(CDrwSubSheet* sheet, CDrawObject**& objects, const CStringArray& names,
                     const CString& docType, CLayerDefinition* layers, CColorDefinition* colours);
    // As above, also giving each part's category in `treeIDs` (new[], the caller frees).
    bool LoadObjects(CDrwSubSheet* sheet, CDrawObject**& objects, long*& treeIDs,
                     const CStringArray& names, const CString& docType, CLayerDefinition* layers,
                     CColorDefinition* colours);
    // Copies a part of `source` (this handler when null) into category `treeID` here.
    bool CopyObject(long objectID, long treeID, CMSAccessDBHandler* source);
    // Refuses (with a message) a name another part of the same document type carries, whatever
    // object type row that part was stored under.
    bool RenameObject(long objectID, const CString& name);
    // Whether a part other than `exceptID` carries `name` (case ignored) under any object type
    // of the document type of `typeID`.
    bool NameTakenInDocType(const CString& name, long typeID, long exceptID);
    long GetObjectID(const CString& name, const CString& docType);
    long GetObjectID(const CString& name, long objectTypeID);
    long GetObjectTypeID(long objectID);
    long GetFirstObjectTypeID(const CString& docType);
    CString GetDocType(long objectTypeID);
    CString GetDocTypeDescrption(long objectTypeID);
    CString GetDocTypeDescrption(const CString& docType);

    // Categories (see CMSAccessDBHandlerTree.cpp).
    // Copies category `treeID` of `source` (this handler when null), its sub-categories and
    // parts, under `parentID` here, in one transaction. False, with a message saying why and
    // the destination as it was, when the source category or the destination is missing, the
    // destination lies inside the copied sub-tree, or anything could not be copied.
    bool CopyTree(long treeID, long parentID, CMSAccessDBHandler* source);
    // The same, telling the caller instead of the user: throws ChangeRefused (a refusal, or a
    // failure undone) or CDaoException.
    void CopyTreeWhole(long treeID, long parentID, CMSAccessDBHandler* source);
    bool HasValidDoctypeWithTypeID(long objectID);
    void CheckForCache();
    void UpdateCache();

    CCommonLibraryInfo* GetCommonLibraryInfo() const { return m_pCommonLibraryInfo; }
    // Not owned.
    void SetSourceColorLayerDef(CColorDefinition* colours, CLayerDefinition* layers);

    // Lets the user set a database password through the new-password dialog, which opens with
    // the current user's password.
    void SetNewPassword();
    // Installs the dialog SetNewPassword runs (none: it is cancelled) and returns the previous.
    static NewPasswordDialog SetNewPasswordDialog(NewPasswordDialog dialog);
    // Runs the Database Manager and returns when it closes; nothing happens while the library
    // dialogs are not installed (a host without windows).
    static void DatabaseManager();
    static DatabaseManagerDialog SetDatabaseManagerDialog(DatabaseManagerDialog dialog);
    // Not owned by the caller.
    CDatabaseRegistry* GetRegistry() const { return m_pRegistry; }

    // The log-on name of the user running the program.
    void GetPCUserName(CString& name) const;

protected:
    // Resolves the path, opens the file, checks it. False (after telling the user) on failure.
    bool InitializeDatabase();

    // Holds the common data block of the type; false, holding none, when the block is missing
    // or unreadable.
    bool LoadCommonDataBlock(long objectTypeID);
    bool SaveCommonDataBlock(long objectTypeID);
    long SaveCommonDataBlock2(const CString& docType);
    void ClearupCommonDataBlock();

private:
    void OpenAndCheck(const CString& path, int isV8);
    void ReportOpenError(const CDaoException& error) const;
    void MakeRecordSets();
    void DeleteRecordSets();
    PartCodec Codec() const;

    // See CMSAccessDBHandlerStore.cpp.
    struct PreparedPart;
    bool SaveAs(CDrwSubSheet* sheet, CDrwGroup* group, long treeID, const CString& docType,
                const CColorDefinition* colours, const CLayerDefinition* layers, NameCheck names);
    CString FreeUnnamedName();
    CString NameForStoring(CDrawObject& object);
    void MarkDesignator(CDrawObject& object);
    bool Prepare(CDrwSubSheet& sheet, CDrawObject& object, const CString& docType,
                 const CColorDefinition* colours, const CLayerDefinition* layers,
                 PreparedPart& part);
    bool StoreOne(CDrwSubSheet& sheet, CDrawObject& object, long treeID,
                  const CColorDefinition* colours, const CLayerDefinition* layers,
                  CString& lastDocType, bool& unknownShown, NameCheck names);
    long WantedCategory(CDrawObject& object);
    void ReportSaveFailure(const CString& name) const;

    // See CMSAccessDBHandlerLoad.cpp.
    std::unique_ptr<CDrawObject> DecodePart(CDrwSubSheet& sheet, long typeID, const CBlob* blob,
                                            CLayerDefinition* layers, CColorDefinition* colours);
    bool LoadNamed(CDrwSubSheet& sheet, const CString& name, const CString& docTypes,
                   bool firstOnly, std::unique_ptr<CDrawObject>& object, long& treeID,
                   CLayerDefinition* layers, CColorDefinition* colours);
    bool LoadNamedParts(CDrwSubSheet* sheet, CDrawObject**& objects, long*& treeIDs,
                        const CStringArray& names, const CString& docType, CLayerDefinition* layers,
                        CColorDefinition* colours, bool firstRowOnly);

    void ShowPartsNamed(const CString& name);

    // See CMSAccessDBHandlerParts.cpp. CopyObject within the caller's write transaction,
    // leaving the part set as the store left it: a category copy reads the set again once, at
    // its end.
    struct CopiedPart;
    bool CopyPart(long objectID, long treeID, CMSAccessDBHandler& from);
    // A row of a part of `from` read for copying, with its blob.
    struct CopiedRow {
        CString name;
        long typeID = -1;
        std::unique_ptr<CBlob> blob;
    };
    // Up to `count` rows from the one `parts` stands on, read with their blobs along; moves
    // `parts` past them.
    static std::vector<CopiedRow> ReadRows(CRSObjects& parts, std::size_t count);
    // The same for a row read. `freeNames` holds folded names found free in this transaction;
    // the name the copy is stored under is taken out.
    bool CopyRow(CopiedRow& row, long treeID, CMSAccessDBHandler& from,
                 std::unordered_set<std::string>& freeNames);
    bool StoreCopy(CopiedPart& part, long treeID, CMSAccessDBHandler& from,
                   std::unordered_set<std::string>* freeNames = nullptr);
    void CopyTreeInto(long treeID, long parentID, CMSAccessDBHandler& source);

    long m_lCommonBlockTypeID = -1;
    const DATABASETYPE m_eDatabaseType;
    int m_bIsV8Database = 0;
    bool m_bInitialized = false;
    long m_lUserID = -1;
    bool m_bMayWrite = true;  // the current user's write right, kept for the host to consult
    CRSObjects* m_pRSObjects = nullptr;          // owned while initialised
    CRSUserTree* m_pRSUserTree = nullptr;        // owned while initialised
    CRSObjectTree* m_pRSObjectTree = nullptr;    // owned while initialised
    CRSObjectTypes* m_pRSObjectTypes = nullptr;  // owned while initialised
    CLibraryObject* m_pLibraryObject;            // owned
    CDatabaseRegistry* m_pRegistry;              // owned
    CCommonLibraryInfo* m_pCommonLibraryInfo;    // owned
    ObjectTypeFinder m_typeFinder;
    PartGeometryTable m_geometry;
    CColorDefinition* m_pSourceColorDef = nullptr;  // not owned
    CLayerDefinition* m_pSourceLayerDef = nullptr;  // not owned
};
