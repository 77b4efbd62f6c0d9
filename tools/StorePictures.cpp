#include "tools/StorePictures.h"

#include "dialogs/CNewLibraryPart.h"
#include "dialogs/CSelectLibraryDestination.h"
#include "dialogs/CStoreObjectDlg.h"
#include "dialogs/CStoreObjectsDlg.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "host/CDrwSubSheet.h"
#include "host/FootprintGenerator.h"
#include "host/ui/CPartSheetWnd.h"
#include "tools/Pictures.h"

namespace {

std::unique_ptr<CDrwGroup> Chip(const char* name, double span) {
    return MakeChipFootprint(name, "R1", Millimetres(span), Millimetres(0.9), Millimetres(0.95));
}

}  // namespace

bool SaveStoreDialogs(const std::filesystem::path& folder, long chips) {
    CDrwObList design;
    for (const auto& [name, span] : {std::pair{"R0603", 1.6}, std::pair{"R1206", 3.0},
                                     std::pair{"R2512", 6.0}, std::pair{"C1210", 3.2}}) {
        design.Add(Chip(name, span).release());
    }
    TwoRowPattern pattern;
    auto selection = MakeTwoRowFootprint("SOIC-8-HS", "U1", pattern);

    CStoreObjectsDlg one;
    one.SetDocType("Footprint");
    one.SetObjectTreeID(chips, DATABASETYPE_USER);
    one.SetDrawGroup(selection.get());
    one.SetObjectList(&design);
    bool all = PictureDialog(one, folder / "2043-store-selection.png", [](CDialog&) {});

    CStoreObjectsDlg several;
    several.SetDocType("Footprint");
    several.SetObjectTreeID(chips, DATABASETYPE_USER);
    several.SetObjectList(&design);
    all = PictureDialog(several, folder / "2043-store-design.png",
                        [](CDialog& shown) {
                            auto& dialog = static_cast<CStoreObjectsDlg&>(shown);
                            dialog.GetCheckList().SetCheck(2, 0);
                            dialog.GetCheckList().SetSel(-1, FALSE);
                            dialog.GetCheckList().SetSel(1, TRUE);
                            dialog.GetCheckList().SetCaretIndex(1);
                            dialog.OnListSelChange();
                        }) &&
          all;

    CStoreObjectDlg single;
    single.Init("Footprint");
    single.SetDrawGroup(selection.get());
    single.SetDefaultName("SOIC-8-HS");
    all = PictureDialog(single, folder / "2003-store-object.png",
                        [chips](CDialog& shown) {
                            static_cast<CStoreObjectDlg&>(shown).GetTree().SetObjectTreeID(
                                chips, DATABASETYPE_USER);
                        }) &&
          all;

    auto sheet = CDrwSubSheet::ForDocType("Footprint");
    sheet->AddObject(MakeTwoRowFootprint("SOIC-8-HS", "U1", pattern), true);
    CPartSheetWnd window(std::move(sheet), "SOIC-8-HS");
    window.Create([](CPartSheetWnd&) {});
    return PictureWindow(window, folder / "sheet-window.png") && all;
}

bool SaveChoiceDialogs(const std::filesystem::path& folder, long chips) {
    CNewLibraryPart types;
    bool all = PictureDialog(types, folder / "6014-new-part.png", [](CDialog& shown) {
        static_cast<CNewLibraryPart&>(shown).GetList().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED,
                                                                    LVIS_SELECTED | LVIS_FOCUSED);
    });
    CSelectLibraryDestination destination;
    all =
        PictureDialog(destination, folder / "6015-select-destination.png",
                      [chips](CDialog& shown) {
                          static_cast<CSelectLibraryDestination&>(shown).GetTree().SetObjectTreeID(
                              chips, DATABASETYPE_USER);
                      }) &&
        all;
    return all;
}
