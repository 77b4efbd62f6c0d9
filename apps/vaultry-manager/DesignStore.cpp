#include "apps/vaultry-manager/DesignStore.h"

#include <iostream>
#include <memory>

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibrarySet.h"
#include "access/LibraryTree.h"
#include "apps/vaultry/Interchange.h"
#include "apps/vaultry/Session.h"
#include "dialogs/CDatabaseManagerDlg.h"
#include "dialogs/CStoreObjectsDlg.h"
#include "dialogs/StoreChoice.h"
#include "host/CDrwObList.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CException.h"

namespace vaultry::manager {
namespace {

// The design's parts of the first part's document type; the others cannot go into one store.
void TakeDesignParts(cli::InterchangeFile& file, const std::string& docType, CDrwObList& parts) {
    for (cli::InterchangePart& part : file.parts) {
        if (part.docType == docType) {
            parts.Add(part.group.release());
        } else {
            std::cerr << "vaultry-manager: left out " << part.group->GetName()->str() << " ("
                      << part.docType << "): the design is stored as " << docType << "\n";
        }
    }
}

std::unique_ptr<CDrwGroup> Selection(const CDrwObList& parts, const std::string& name) {
    for (int i = 0; !name.empty() && i < parts.GetCount(); ++i) {
        const CString* partName = parts.GetAt(i)->GetName();
        if (partName != nullptr && partName->CompareNoCase(name.c_str()) == 0) {
            return std::unique_ptr<CDrwGroup>(dynamic_cast<CDrwGroup*>(parts.GetAt(i)->Clone()));
        }
    }
    if (!name.empty()) {
        throw cli::CommandError("the design has no part " + name);
    }
    return nullptr;
}

}  // namespace

int StoreDesign(const DesignRequest& request) {
    cli::InterchangeFile file = cli::ReadInterchange(request.file);
    if (file.parts.empty()) {
        throw cli::CommandError(request.file + " holds no parts");
    }
    const std::string docType = file.parts.front().docType;
    CDrwObList design(true);
    TakeDesignParts(file, docType, design);
    const std::unique_ptr<CDrwGroup> selection = Selection(design, request.selection);

    CMSAccessDBHandler& user = *GetAccessDB(DATABASETYPE_USER);
    const LibraryTree tree(user);
    CStoreObjectsDlg dialog;
    dialog.SetDocType(docType.c_str());
    dialog.SetObjectTreeID(tree.Root() != nullptr ? tree.Root()->id : 0, DATABASETYPE_USER);
    dialog.SetDrawGroup(selection.get());
    dialog.SetObjectList(&design);
    if (dialog.DoModal() != IDOK) {
        return 1;
    }
    try {
        const cli::InterchangeDefinitions& definitions = file.definitions[docType];
        const int stored =
            StoreChoice(dialog, selection.get(), &definitions.colours, &definitions.layers);
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
