// The window layer as the dialogs rely on it: templates become windows with their controls in
// tab order, data exchange both ways, OK/Cancel/Escape/Enter/F1, and each control's behaviour.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <filesystem>
#include <vector>

#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CResourceModule.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DesktopProgram.h"
#include "tests/support/ModalScript.h"
#include "tests/support/TempDir.h"

namespace {

using vaultry::test::Choose;
using vaultry::test::Click;
using vaultry::test::ModalScript;
using vaultry::test::Press;
using vaultry::test::TypeInto;

enum : UINT {
    kProbe = 9000,
    kName = 101,
    kSecret = 102,
    kCheck = 103,
    kFirstRadio = 104,
    kSecondRadio = 105,
    kSorted = 106,
    kUnsorted = 107,
    kPlaceholder = 108,
    kResizable = 9001,
    kLeftPane = 110,
    kRightPane = 111,
    kPushCheck = 112,
    kHelpId = 0x29000,
};

const CResourceModule& ProbeModule() {
    using K = ControlKind;
    static const CResourceModule module(
        "Probe", {}, {},
        {{kProbe,
          {"Probe",
           200,
           140,
           kHelpId,
           {
               {0xFFFF, K::kStatic, "&Name:", 7, 9, 40, 10},
               {kName, K::kEdit, "", 50, 7, 140, 13},
               {kSecret, K::kEdit, "", 50, 24, 140, 13, ES_PASSWORD},
               {kCheck, K::kCheckBox, "Check", 7, 42, 80, 10},
               {kFirstRadio, K::kRadioButton, "One", 7, 56, 60, 10, WS_GROUP},
               {kSecondRadio, K::kRadioButton, "Two", 70, 56, 60, 10},
               {kSorted, K::kComboBox, "", 7, 72, 90, 13, CBS_DROPDOWNLIST | CBS_SORT},
               {kUnsorted, K::kComboBox, "", 100, 72, 90, 13, CBS_DROPDOWNLIST},
               {0xFFFF, K::kStatic, "&Tree:", 7, 87, 40, 8},
               {kPlaceholder, K::kStatic, "placeholder", 7, 96, 183, 18},
               {IDC_OK, K::kDefaultButton, "OK", 86, 118, 50, 15},
               {IDC_CANCEL, K::kButton, "Cancel", 140, 118, 50, 15},
           }}},
         {kResizable,
          {"Resizable",
           200,
           100,
           0,
           {
               {kLeftPane, K::kStatic, "left", 5, 5, 90, 75, 0, {0, 0, 50, 100}},
               {kRightPane, K::kStatic, "right", 100, 5, 95, 75, 0, {50, 0, 50, 100}},
               {kPushCheck, K::kCheckBox, "Show", 5, 84, 60, 12, BS_PUSHLIKE, {0, 100, 0, 0}},
               {IDC_CANCEL, K::kButton, "Close", 145, 84, 50, 12, 0, {100, 100, 0, 0}},
           },
           true}}});
    return module;
}

class CProbeDlg : public CDialog {
public:
    CProbeDlg() : CDialog(kProbe) {}

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kSorted, m_sorted);
        DDX_Control(pDX, kUnsorted, m_unsorted);
        DDX_Control(pDX, kName, m_nameEdit);
        DDX_Text(pDX, kName, m_name);
        DDX_Text(pDX, kSecret, m_secret);
        DDX_Check(pDX, kCheck, m_check);
        DDX_Radio(pDX, kFirstRadio, m_radio);
    }

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        DWORD_PTR added = 0;
        for (const char* item : {"delta", "Alpha", "charlie", "Éclair", "bravo"}) {
            const int index = m_sorted.AddString(item);
            m_sorted.SetItemData(index, ++added);
            m_unsorted.AddString(item);
        }
        m_sorted.OnSelEndOk([this] { ++m_selEndOk; });
        m_sorted.OnSelChange([this] { ++m_selChange; });
        m_nameEdit.OnChange([this] { ++m_changes; });
        return TRUE;
    }

    CComboBox m_sorted;
    CComboBox m_unsorted;
    CEdit m_nameEdit;
    CString m_name = "start";
    CString m_secret;
    int m_check = 1;
    int m_radio = 1;
    int m_selEndOk = 0;
    int m_selChange = 0;
    int m_changes = 0;
};

class WindowLayerTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        m_previousModule = AfxGetResourceHandle();
        AfxSetResourceHandle(&ProbeModule());
    }
    void TearDown() override { AfxSetResourceHandle(m_previousModule); }

    HINSTANCE m_previousModule = nullptr;
};

