#include "tests/support/ModalScript.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <algorithm>

namespace vaultry::test {

ModalScript::ModalScript()
    : m_previous(CDialog::SetModalRunner([this](CDialog& dialog) { Run(dialog); })) {}

ModalScript::~ModalScript() {
    CDialog::SetModalRunner(std::move(m_previous));
    for (const Step& step : m_steps) {
        ADD_FAILURE() << "dialog " << step.templateId << " was expected but never shown";
    }
}

void ModalScript::Expect(UINT templateId, std::function<void(CDialog&)> act) {
    m_steps.push_back({templateId, std::move(act)});
}

void ModalScript::Run(CDialog& dialog) {
    if (m_steps.empty()) {
        ADD_FAILURE() << "dialog " << dialog.GetTemplateId() << " was shown unexpectedly";
        dialog.EndDialog(IDCANCEL);
        return;
    }
    const Step step = std::move(m_steps.front());
    m_steps.pop_front();
    EXPECT_EQ(dialog.GetTemplateId(), step.templateId);
    QApplication::processEvents();
    step.act(dialog);
    QApplication::processEvents();
    if (dialog.IsRunning()) {
        ADD_FAILURE() << "the script left dialog " << dialog.GetTemplateId() << " open";
        dialog.EndDialog(IDCANCEL);
    }
}

namespace {

QWidget& ControlOf(CDialog& dialog, UINT id) {
    CWnd* control = dialog.GetDlgItem(id);
    if (control == nullptr || control->Widget() == nullptr) {
        throw std::logic_error("no control " + std::to_string(id));
    }
    return *control->Widget();
}

}  // namespace

void TypeInto(CDialog& dialog, UINT id, const char* text) {
    QWidget& edit = ControlOf(dialog, id);
    edit.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, QString::fromUtf8(text));
}

void Click(CDialog& dialog, UINT id) {
    // Near the left end: a check box or radio button answers on its box and text only.
    QWidget& control = ControlOf(dialog, id);
    QTest::mouseClick(&control, Qt::LeftButton, Qt::NoModifier,
                      QPoint(std::min(control.width() / 2, 8), control.height() / 2));
}

void Press(CDialog& dialog, int key) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : dialog.Widget();
    QTest::keyClick(target, static_cast<Qt::Key>(key));
}

void Choose(CDialog& dialog, UINT id, const char* text) {
    auto* combo = qobject_cast<QComboBox*>(&ControlOf(dialog, id));
    if (combo == nullptr) {
        throw std::logic_error("control " + std::to_string(id) + " is no combo box");
    }
    combo->setFocus(Qt::TabFocusReason);
    const int wanted = combo->findText(QString::fromUtf8(text));
    if (wanted < 0) {
        throw std::logic_error(std::string("no item ") + text);
    }
    QTest::keyClick(combo, Qt::Key_Home);
    while (combo->currentIndex() < wanted) {
        QTest::keyClick(combo, Qt::Key_Down);
    }
}

void FinishLabelEdit(CWnd& view, const char* text) {
    QLineEdit* editor = nullptr;  // a closed editor lingers, hidden, until it is deleted
    for (QLineEdit* open : view.Widget()->findChildren<QLineEdit*>()) {
        editor = open->isVisible() ? open : editor;
    }
    ASSERT_NE(editor, nullptr);
    editor->setText(QString::fromUtf8(text));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();  // the view takes the text once the key is handled
}

}  // namespace vaultry::test
