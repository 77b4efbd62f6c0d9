#include "host/ui/CPreviewWnd.h"

#include "host/BuiltInPlugIns.h"
#include "host/CPlugInManager.h"

void CPreviewWnd::Init(const CString& docType) {
    const CKV_DocInterface* plugIn = GetPlugInManager()->GetDocInterface(docType);
    if (plugIn != nullptr) {
        CSmallViewWnd::Init(plugIn->GetColorDefinition(0), plugIn->GetLayerDefinition(), nullptr);
    }
}
