#include "host/CDrawContext.h"

namespace {
CDrawContext* g_drawContext = nullptr;
}

CDrawContext* GetDrawContext() {
    return g_drawContext;
}

void SetDrawContext(CDrawContext* context) {
    g_drawContext = context;
}
