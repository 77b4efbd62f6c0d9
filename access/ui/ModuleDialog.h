#pragma once
// What every dialog of this module does around the dialog itself: it is shown with this
// module's templates and strings current whatever resource module the host has current, and F1
// names this module and the dialog's help id to the host before help runs.

#include "platform/ui/CDialog.h"

class CModuleDialog : public CDialog {
public:
    using CDialog::CDialog;
    INT_PTR DoModal() override;

protected:
    BOOL OnHelpInfo(UINT helpId) override;
};
