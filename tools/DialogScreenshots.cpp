// Saves a PNG picture of each dialog of the module in a typical state, and of the library
// controls on the starter libraries, so that a change to a window can be looked at:
// vaultry-dialog-screenshots OUTDIR. Runs without a display when QT_QPA_PLATFORM=offscreen is
// set.

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <functional>
#include <iostream>

#include "access/ModuleAttachment.h"
#include "access/ui/PasswordDialogs.h"
#include "resources/DatabaseType.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tools/ControlGallery.h"

namespace {

// Shows `dialog`, lets `prepare` put it in the state pictured, saves it as NAME.png, cancels.
bool Picture(CDialog& dialog, const std::filesystem::path& folder, const std::string& name,
             const std::function<void(CDialog&)>& prepare) {
    bool saved = false;
    const auto previous = CDialog::SetModalRunner([&](CDialog& shown) {
        prepare(shown);
        QApplication::processEvents();
        saved = SaveScreenshot(shown, (folder / (name + ".png")).string());
        shown.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    CDialog::SetModalRunner(previous);
    std::cout << (saved ? "saved " : "could not save ") << (folder / (name + ".png")).string()
              << "\n";
    return saved;
}

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
    all = Picture(userPassword, folder, "6004-user-password",
                  [](CDialog& dialog) {
                      Type(dialog, IDC_PASSWORD, "secret");
                      Type(dialog, IDC_PASSWORD_CONFIRMATION, "secret");
                  }) &&
          all;
    CAskLibPassword askPassword;
    askPassword.m_nDatabaseType = DATABASETYPE_CORPORATE;
    all = Picture(askPassword, folder, "6016-ask-lib-password",
                  [](CDialog& dialog) { Type(dialog, IDC_LIB_PASSWORD, "secret"); }) &&
          all;
    all = SaveControlGallery(folder) && all;
    VaultryDetachModule();
    return all ? 0 : 1;
}