TEST_F(WindowLayerTest, ValuesGoToTheControlsAndBackOnlyOnOk) {
    CProbeDlg dialog;
    ModalScript script;
    script.Expect(kProbe, [](CDialog& shown) {
        auto& probe = static_cast<CProbeDlg&>(shown);
        EXPECT_EQ(probe.GetDlgItem(kName)->GetWindowText(), "start");
        EXPECT_EQ(CWnd::GetFocus(), &probe.m_nameEdit);  // the first control that takes focus
        EXPECT_EQ(qobject_cast<QLineEdit*>(probe.GetDlgItem(kSecret)->Widget())->echoMode(),
                  QLineEdit::Password);
        TypeInto(shown, kName, "typed");
        TypeInto(shown, kSecret, "hidden");
        Click(shown, kCheck);
        Click(shown, kFirstRadio);
        EXPECT_EQ(probe.m_name, "start");  // members change only when the data is read back
        Click(shown, IDC_OK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_name, "typed");
    EXPECT_EQ(dialog.m_secret, "hidden");
    EXPECT_EQ(dialog.m_check, 0);
    EXPECT_EQ(dialog.m_radio, 0);
    EXPECT_GE(dialog.m_changes, 5);
    EXPECT_EQ(dialog.m_nameEdit.Widget(), nullptr);  // the window went with the dialog
}

TEST_F(WindowLayerTest, EscapeCancelsEnterPressesTheDefaultAndF1AsksForHelp) {
    UINT helpAsked = 0;
    const auto previous = CWnd::SetHelpHandler([&](UINT id) { helpAsked = id; });
    ModalScript script;
    script.Expect(kProbe, [](CDialog& shown) {
        TypeInto(shown, kName, "dropped");
        Press(shown, Qt::Key_F1);
        Press(shown, Qt::Key_Escape);
    });
    script.Expect(kProbe, [](CDialog& shown) {
        TypeInto(shown, kName, "kept");
        Press(shown, Qt::Key_Return);
    });
    script.Expect(kProbe, [](CDialog& shown) { shown.EndDialog(42); });
    CProbeDlg cancelled;
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.m_name, "start");
    EXPECT_EQ(helpAsked, static_cast<UINT>(kHelpId));
    CProbeDlg confirmed;
    EXPECT_EQ(confirmed.DoModal(), IDOK);
    EXPECT_EQ(confirmed.m_name, "kept");
    CProbeDlg ended;
    EXPECT_EQ(ended.DoModal(), 42);
    CWnd::SetHelpHandler(previous);

    CDialog missing(4711);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(WindowLayerTest, ComboBoxesSortCarryDataAndNotifyAsWindowsDoes) {
    ModalScript script;
    script.Expect(kProbe, [](CDialog& shown) {
        auto& probe = static_cast<CProbeDlg&>(shown);
        CString text;
        std::vector<std::string> sorted;
        for (int i = 0; i < probe.m_sorted.GetCount(); ++i) {
            probe.m_sorted.GetLBText(i, text);
            sorted.push_back(text.str());
        }
        EXPECT_EQ(sorted,
                  (std::vector<std::string>{"Alpha", "bravo", "charlie", "delta", "Éclair"}));
        probe.m_unsorted.GetLBText(0, text);
        EXPECT_EQ(text, "delta");
        // Item data stays with its item whatever place sorting gave it.
        EXPECT_EQ(probe.m_sorted.GetItemData(probe.m_sorted.FindStringExact(-1, "DELTA")), 1u);
        EXPECT_EQ(probe.m_sorted.FindStringExact(-1, "éCLAIR"), 4);
        EXPECT_EQ(probe.m_sorted.FindStringExact(-1, "echo"), CB_ERR);
        EXPECT_EQ(probe.m_sorted.SetCurSel(9), CB_ERR);
        EXPECT_EQ(probe.m_sorted.GetCurSel(), CB_ERR);
        probe.m_sorted.SetCurSel(2);
        EXPECT_EQ(probe.m_selEndOk, 0);  // only a user's choice ends a selection
        EXPECT_GE(probe.m_selChange, 1);
        Choose(shown, kSorted, "delta");
        EXPECT_EQ(probe.m_sorted.GetCurSel(), 3);
        EXPECT_EQ(probe.m_sorted.GetWindowText(), "delta");
        EXPECT_GE(probe.m_selEndOk, 1);
        Click(shown, IDC_CANCEL);
    });
    CProbeDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(WindowLayerTest, WindowsEnableHideTakeFocusAndGiveTheirPlaces) {
    ModalScript script;
    script.Expect(kProbe, [](CDialog& shown) {
        CWnd& secret = *shown.GetDlgItem(kSecret);
        EXPECT_EQ(secret.GetParent(), &shown);
        EXPECT_EQ(secret.GetDlgCtrlID(), static_cast<UINT>(kSecret));
        secret.EnableWindow(FALSE);
        EXPECT_FALSE(secret.IsWindowEnabled());
        secret.ShowWindow(SW_HIDE);
        EXPECT_FALSE(secret.IsWindowVisible());
        shown.GetDlgItem(kCheck)->SetFocus();
        EXPECT_EQ(CWnd::GetFocus(), shown.GetDlgItem(kCheck));
        QTest::keyClick(shown.Widget(), Qt::Key_N, Qt::AltModifier);  // the label's "&Name:"
        EXPECT_EQ(CWnd::GetFocus(), shown.GetDlgItem(kName));

        CRect place;
        shown.GetDlgItem(kPlaceholder)->GetClientRect(&place);
        CPoint corner{0, 0};
        shown.GetDlgItem(kPlaceholder)->ClientToScreen(&corner);
        CWnd tree;
        tree.Attach(new QTreeWidget);  // the dialog's window owns it once it stands there
        shown.ReplaceControl(kPlaceholder, tree);
        EXPECT_EQ(tree.Widget()->parentWidget(), shown.Widget());
        EXPECT_EQ(tree.Widget()->width(), place.Width());
        EXPECT_EQ(shown.GetDlgItem(kPlaceholder), &tree);
        shown.ScreenToClient(&corner);
        EXPECT_EQ(corner.x, tree.Widget()->x());
        // It takes the placeholder's place in the tab order too: after the combo boxes; and the
        // mnemonic of the label before the placeholder now leads to it.
        QWidget* next = shown.GetDlgItem(kUnsorted)->Widget()->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, tree.Widget());
        shown.GetDlgItem(kCheck)->SetFocus();
        QTest::keyClick(shown.Widget(), Qt::Key_T, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), tree.Widget());
        EXPECT_THROW(shown.ReplaceControl(kPlaceholder + 100, tree), std::logic_error);
        Click(shown, IDC_CANCEL);
    });
    CProbeDlg dialog;
    dialog.DoModal();
}

TEST_F(WindowLayerTest, AScreenshotOfADialogIsAPicture) {
    vaultry::test::TempDir dir;
    const std::string path = dir.File("probe.png");
    ModalScript script;
    int painted = 0;
    script.Expect(kProbe, [&](CDialog& shown) {
        TypeInto(shown, kName, "pictured");
        CButton ok;
        ok.Attach(shown.GetDlgItem(IDC_OK)->Widget());
        EXPECT_TRUE(ok.IsDefault());
        ok.SetOwnerDraw([&](QPainter&, const CRect& rect) {
            EXPECT_EQ(rect.Width(), ok.Widget()->width());
            ++painted;
        });
        EXPECT_TRUE(SaveScreenshot(shown, path));
        Click(shown, IDC_CANCEL);
    });
    CProbeDlg dialog;
    dialog.DoModal();
    EXPECT_GE(painted, 1);  // the owner drew the button in the picture
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    {
        CWaitCursor wait;
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowLayerTest, AResizableDialogsControlsFollowTheirAnchors) {
    CDialog dialog(kResizable);
    ModalScript script;
    script.Expect(kResizable, [](CDialog& shown) {
        QWidget* window = shown.Widget();
        const QSize base = window->size();
        EXPECT_EQ(window->minimumSize(), base);
        const QRect left = shown.GetDlgItem(kLeftPane)->Widget()->geometry();
        const QRect right = shown.GetDlgItem(kRightPane)->Widget()->geometry();
        const QRect close = shown.GetDlgItem(IDC_CANCEL)->Widget()->geometry();
        window->resize(base + QSize(100, 60));
        EXPECT_EQ(shown.GetDlgItem(kLeftPane)->Widget()->geometry(), left.adjusted(0, 0, 50, 60));
        EXPECT_EQ(shown.GetDlgItem(kRightPane)->Widget()->geometry(),
                  right.adjusted(50, 0, 100, 60));
        EXPECT_EQ(shown.GetDlgItem(IDC_CANCEL)->Widget()->geometry(), close.translated(100, 60));
        // A push-like check button keeps its state and tells of each click.
        CButton show;
        show.Attach(shown.GetDlgItem(kPushCheck)->Widget());
        int clicks = 0;
        show.OnClicked([&] { ++clicks; });
        EXPECT_EQ(show.GetCheck(), BST_UNCHECKED);
        Click(shown, kPushCheck);
        EXPECT_EQ(show.GetCheck(), BST_CHECKED);
        show.SetCheck(BST_UNCHECKED);
        EXPECT_EQ(show.GetCheck(), BST_UNCHECKED);
        EXPECT_EQ(clicks, 1);
        show.Detach();
        Click(shown, IDC_CANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

}  // namespace

// The hook a program gives a smoke test: each dialog the program opens runs in the real event
// loop, is shown by the window system when the hook acts, and ends as the hook says; dialogs
// opened from within one run as usual.
TEST_F(WindowLayerTest, AProgramsHookActsOnEachOfItsDialogsWhenTheWindowIsShown) {
    std::vector<int> orders;
    INT_PTR nestedResult = 0;
    const auto previous =
        CDialog::SetModalRunner(RunCallingWhenShown([&](CDialog& shown, int order) {
            orders.push_back(order);
            EXPECT_TRUE(shown.Widget()->windowHandle()->isExposed());
            EXPECT_TRUE(shown.IsRunning());
            if (order == 0) {
                CProbeDlg nested;
                QTimer::singleShot(0, [&nested] { nested.EndDialog(IDCANCEL); });
                nestedResult = nested.DoModal();
            }
            shown.EndDialog(IDOK);
        }));
    CProbeDlg first;
    EXPECT_EQ(first.DoModal(), IDOK);
    CProbeDlg second;
    EXPECT_EQ(second.DoModal(), IDOK);
    CDialog::SetModalRunner(previous);
    EXPECT_EQ(orders, (std::vector<int>{0, 1}));
    EXPECT_EQ(nestedResult, IDCANCEL);
}
