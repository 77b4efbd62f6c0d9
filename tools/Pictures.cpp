#include "tools/Pictures.h"

#include <QApplication>
#include <iostream>

#include "platform/ui/CDialog.h"

bool PictureWindow(const CWnd& window, const std::filesystem::path& path) {
    QApplication::processEvents();
    const bool saved = SaveScreenshot(window, path.string());
    std::cout << (saved ? "saved " : "could not save ") << path.string() << "\n";
    return saved;
}

bool PictureDialog(CDialog& dialog, const std::filesystem::path& path,
                   const std::function<void(CDialog&)>& prepare) {
    bool saved = false;
    const auto previous = CDialog::SetModalRunner([&](CDialog& shown) {
        prepare(shown);
        saved = PictureWindow(shown, path);
        shown.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    CDialog::SetModalRunner(previous);
    return saved;
}
