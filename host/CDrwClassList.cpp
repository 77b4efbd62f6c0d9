#include "host/CDrwClassList.h"

#include <algorithm>

#include "host/CSafeReadElementStart.h"
#include "host/CSafeStartAndEndElement.h"

int CDrwClassList::Register(const CRuntimeClass* cls) {
    const auto it = std::find(m_classes.begin(), m_classes.end(), cls);
    if (it != m_classes.end()) {
        return static_cast<int>(it - m_classes.begin());
    }
    m_classes.push_back(cls);
    return GetCount() - 1;
}

const CRuntimeClass* CDrwClassList::Get(int index) const {
    return index >= 0 && index < GetCount() ? m_classes[static_cast<std::size_t>(index)] : nullptr;
}

void CDrwClassList::XMLSerialize(CXMLArchive& ar, void*) {
    if (ar.IsStoring()) {
        CSafeStartAndEndElement list(ar, "ClassList");
        for (const CRuntimeClass* cls : m_classes) {
            CSafeStartAndEndElement element(ar, "Class");
            ar.WriteAttribute("Name", CString(cls->m_lpszClassName));
        }
        return;
    }
    if (!ar.ReadElementHeader("ClassList")) {
        return;
    }
    m_classes.clear();
    {
        CSafeReadElementStart inside(ar);
        for (bool more = ar.HasElement(); more && ar.IsElementName("Class");
             more = ar.GetNextElem()) {
            if (const CRuntimeClass* cls =
                    ar.GetRuntimeClassUsingName(ar.ReadAttribute("Name", CString()))) {
                m_classes.push_back(cls);
            }
        }
    }
    ar.GetNextElem();
}
