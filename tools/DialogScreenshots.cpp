// Saves a PNG picture of each dialog of the module in a typical state, and of the library
// controls on the starter libraries, so that a change to a window can be looked at:
// vaultry-dialog-screenshots OUTDIR. Runs without a display when QT_QPA_PLATFORM=offscreen is
// set.

#include <QTest>
#include <filesystem>
#include <iostream>

#include "access/ModuleAttachment.h"
#include "access/ui/PasswordDialogs.h"
#include "resources/DatabaseType.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tools/ControlGallery.h"
#include "tools/Pictures.h"

namespace {

void Type(CDialog& dialog, UINT id, const char* text) {
    QTest::keyClicks(dialog.GetDlgItem(id)->Widget(), QString::fromUtf8(text));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vaultry-dialog-screenshots OUTDIR\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    VaultryAttachModule();
    EnsureUiApplication();
    bool all = true;
    CUserPasswordDlg userPassword;
    all = PictureDialog(userPassword, folder / "6004-user-password.png",
                        [](CDialog& dialog) {
                            Type(dialog, IDC_PASSWORD, "secret");
                            Type(dialog, IDC_PASSWORD_CONFIRMATION, "secret");
                        }) &&
          all;
    CAskLibPassword askPassword;
    askPassword.m_nDatabaseType = DATABASETYPE_CORPORATE;
    all = PictureDialog(askPassword, folder / "6016-ask-lib-password.png",
                        [](CDialog& dialog) { Type(dialog, IDC_LIB_PASSWORD, "secret"); }) &&
          all;
    all = SaveControlGallery(folder) && all;
    VaultryDetachModule();
    return all ? 0 : 1;
}
