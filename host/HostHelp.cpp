#include "host/HostHelp.h"

namespace {
HelpContext g_helpContext;
}

void SetHelpDllInstance(HINSTANCE module, UINT helpId) {
    g_helpContext = {module, helpId};
}

HelpContext GetHelpContext() {
    return g_helpContext;
}
