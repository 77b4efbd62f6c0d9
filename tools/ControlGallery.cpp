#include "tools/ControlGallery.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <fstream>
#include <iostream>
#include <sstream>

#include "access/CMSAccessDBHandler.h"
#include "access/LibraryEditor.h"
#include "access/LibrarySet.h"
#include "access/LibraryTree.h"
#include "access/RightsGate.h"
#include "apps/vaultry/LibraryCommands.h"
#include "controls/CObjectComboBox.h"
#include "controls/CObjectTreeCtrl.h"
#include "controls/CObjectTypeComboBox.h"
#include "dialogs/CDatabaseManagerDlg.h"
#include "dialogs/CSelectObjectDlg.h"
#include "host/BuiltInPlugIns.h"
#include "host/CDrwDimension.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "host/CUnitInfo.h"
#include "host/ReferenceHost.h"
#include "host/ui/CPreviewWnd.h"
#include "platform/ui/CDialog.h"
#include "resources/VaultryStrings.h"
#include "tools/FreeFormPicture.h"
#include "tools/Pictures.h"
#include "tools/StorePictures.h"

namespace {

// The three controls side by side, wired as a library dialog wires them: the tree's category
// and the chosen type decide what the part list shows.
class Browser {
public:
    Browser() {
        m_window.Create(nullptr, CRect{0, 0, 560, 380}, 0);
        m_window.Widget()->setWindowTitle("Library controls");
        m_tree.Create(CRect{8, 8, 268, 372}, &m_window, true);
        m_types.Create(CRect{276, 8, 552, 34}, &m_window);
        m_parts.Create(CRect{276, 42, 552, 372}, &m_window, 6050);
        m_tree.OnSelChanged([this] { Refill(); });
        m_types.OnSelChange([this] { Refill(); });
        m_window.Widget()->show();
    }

    // Shows the libraries `shown` (0: all) with category `treeID` of `tier` chosen, and the
    // parts of `docType` (empty: all types).
    void Show(DATABASETYPE shown, DATABASETYPE tier, long treeID, const char* docType = "") {
        m_tree.SetDatabaseTypeForShow(shown);
        m_types.Init(tier, docType);
        m_tree.Init(treeID, tier);
        m_tree.EnsureVisible(m_tree.GetSelectedItem());
        Refill();
    }
    // Types `name` into the emptied name field.
    void Type(const char* name) {
        m_parts.NameField().Widget()->setFocus();
        QTest::keyClick(m_parts.NameField().Widget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_parts.NameField().Widget(), Qt::Key_Delete);
        QTest::keyClicks(m_parts.NameField().Widget(), QString::fromUtf8(name));
    }
    bool Save(const std::filesystem::path& path) { return PictureWindow(m_window, path); }

private:
    void Refill() {
        CString filter;
        DATABASETYPE tier = DATABASETYPE_USER;
        m_types.GetObjectDocType(m_parts.m_strDocTypeFilter);
        if (m_tree.GetStringOfIDs(filter, 1, tier)) {
            m_parts.FillList(filter, tier);
        }
    }

    CWnd m_window;
    CObjectTreeCtrl m_tree;
    CObjectTypeComboBox m_types;
    CObjectComboBox m_parts;
};

long CategoryAt(CMSAccessDBHandler& library, const std::vector<std::string>& path) {
    const LibraryTree tree(library);
    const LibraryCategory* category = tree.FindPath(path);
    return category ? category->id : -1;
}

// What a user has added to the new libraries: a few chips of their own, a copy of the QFN
// packages in the corporate library, which is protected by a password not yet given.
void AddUsersParts() {
    CMSAccessDBHandler& master = *GetAccessDB(DATABASETYPE_MASTER);
    CMSAccessDBHandler& corporate = *GetAccessDB(DATABASETYPE_CORPORATE);
    CMSAccessDBHandler& user = *GetAccessDB(DATABASETYPE_USER);
    RightsGate rights;
    LibraryEditor userEditor(user, rights);
    const long chips = userEditor.MakeCategoryPath(1, "Chips");
    for (const char* name : {"R0603", "C0603", "R0805"}) {
        userEditor.CopyPart(master, master.GetObjectID(name, "Footprint"), chips);
    }
    userEditor.MakeCategoryPath(1, "Connectors");
    LibraryEditor corporateEditor(corporate, rights);
    corporateEditor.CopyCategory(master, CategoryAt(master, {"", "ICs", "QFN"}), 1);
    corporateEditor.SetPassword(0, "team");
}

void Press(CDialog& dialog, UINT id) {
    QTest::mouseClick(dialog.GetDlgItem(id)->Widget(), Qt::LeftButton);
}

void ClickRow(CListCtrl& list, int row) {
    auto* view = qobject_cast<QAbstractItemView*>(list.Widget());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(list.Model().index(row, 0)).center());
}

