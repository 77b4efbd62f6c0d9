#include "host/CPlugInManager.h"

bool CKV_DocInterface::ServesDocType(const CString& docType) const {
    for (int i = 0; i < GetDocTypeCount(); ++i) {
        if (GetDocType(i).CompareNoCase(docType) == 0) {
            return true;
        }
    }
    return false;
}

void CPlugInManager::AddPlugIn(std::unique_ptr<CKV_DocInterface> plugIn) {
    m_plugIns.push_back(std::move(plugIn));
}

CKV_DocInterface* CPlugInManager::GetPlugIn(int index) const {
    return index >= 0 && index < GetPlugInCount() ? m_plugIns[static_cast<std::size_t>(index)].get()
                                                  : nullptr;
}

CKV_DocInterface* CPlugInManager::GetDocInterface(const CString& docType) const {
    for (const auto& plugIn : m_plugIns) {
        if (plugIn->ServesDocType(docType)) {
            return plugIn.get();
        }
    }
    return nullptr;
}

CPlugInManager* GetPlugInManager() {
    static CPlugInManager manager;
    return &manager;
}
