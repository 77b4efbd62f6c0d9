#include "host/ResourceStrings.h"

CString GetResourceString(HINSTANCE module, UINT id) {
    const char* text = module ? module->FindString(id) : nullptr;
    return text ? text : "";
}