// The Database Manager grown to a desktop's size, on SOIC-8 with its dimensions; the select
// dialog on a QFN package.
bool SaveLibraryDialogs(const std::filesystem::path& folder) {
    CMSAccessDBHandler& master = *GetAccessDB(DATABASETYPE_MASTER);
    CDatabaseManagerDlg manager;
    bool all = PictureDialog(manager, folder / "2044-database-manager.png", [&](CDialog& shown) {
        auto& dialog = static_cast<CDatabaseManagerDlg&>(shown);
        shown.Widget()->resize(1040, 640);
        dialog.GetTree().SetObjectTreeID(CategoryAt(master, {"", "ICs", "SOIC"}),
                                         DATABASETYPE_MASTER);
        ClickRow(dialog.GetParts().List(), 2);
        Press(shown, IDC_SHOW_DIMENSIONS);
    });
    CSelectObjectDlg select;
    select.Init("Footprint", CString());
    all = PictureDialog(select, folder / "2040-select-object.png",
                        [&](CDialog& shown) {
                            auto& dialog = static_cast<CSelectObjectDlg&>(shown);
                            dialog.GetTree().SetObjectTreeID(CategoryAt(master, {"", "ICs", "QFN"}),
                                                             DATABASETYPE_MASTER);
                            ClickRow(dialog.GetParts().List(), 1);
                        }) &&
          all;
    return all;
}

}  // namespace

bool SavePreview(DATABASETYPE tier, const char* name, CUnitInfo::Unit unit,
                 const std::filesystem::path& path) {
    CMSAccessDBHandler& library = *GetAccessDB(tier);
    CDrwGroup* loaded = nullptr;
    CLayerDefinition layers;
    CColorDefinition colours;
    if (library.LoadObject(nullptr, loaded, library.GetObjectID(name, "Footprint"), &layers,
                           &colours) < 0) {
        return false;
    }
    const std::unique_ptr<CDrwGroup> part(loaded);
    CDrwObList dimensions;
    const CUnitInfo units(unit);
    part->CreateDimensions(
        &dimensions, &units,
        ~static_cast<unsigned long>(kDimInterRowHorizontalPitch | kDimInterColumnVerticalPitch));
    CPreviewWnd preview;
    preview.Create(CRect{0, 0, 420, 300}, nullptr);
    preview.Init("Footprint");
    preview.AddDrawObject(part.get(), false);
    preview.AddList(&dimensions);
    preview.ZoomToFitObjects();
    preview.Widget()->show();
    return PictureWindow(preview, path);
}

bool SaveControlGallery(const std::filesystem::path& folder) {
    const std::filesystem::path libraries =
        std::filesystem::temp_directory_path() / ("vaultry-gallery-" + std::to_string(::getpid()));
    std::filesystem::remove_all(libraries);
    std::filesystem::create_directories(libraries);
    const std::string config = (libraries / "settings.ini").string();
    std::ofstream(config) << "[libraries]\nfolder = " << libraries.string() << "\n";
    std::ostringstream quiet;
    bool all = vaultry::cli::InitCommand(config, quiet) == 0;
    ReferenceHost host(config);
    host.Settings().SetStatusBar(nullptr);
    RegisterBuiltInPlugIns();
    all = all && AssureDBLoaded();
    if (all) {
        AddUsersParts();
        constexpr auto kAll = static_cast<DATABASETYPE>(0);
        CMSAccessDBHandler& master = *GetAccessDB(DATABASETYPE_MASTER);
        Browser browser;
        browser.Show(kAll, DATABASETYPE_USER,
                     CategoryAt(*GetAccessDB(DATABASETYPE_USER), {"", "Chips"}));
        all = browser.Save(folder / "controls-all-libraries.png") && all;
        browser.Show(DATABASETYPE_MASTER, DATABASETYPE_MASTER,
                     CategoryAt(master, {"", "Resistors", "SMD"}), "Footprint");
        all = browser.Save(folder / "controls-one-library.png") && all;
        browser.Show(kAll, DATABASETYPE_CORPORATE,
                     CategoryAt(*GetAccessDB(DATABASETYPE_CORPORATE), {"", "QFN"}));
        all = browser.Save(folder / "controls-no-rights.png") && all;
        browser.Show(DATABASETYPE_MASTER, DATABASETYPE_MASTER, CategoryAt(master, {"", "ICs"}));
        browser.Type("so");
        all = browser.Save(folder / "controls-filtered.png") && all;
        browser.Show(DATABASETYPE_MASTER, DATABASETYPE_MASTER, CategoryAt(master, {"", "ICs"}));
        browser.Type("pads:8 smd:yes");
        all = browser.Save(folder / "controls-land-pattern.png") && all;
        all = SavePreview(DATABASETYPE_MASTER, "SOIC-8", CUnitInfo::kMillimetre,
                          folder / "preview-soic-8-mm.png") &&
              all;
        all = SavePreview(DATABASETYPE_MASTER, "DIP-8", CUnitInfo::kMil,
                          folder / "preview-dip-8-mil.png") &&
              all;
        all = SaveFreeFormPreview(folder) && all;
        all = SaveLibraryDialogs(folder) && all;
        const long chips = CategoryAt(*GetAccessDB(DATABASETYPE_USER), {"", "Chips"});
        all = SaveStoreDialogs(folder, chips) && all;
        all = SaveChoiceDialogs(folder, chips) && all;
    }
    UnloadDB();
    std::filesystem::remove_all(libraries);
    return all;
}
