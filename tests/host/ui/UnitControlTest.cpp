// The units control offers the three units, starts at the unit it is given and follows the
// user's choice, telling the dialog each time.

#include <gtest/gtest.h>

#include "host/ui/CUnitControlCreation.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/Controls.h"

TEST(UnitControlTest, TheChoiceSetsTheUnitAndTellsTheDialog) {
    EnsureUiApplication();
    CWnd dialog;
    dialog.Create(nullptr, CRect{0, 0, 200, 60}, 0);
    CComboBox combo;
    combo.Create(CRect{0, 0, 120, 24}, &dialog, 6074);
    CUnitControlCreation maker;
    EXPECT_EQ(maker.GetUnitInfo(), nullptr);
    int changes = 0;
    CUnitInfo* units =
        maker.CreateUnitControl(&dialog, CUnitInfo(CUnitInfo::kMil), 8, combo, [&] { ++changes; });
    ASSERT_EQ(units, maker.GetUnitInfo());
    ASSERT_EQ(combo.GetCount(), 3);
    CString chosen;
    combo.GetLBText(combo.GetCurSel(), chosen);
    EXPECT_EQ(chosen, "mil");
    EXPECT_EQ(units->GetUnit(), CUnitInfo::kMil);
    combo.SetCurSel(2);
    EXPECT_EQ(units->GetUnit(), CUnitInfo::kInch);
    EXPECT_EQ(units->Format(25400000), "1 in");
    EXPECT_EQ(changes, 1);
}
