#include "host/CDrwObList.h"

#include "host/CDrawObject.h"

CDrwObList::~CDrwObList() {
    if (m_bOwnsObjects) {
        DestroyContent();
    }
}

void CDrwObList::DestroyContent() {
    for (CDrawObject* object : m_objects) {
        delete object;
    }
    m_objects.clear();
}
