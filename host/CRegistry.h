#pragma once
// The host's registry access: open or create a key by path, then read and write its values.
// Results are nonzero for success, as the host's API gives them.

#include "host/RegistryStore.h"

class CRegistry {
public:
    // `store` is not owned and must outlive the registry object.
    explicit CRegistry(RegistryStore* store) : m_store(store) {}

    // Returns to the base key; the arguments are kept for the host's signature.
    BOOL ReOpenBaseKey(int, int);
    BOOL Open(const char* key);
    BOOL CreateKey(const char* key);

    // Nonzero, with the value set, when the open key has a value of that name and kind.
    BOOL Read(const char* name, CString& value);
    BOOL Read(const char* name, unsigned long& value);
    BOOL Write(const char* name, const char* value);
    BOOL Write(const char* name, unsigned long value);

private:
    RegistryStore* m_store;
    CString m_openKey;
    bool m_bOpen = false;
};
