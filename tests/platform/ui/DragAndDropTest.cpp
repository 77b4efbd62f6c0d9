// Drags in the window layer: formats registered by name and carried as MIME types, a drop
// target that hears a drag enter, move, leave and drop in client coordinates with the keys
// held, effects kept to what the source allows, and a drag source whose drag a test runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTreeView>

#include "platform/ui/CDialog.h"
#include "platform/ui/COleDataSource.h"
#include "platform/ui/COleDropTarget.h"
#include "platform/ui/CWnd.h"

namespace {

// Records what it heard and answers with a chosen effect.
class RecordingTarget : public COleDropTarget {
public:
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* data, DWORD keys, CPoint at) override {
        return Heard("enter", data, keys, at);
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* data, DWORD keys, CPoint at) override {
        return Heard("over", data, keys, at);
    }
    void OnDragLeave(CWnd*) override { heard += "leave;"; }
    BOOL OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint at) override {
        Heard("drop", data, effect, at);
        return TRUE;
    }

    DROPEFFECT answer = DROPEFFECT_MOVE;
    std::string heard;
    QByteArray bytes;

private:
    DROPEFFECT Heard(const char* what, COleDataObject* data, DWORD value, CPoint at) {
        heard += std::string(what) + " " + std::to_string(value) + " " + std::to_string(at.x) +
                 "," + std::to_string(at.y) + ";";
        bytes = data->GetData(RegisterClipboardFormatA("Test drag")).value_or("none");
        return answer;
    }
};

class DragAndDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        window.Create(nullptr, CRect{0, 0, 200, 200}, 0);
        window.Widget()->show();
        ASSERT_TRUE(target.Register(&window));
        data.setData("Test drag", "payload");
    }
    // Sends enter, move and, when the move was taken, the drop; the drop's effect.
    DROPEFFECT Drag(Qt::DropActions allowed, Qt::KeyboardModifiers keys) {
        const QPointF at(30, 40);
        QDragEnterEvent enter(at.toPoint(), allowed, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(window.Widget(), &enter);
        QDragMoveEvent over(at.toPoint(), allowed, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(window.Widget(), &over);
        if (!over.isAccepted()) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(window.Widget(), &leave);
            return DROPEFFECT_NONE;
        }
        QDropEvent drop(at, allowed, &data, Qt::LeftButton, keys);
        drop.setDropAction(over.dropAction());
        QApplication::sendEvent(window.Widget(), &drop);
        return drop.isAccepted() ? static_cast<DROPEFFECT>(drop.dropAction()) : DROPEFFECT_NONE;
    }

    CWnd window;
    RecordingTarget target;
    QMimeData data;
};

TEST(ClipboardFormatTest, ANameKeepsItsNumberAndTheNumberItsName) {
    const CLIPFORMAT first = RegisterClipboardFormatA("Library Part drag");
    EXPECT_GE(first, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatA("Library Part drag"), first);
    EXPECT_NE(RegisterClipboardFormatA("Part drag"), first);
    EXPECT_EQ(ClipboardFormatName(first), "Library Part drag");
    EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
    EXPECT_EQ(ClipboardFormatName(12345), "");
}

TEST_F(DragAndDropTest, TheTargetHearsEachStepWithKeysPointAndData) {
    EXPECT_EQ(Drag(Qt::CopyAction | Qt::MoveAction, Qt::ControlModifier | Qt::ShiftModifier),
              DROPEFFECT_MOVE);
    const std::string keys = std::to_string(MK_LBUTTON | MK_CONTROL | MK_SHIFT);
    EXPECT_EQ(target.heard, "enter " + keys + " 30,40;over " + keys + " 30,40;drop 2 30,40;");
    EXPECT_EQ(target.bytes, "payload");
}

TEST_F(DragAndDropTest, AnEffectTheSourceDoesNotAllowIsNeitherShownNorDropped) {
    EXPECT_EQ(Drag(Qt::CopyAction, {}), DROPEFFECT_NONE);
    EXPECT_EQ(target.heard.find("drop"), std::string::npos);
    EXPECT_NE(target.heard.find("leave"), std::string::npos);

    target.answer = DROPEFFECT_NONE;
    target.heard.clear();
    EXPECT_EQ(Drag(Qt::CopyAction | Qt::MoveAction, {}), DROPEFFECT_NONE);
    EXPECT_EQ(target.heard.find("drop"), std::string::npos);
}

TEST_F(DragAndDropTest, ARevokedTargetHearsNothing) {
    target.Revoke();
    EXPECT_EQ(Drag(Qt::CopyAction | Qt::MoveAction, {}), DROPEFFECT_NONE);
    EXPECT_EQ(target.heard, "");
}

TEST_F(DragAndDropTest, ADragRunsWithTheCachedDataAndReturnsTheDropsEffect) {
    COleDataSource source;
    EXPECT_EQ(source.DoDragDrop(window, DROPEFFECT_COPY), DROPEFFECT_NONE);  // nothing to drag
    source.CacheGlobalData(RegisterClipboardFormatA("Test drag"), "carried");
    const auto previous =
        COleDataSource::SetDragRunner([](QWidget*, QMimeData& carried, DROPEFFECT allowed) {
            EXPECT_EQ(carried.data("Test drag"), "carried");
            EXPECT_EQ(allowed, DROPEFFECT_COPY);
            return DROPEFFECT_COPY | DROPEFFECT_MOVE;  // more than allowed
        });
    EXPECT_EQ(source.DoDragDrop(window, DROPEFFECT_COPY | DROPEFFECT_SCROLL), DROPEFFECT_COPY);
    COleDataSource::SetDragRunner(previous);
}

}  // namespace
