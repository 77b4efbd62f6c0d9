#include "dialogs/StoreChoice.h"

#include "access/ChangeRefused.h"
#include "access/LibraryEditor.h"
#include "access/LibrarySet.h"
#include "access/RightsGate.h"
#include "access/ui/PasswordPrompt.h"
#include "dialogs/CStoreObjectsDlg.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "resources/VaultryStrings.h"

int StoreChoice(const CStoreObjectsDlg& dialog, CDrwGroup* selection,
                const CColorDefinition* colours, const CLayerDefinition* layers) {
    CDrwObList chosen(false);
    if (dialog.IsSingleStore() && selection != nullptr) {
        chosen.Add(selection);
    } else if (dialog.GetObjectList() != nullptr) {
        for (int i = 0; i < dialog.GetObjectList()->GetCount(); ++i) {
            chosen.Add(dialog.GetObjectList()->GetAt(i));
        }
    }
    CMSAccessDBHandler* library = GetAccessDB(dialog.GetDBType());
    if (library == nullptr) {
        throw ChangeRefused::Failed(IDS_STORE_FAILED);
    }
    RightsGate rights(DialogPasswordPrompt());
    // The rights first, so that no password is asked while the library is held.
    rights.RequireOnCategory(*library, dialog.GetObjectTreeID());
    LibraryEditor editor(*library, rights);
    int stored = 0;
    editor.InOneTransaction([&] {
        stored = editor.StoreParts(dialog.GetObjectTreeID(), chosen, colours, layers);
        if (stored != chosen.GetCount()) {
            throw ChangeRefused::Failed(IDS_STORE_FAILED);
        }
    });
    return stored;
}
