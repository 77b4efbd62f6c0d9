#pragma once
// The module's attachment to the host process. Detaching tears the library set down as UnloadDB
// does; a host that called UnloadDB before finds nothing left to do.

void VaultryAttachModule();
void VaultryDetachModule();
