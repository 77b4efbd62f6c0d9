#pragma once
// "Select destination in database": a category of any of the three libraries, as the target of
// a copy or a move. Categories can be added, removed and renamed from its bar; only a category
// the user has the rights on is accepted. After OK m_lSelectedID and m_eDatabaseType name it.

#include "access/CDatabaseRegistry.h"
#include "access/ui/ModuleDialog.h"
#include "controls/CObjectTreeCtrl.h"
#include "host/ui/CDynamicWindowWithButtons.h"

class CSelectLibraryDestination : public CModuleDialog {
public:
    explicit CSelectLibraryDestination(CWnd* parent = nullptr);
    ~CSelectLibraryDestination() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(UINT id) override;
    // The bar's buttons and OK follow the category chosen.
    void OnSelChanged();

    CObjectTreeCtrl& GetTree() { return m_tree; }
    CDynamicWindowWithButtons& GetBar() { return m_buttons; }

    long m_lSelectedID = -1;
    DATABASETYPE m_eDatabaseType = static_cast<DATABASETYPE>(0);

private:
    // May the chosen category be changed? Asks for its library's password when the rights rule
    // wants it; false on Cancel, and for the master library without the host's permission.
    bool RightsOnSelection();

    CDynamicWindowWithButtons m_buttons;
    CDatabaseRegistry m_registry;
    CObjectTreeCtrl m_tree;
};
