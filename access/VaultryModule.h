#pragma once
// This module's own resources and its attachment to the host. Every string-table text of the
// module is looked up in VaultryModuleInstance(), whatever resource module is current.

#include "platform/afx/CResourceModule.h"

// The module's resources; valid for the life of the process.
HINSTANCE VaultryModuleInstance();

// Called when the host loads and unloads the module. Detaching tears the library set down as
// UnloadDB does; a host that called UnloadDB before finds nothing left to do.
void VaultryAttachModule();
void VaultryDetachModule();
