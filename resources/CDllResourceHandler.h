#pragma once
// Puts back, when it goes, the resource module that was current when it was made: the scoped
// form of the switch every dialog of this module makes to its own resources while it runs.

#include "platform/afx/CResourceModule.h"

class CDllResourceHandler {
public:
    CDllResourceHandler();
    virtual ~CDllResourceHandler();
    CDllResourceHandler(const CDllResourceHandler&) = delete;
    CDllResourceHandler& operator=(const CDllResourceHandler&) = delete;

private:
    HINSTANCE m_hSavedInstance;
};
