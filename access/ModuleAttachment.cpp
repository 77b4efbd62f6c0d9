#include "access/ModuleAttachment.h"

#include "access/LibrarySet.h"
#include "resources/VaultryModule.h"

void VaultryAttachModule() {
    VaultryModuleInstance();
}

void VaultryDetachModule() {
    UnloadDB();
}
