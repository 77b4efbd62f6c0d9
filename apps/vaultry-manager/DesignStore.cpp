#include "apps/vaultry-manager/DesignStore.h"

#include <iostream>

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibrarySet.h"
#include "access/LibraryTree.h"
#include "apps/vaultry/Interchange.h"
#include "apps/vaultry/InterchangeReader.h"
#include "apps/vaultry/Session.h"
#include "dialogs/CDatabaseManagerDlg.h"
#include "dialogs/CStoreObjectsDlg.h"
#include "dialogs/DesignOffer.h"
#include "dialogs/StoreChoice.h"
#include "host/CurrentDesign.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CException.h"

namespace vaultry::manager {

OpenDesign::OpenDesign(const DesignRequest& request) {
    cli::InterchangeFile file = cli::ReadInterchange(request.file);
    if (file.parts.empty()) {
        throw cli::CommandError(request.file + " holds no parts");
    }
    const std::string docType = file.parts.front().docType;
    m_sheet.SetDocType(docType.c_str());
    m_sheet.GetLayerDefinition() = file.definitions[docType].layers;
    m_sheet.GetColorDefinition() = file.definitions[docType].colours;
    bool selected = request.selection.empty();
    for (cli::InterchangePart& part : file.parts) {
        const CString name = part.group->GetName() ? *part.group->GetName() : CString();
        if (part.docType != docType) {
            std::cerr << "vaultry-manager: left out " << name.str() << " (" << part.docType
                      << "): the design is stored as " << docType << "\n";
            continue;
        }
        const bool isSelection = !selected && name.CompareNoCase(request.selection.c_str()) == 0;
        selected = selected || isSelection;
        m_sheet.AddObject(std::move(part.group), isSelection);
    }
    if (!selected) {
        throw cli::CommandError("the design has no part " + request.selection);
    }
    SetCurrentDesign(&m_sheet);
}

OpenDesign::~OpenDesign() {
    SetCurrentDesign(nullptr);
}

int StoreDesign(CDrwSubSheet& sheet) {
    DesignOffer offer;
    OfferDesign(sheet, offer);
    const LibraryTree tree(*GetAccessDB(DATABASETYPE_USER));
    CStoreObjectsDlg dialog;
    dialog.SetDocType(sheet.GetDocType());
    dialog.SetObjectTreeID(tree.Root() != nullptr ? tree.Root()->id : 0, DATABASETYPE_USER);
    dialog.SetDrawGroup(offer.selection.get());
    dialog.SetObjectList(&offer.parts);
    if (offer.Empty() || dialog.DoModal() != IDOK) {
        return 1;
    }
    try {
        const int stored = StoreChoice(dialog, offer.selection.get(), &sheet.GetColorDefinition(),
                                       &sheet.GetLayerDefinition());
        std::cerr << "stored " << stored << " parts\n";
    } catch (const ChangeRefused& refused) {
        AfxMessageBox(refused.what(), MB_OK | MB_ICONERROR);
        return 1;
    } catch (const CException& error) {
        AfxMessageBox(error.GetErrorMessage(), MB_OK | MB_ICONERROR);
        return 1;
    }
    CDatabaseManagerDlg::RememberLocation(dialog.GetObjectTreeID(), dialog.GetDBType());
    return 0;
}

}  // namespace vaultry::manager
