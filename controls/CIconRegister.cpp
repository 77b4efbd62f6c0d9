#include "controls/CIconRegister.h"

#include <map>

namespace {

std::map<CString, ICON_INFO>& Registry() {
    static std::map<CString, ICON_INFO> registry;
    return registry;
}

}  // namespace

void AddIconForDocType(const CString& docType, HINSTANCE module, UINT resourceID) {
    Registry().emplace(docType, ICON_INFO{CString(), module, resourceID});
}

bool GetIconInfoForDocType(const CString& docType, HINSTANCE& module, UINT& resourceID) {
    const auto found = Registry().find(docType);
    if (found == Registry().end()) {
        return false;
    }
    module = found->second.module;
    resourceID = found->second.resourceID;
    return true;
}

CIconRegister::CIconRegister(const char* docType, HINSTANCE module, UINT resourceID) {
    AddIconForDocType(CString(docType), module, resourceID);
}
