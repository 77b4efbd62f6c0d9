#include "access/ui/PasswordPrompt.h"

#include "access/ui/PasswordDialogs.h"

RightsGate::PasswordPrompt DialogPasswordPrompt() {
    return [](DATABASETYPE tier) -> std::optional<CString> {
        CAskLibPassword dialog;
        dialog.m_nDatabaseType = tier;
        if (dialog.DoModal() != IDOK) {
            return std::nullopt;
        }
        return dialog.m_strPassword;
    };
}
