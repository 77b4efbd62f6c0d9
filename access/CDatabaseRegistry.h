#pragma once
// What the dialogs remember between sessions, under the host's base registry key followed by
// "\LibManager", and the resolution of a tier's library file.

#include "platform/afx/CString.h"
#include "resources/DatabaseType.h"

class CRegistry;

class CDatabaseRegistry {
public:
    CDatabaseRegistry();
    virtual ~CDatabaseRegistry() = default;

    // The sub-key is "\<docType>\<dialogName>" below the base key.
    void SetSection(const CString& docType, const CString& dialogName);

    // The last category ("LastObjectTreeID", the result) and tier ("LastDatabaseType") under
    // the sub-key; 0 and 0 when the key cannot be opened. Absent values are written as 0.
    long GetLastLocation(long& databaseType);
    void SetLastLocation(long treeID, long databaseType);
    CString GetLastObjectName();
    void SetLastObjectName(const CString& name);
    // Under the base key itself.
    long GetMustShowSubTreeItems();
    void SetMustShowSubTreeItems(long show);
    void SetLastUserID(long userID);

    // The file to open for `type`: true with `path` set, or false. `isV8` is 1 for a
    // current-generation file. May show the path dialog for an older-generation tier.
    bool GetDatabasePath(CString& path, DATABASETYPE type, int& isV8);

private:
    CString SubKey() const;
    // Opens (creating when needed) base key + `subKey`; null when it cannot. Not owned.
    CRegistry* OpenSectionKey(const CString& subKey);
    long ReadLong(const CString& subKey, const char* name);
    CString ReadString(const CString& subKey, const char* name);
    void WriteLong(const CString& subKey, const char* name, long value);

    bool ResolveOlderGeneration(CString& path, DATABASETYPE type);

    CString m_strDialogName;
    CString m_strDocType;
    CString m_strBaseKey;
};
