// The program's message boxes and window pictures.

#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <vector>

#include "platform/afx/AfxMessageBox.h"
#include "platform/ui/CDialog.h"

namespace {

int ShowQtMessageBox(const CString& text, UINT type, UINT) {
    EnsureUiApplication();
    QMessageBox box;
    box.setWindowTitle("Vaultry");
    box.setText(QString::fromUtf8(text.GetString()));
    switch (type & 0xF0) {
        case MB_ICONERROR:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONWARNING:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    struct Choice {
        int answer;
        QMessageBox::StandardButton button;
    };
    const Choice choices[] = {{IDOK, QMessageBox::Ok},
                              {IDCANCEL, QMessageBox::Cancel},
                              {IDYES, QMessageBox::Yes},
                              {IDNO, QMessageBox::No}};
    std::vector<Choice> offered;
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            offered = {choices[0], choices[1]};
            break;
        case MB_YESNOCANCEL:
            offered = {choices[2], choices[3], choices[1]};
            break;
        case MB_YESNO:
            offered = {choices[2], choices[3]};
            break;
        default:
            offered = {choices[0]};
    }
    for (const Choice& choice : offered) {
        QPushButton* button = box.addButton(choice.button);
        if (choice.answer == AfxDefaultButton(type)) {
            box.setDefaultButton(button);
        }
    }
    box.exec();
    for (const Choice& choice : offered) {
        if (box.clickedButton() == box.button(choice.button)) {
            return choice.answer;
        }
    }
    return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}

}  // namespace

void InstallQtMessageBoxes() {
    AfxSetMessageBoxHandler(ShowQtMessageBox);
}

bool SaveScreenshot(const CWnd& window, const std::string& path) {
    return window.Widget() != nullptr &&
           window.Widget()->grab().save(QString::fromStdString(path), "PNG");
}
