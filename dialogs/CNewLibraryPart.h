#pragma once
// "Select the part you want to create": the document types the plug-ins serve, each with its
// icon; after OK m_strDocType is the type chosen, for which the host opens an empty sheet.

#include <vector>

#include "access/ui/ModuleDialog.h"
#include "platform/afx/CResourceModule.h"
#include "platform/ui/CImageList.h"
#include "platform/ui/CListCtrl.h"

class CNewLibraryPart : public CModuleDialog {
public:
    explicit CNewLibraryPart(CWnd* parent = nullptr);
    ~CNewLibraryPart() override;

    BOOL OnInitDialog() override;
    // Takes the type chosen; nothing happens while none is.
    void OnOK() override;

    CListCtrl& GetList() { return m_list; }

    CString m_strDocType;

private:
    struct Entry {
        CString docType;
        CString name;  // as the plug-in describes the type
        int image = -1;
    };
    int ImageOf(HINSTANCE module, UINT resourceID);

    CImageList m_imageList;
    std::vector<Entry> m_entries;  // in list order
    CListCtrl m_list;
};
