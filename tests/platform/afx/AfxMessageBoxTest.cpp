#include <gtest/gtest.h>

#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CResourceModule.h"

TEST(AfxMessageBoxTest, DefaultAnswersWithTheBoxDefaultButton) {
    EXPECT_EQ(AfxDefaultButton(MB_OK), IDOK);
    EXPECT_EQ(AfxDefaultButton(MB_YESNO), IDYES);
    EXPECT_EQ(AfxDefaultButton(MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(AfxDefaultButton(MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION), IDCANCEL);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox("Shown on standard error", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Shown on standard error\n");
}

TEST(AfxMessageBoxTest, HandlerIsReplaceableAndRestorable) {
    CString seen;
    UINT seenType = 0;
    auto previous = AfxSetMessageBoxHandler([&](const CString& text, UINT type, UINT) {
        seen = text;
        seenType = type;
        return IDCANCEL;
    });
    EXPECT_EQ(AfxMessageBox("Delete?", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(seen, "Delete?");
    EXPECT_EQ(seenType, MB_OKCANCEL);
    AfxSetMessageBoxHandler(previous);

    const CResourceModule module("test", {{1, "Part %1 exists."}});
    AfxSetResourceHandle(&module);
    CString text;
    AfxFormatString1(text, 1, "R1");
    EXPECT_EQ(text, "Part R1 exists.");
    AfxSetResourceHandle(nullptr);
}
