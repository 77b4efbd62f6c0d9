#pragma once
// What a dialog tells the host before help runs: which module's help, and which topic.

#include "platform/afx/CResourceModule.h"

void SetHelpDllInstance(HINSTANCE module, UINT helpId);

struct HelpContext {
    HINSTANCE module = nullptr;
    UINT helpId = 0;
};
// The context named last; the reference host's help viewer reads it.
HelpContext GetHelpContext();
