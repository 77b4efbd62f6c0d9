#pragma once
// The preview of a part: a small view that takes the layers and colours of a document type
// from the plug-in serving it, unless the document it is shown for gives its own.

#include "host/ui/CSmallViewWnd.h"
#include "platform/afx/CString.h"

class CPreviewWnd : public CSmallViewWnd {
public:
    // Takes the definitions of the plug-in serving `docType`; nothing when none serves it.
    void Init(const CString& docType);
    using CSmallViewWnd::Init;
};
