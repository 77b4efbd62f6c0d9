#pragma once
// What every dialog of this module does around the dialog itself: it is shown with this
// module's templates and strings current whatever resource module the host has current, and F1
// names this module and the dialog's help id to the host before help runs.

#include "platform/afx/CResourceModule.h"
#include "platform/ui/CDialog.h"

// Puts back, when it goes, the resource module that was current when it was made: the scoped
// form of the switch every dialog's DoModal makes to this module's resources.
class CDllResourceHandler {
public:
    CDllResourceHandler();
    virtual ~CDllResourceHandler();
    CDllResourceHandler(const CDllResourceHandler&) = delete;
    CDllResourceHandler& operator=(const CDllResourceHandler&) = delete;

private:
    HINSTANCE m_hSavedInstance;
};

class CModuleDialog : public CDialog {
public:
    using CDialog::CDialog;
    INT_PTR DoModal() override;

protected:
    BOOL OnHelpInfo(UINT helpId) override;
};
