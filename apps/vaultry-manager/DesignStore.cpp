#include "apps/vaultry-manager/DesignStore.h"

#include <iostream>
#include <memory>

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibraryEditor.h"
#include "access/LibrarySet.h"
#include "access/LibraryTree.h"
#include "access/RightsGate.h"
#include "access/ui/PasswordPrompt.h"
#include "apps/vaultry/Interchange.h"
#include "apps/vaultry/Session.h"
#include "dialogs/CDatabaseManagerDlg.h"
#include "dialogs/CStoreObjectsDlg.h"
#include "host/CDrwObList.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CException.h"
#include "resources/VaultryStrings.h"

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

// Stores `chosen` into the category the dialog names, all or nothing; the number stored.
int Store(const CStoreObjectsDlg& dialog, CDrwObList& chosen,
          const cli::InterchangeDefinitions& definitions) {
    CMSAccessDBHandler& library = *GetAccessDB(dialog.GetDBType());
    RightsGate rights(DialogPasswordPrompt());
    // The rights first, so that no password is asked while the library is held.
    rights.RequireOnCategory(library, dialog.GetObjectTreeID());
    LibraryEditor editor(library, rights);
    int stored = 0;
    editor.InOneTransaction([&] {
        stored = editor.StoreParts(dialog.GetObjectTreeID(), chosen, &definitions.colours,
                                   &definitions.layers);
        if (stored != chosen.GetCount()) {
            throw ChangeRefused::Failed(IDS_STORE_FAILED);
        }
    });
    return stored;
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
    CDrwObList chosen(false);
    if (dialog.IsSingleStore() && selection != nullptr) {
        chosen.Add(selection.get());
    } else {
        for (int i = 0; i < dialog.GetObjectList()->GetCount(); ++i) {
            chosen.Add(dialog.GetObjectList()->GetAt(i));
        }
    }
    try {
        const int stored = Store(dialog, chosen, file.definitions[docType]);
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
