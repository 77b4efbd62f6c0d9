#include "platform/afx/CObject.h"

#include <cstring>
#include <map>
#include <string>

namespace {

// Function-local so that registration from other translation units' static initialisers
// never runs before the map exists.
std::map<std::string, const CRuntimeClass*>& ClassRegistry() {
    static std::map<std::string, const CRuntimeClass*> registry;
    return registry;
}

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF,
                                             nullptr, nullptr};

CObject* CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* cls = this; cls != nullptr; cls = cls->m_pBaseClass) {
        if (cls == base) {
            return true;
        }
    }
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* name) {
    const auto& registry = ClassRegistry();
    const auto it = registry.find(name ? name : "");
    return it == registry.end() ? nullptr : it->second;
}

void CRuntimeClass::Register(const CRuntimeClass* cls) {
    ClassRegistry()[cls->m_lpszClassName] = cls;
}

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

bool CObject::IsKindOf(const CRuntimeClass* cls) const {
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

void CObject::Serialize(CArchive&) {}
