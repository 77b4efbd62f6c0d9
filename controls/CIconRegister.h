#pragma once
// The icons of document types that the plug-ins' document information does not give: a
// process-wide registry that the host and its plug-ins fill, by calling AddIconForDocType or by
// declaring a static CIconRegister. The part lists only read it.

#include "platform/afx/CResourceModule.h"
#include "platform/afx/CString.h"

struct ICON_INFO {
    CString text;  // left empty
    HINSTANCE module = nullptr;
    UINT resourceID = 0;
};

// Registers the icon of `docType` (the name compared exactly); the first registration of a type
// stays.
void AddIconForDocType(const CString& docType, HINSTANCE module, UINT resourceID);
// True, with the two values, when `docType` is registered; the outputs stay as they were
// otherwise.
bool GetIconInfoForDocType(const CString& docType, HINSTANCE& module, UINT& resourceID);

// Registers an icon when it is made, typically as a static object of a plug-in.
class CIconRegister {
public:
    CIconRegister(const char* docType, HINSTANCE module, UINT resourceID);
    CIconRegister(const CIconRegister&) = default;
    // Copies nothing: the registration happened when the object was made.
    CIconRegister& operator=(const CIconRegister&) { return *this; }
};
