#pragma once
// A module's resources, standing in for what an instance handle reaches on Windows. Only the
// string table exists so far; dialog templates and bitmaps join it with the window layer.

#include <map>

#include "platform/afx/AfxTypes.h"

class CResourceModule {
public:
    // `name` and the texts must outlive the module (they are string literals in practice).
    CResourceModule(const char* name, std::map<UINT, const char*> strings)
        : m_name(name), m_strings(std::move(strings)) {}

    const char* GetName() const { return m_name; }
    // The text of string `id`, or null when the table has none.
    const char* FindString(UINT id) const;

private:
    const char* m_name;
    std::map<UINT, const char*> m_strings;
};

using HINSTANCE = const CResourceModule*;

// The module whose resources are looked up by default (MFC's current resource handle); null
// until a module sets it. Not owned.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
