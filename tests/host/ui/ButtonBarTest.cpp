// A button bar frames a window where it stood and sends its commands to its owner: from a
// click, or from the key while the framed window has the focus, and never while disabled.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QToolButton>

#include "host/ui/CDynamicWindowWithButtons.h"
#include "platform/afx/CResourceModule.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CTreeCtrl.h"
#include "tests/support/CommandRecorder.h"

namespace {

enum : UINT { kImage = 500, kNew = 32792, kDelete = 32788 };

// A 16 x 16 green square on magenta.
const std::vector<unsigned char>& SquarePng() {
    static const std::vector<unsigned char> bytes = [] {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(QColor(255, 0, 255));
        for (int y = 4; y < 12; ++y) {
            for (int x = 4; x < 12; ++x) {
                image.setPixel(x, y, qRgb(0, 160, 0));
            }
        }
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return std::vector<unsigned char>(data.begin(), data.end());
    }();
    return bytes;
}

const CResourceModule& Module() {
    static const CResourceModule module(
        "bar", {}, {{kImage, CResourceBitmap{SquarePng().data(), SquarePng().size()}}});
    return module;
}

class ButtonBarTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        previousModule = AfxGetResourceHandle();
        AfxSetResourceHandle(&Module());
        owner.Create(nullptr, CRect{0, 0, 300, 300}, 0);
        tree.Create(CRect{10, 20, 210, 280}, &owner, 6052, false);
        owner.Widget()->show();
    }
    void TearDown() override { AfxSetResourceHandle(previousModule); }

    HINSTANCE previousModule = nullptr;
    vaultry::test::CommandRecorder owner;
    CTreeCtrl tree;
    CDynamicWindowWithButtons bar;
};

TEST_F(ButtonBarTest, TheBarTakesTheFramedWindowsPlaceWithItsCaptionAndButtons) {
    ASSERT_TRUE(bar.Create(&owner, tree));
    EXPECT_EQ(bar.Widget()->geometry(), QRect(10, 20, 200, 260));
    EXPECT_EQ(tree.Widget()->parentWidget(), bar.Widget());
    EXPECT_EQ(bar.GetParent(), &owner);
    bar.SetCaption("&Database");
    EXPECT_EQ(bar.GetCaption(), "&Database");
    EXPECT_EQ(bar.AddButton(kImage, "New", 'N', FCONTROL, kNew), 0);
    EXPECT_EQ(bar.AddButton(kImage + 1, "Delete", VK_DELETE, 0, kDelete), 1);
    EXPECT_EQ(bar.GetButtonNum(kDelete), 1);
    EXPECT_EQ(bar.GetButtonNum(1), -1);
    EXPECT_FALSE(bar.Button(0)->icon().isNull());
    EXPECT_TRUE(bar.Button(1)->icon().isNull());  // no such image: a button without one
    EXPECT_EQ(bar.Button(0)->toolTip().toStdString(), "New (Ctrl+N)");
}

TEST_F(ButtonBarTest, ClicksAndKeysSendTheCommandOnlyWhileTheButtonIsEnabled) {
    ASSERT_TRUE(bar.Create(&owner, tree));
    bar.AddButton(kImage, "New", 'N', FCONTROL, kNew);
    bar.AddButton(kImage, "Delete", VK_DELETE, 0, kDelete);
    QApplication::setActiveWindow(owner.Widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(owner.Widget()));
    tree.Widget()->setFocus();
    QTest::mouseClick(bar.Button(0), Qt::LeftButton);
    QTest::keyClick(tree.Widget(), Qt::Key_Delete);
    QTest::keyClick(tree.Widget(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(owner.commands, (std::vector<UINT>{kNew, kDelete, kNew}));
    bar.EnableButton(bar.GetButtonNum(kDelete), false);
    EXPECT_FALSE(bar.IsButtonEnabled(1));
    QTest::mouseClick(bar.Button(1), Qt::LeftButton);
    QTest::keyClick(tree.Widget(), Qt::Key_Delete);
    EXPECT_EQ(owner.commands.size(), 3u);
}

}  // namespace
