#pragma once
// String-table access across modules, as the host offers it.

#include "platform/afx/CResourceModule.h"
#include "platform/afx/CString.h"

// String `id` of `module`; empty when the module or the string is missing.
CString GetResourceString(HINSTANCE module, UINT id);
