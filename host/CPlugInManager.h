#pragma once
// The host's plug-in manager: the document plug-ins and the types they serve.

#include <memory>
#include <vector>

#include "host/CKV_DocInterface.h"

class CPlugInManager {
public:
    // Takes ownership of `plugIn`.
    void AddPlugIn(std::unique_ptr<CKV_DocInterface> plugIn);
    void RemoveAll() { m_plugIns.clear(); }
    int GetPlugInCount() const { return static_cast<int>(m_plugIns.size()); }
    CKV_DocInterface* GetPlugIn(int index) const;
    // The plug-in serving `docType` (case ignored), or null. Not owned by the caller.
    CKV_DocInterface* GetDocInterface(const CString& docType) const;

private:
    std::vector<std::unique_ptr<CKV_DocInterface>> m_plugIns;
};

// The process's plug-in manager; never null.
CPlugInManager* GetPlugInManager();
