#include "dialogs/LibraryChoices.h"

#include "controls/CObjectTreeCtrl.h"
#include "host/CSet.h"
#include "host/ui/CDynamicWindowWithButtons.h"
#include "platform/ui/Controls.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"

void AddTargetLibraries(CComboBox& combo) {
    struct Tier {
        UINT title;
        DATABASETYPE type;
    };
    for (const Tier tier : {Tier{IDS_TIER_MASTER, DATABASETYPE_MASTER},
                            Tier{IDS_TIER_CORPORATE, DATABASETYPE_CORPORATE},
                            Tier{IDS_TIER_USER, DATABASETYPE_USER}}) {
        if (tier.type != DATABASETYPE_MASTER || MasterEditPermitted()) {
            const int index = combo.AddString(ModuleString(tier.title));
            combo.SetItemData(index, static_cast<DWORD_PTR>(tier.type));
        }
    }
}

void MakeCategoryBar(CDynamicWindowWithButtons& bar, CWnd* owner, CObjectTreeCtrl& tree) {
    bar.Create(owner, tree);
    bar.AddButton(IDB_BUTTON_NEW, ModuleString(IDS_TREE_NEW), 'N', FCONTROL, ID_TREE_NEW);
    bar.AddButton(IDB_BUTTON_DELETE, ModuleString(IDS_DELETE), VK_DELETE, 0, ID_TREE_DELETE);
    bar.AddButton(IDB_BUTTON_RENAME, ModuleString(IDS_TREE_RENAME), VK_F2, 0, ID_TREE_RENAME);
    bar.SetCaption(ModuleString(IDS_BAR_DATABASE));
}
