#include "resources/CDllResourceHandler.h"

CDllResourceHandler::CDllResourceHandler() : m_hSavedInstance(AfxGetResourceHandle()) {}

CDllResourceHandler::~CDllResourceHandler() {
    AfxSetResourceHandle(m_hSavedInstance);
}
