#pragma once
// This module's own resources: its string table and dialog templates. Every text of the module
// is looked up in VaultryModuleInstance(), whatever resource module is current.

#include "platform/afx/CResourceModule.h"
#include "platform/afx/CString.h"
#include "resources/DatabaseType.h"

// The module's resources; valid for the life of the process.
HINSTANCE VaultryModuleInstance();

// String `id` of this module's table; empty when it has none.
CString ModuleString(UINT id);
// The name a tier is shown by: "Norvik Master", "Corporate database", or "User" for any other
// number.
CString TierTitle(DATABASETYPE type);
