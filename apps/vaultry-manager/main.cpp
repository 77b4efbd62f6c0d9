// vaultry-manager: the part libraries of Norvik on the desktop. Opens the Database Manager on
// the three configured libraries (making the missing ones first), after storing a design's
// parts with --design, or with --select the dialog that picks one part for a script.

#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>

#include "apps/vaultry-manager/DesignStore.h"
#include "apps/vaultry-manager/ManagerCommands.h"
#include "apps/vaultry-manager/ManagerSession.h"
#include "apps/vaultry/Session.h"
#include "platform/ui/DesktopProgram.h"
#include "vaultry_manager_icon.h"

namespace {

// The smoke test's hook: each dialog the program opens is answered, once the window system has
// shown it, as a user pressing OK or Cancel would (and Cancel after an OK the dialog refuses);
// the first is pictured before. Message boxes then go to standard error rather than wait for a
// click.
struct TestHook {
    std::string screenshot;
    std::string answer = "cancel";

    void Install() const {
        if (screenshot.empty()) {
            return;
        }
        CDialog::SetModalRunner(RunCallingWhenShown([hook = *this](CDialog& dialog, int order) {
            if (order == 0 && !SaveScreenshot(dialog, hook.screenshot)) {
                std::cerr << "vaultry-manager: could not save " << hook.screenshot << "\n";
            }
            if (hook.answer == "ok") {
                dialog.OnOK();
            }
            if (dialog.IsRunning()) {  // cancelled, or OK refused with a message
                dialog.OnCancel();
            }
        }));
    }
};

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Vaultry Manager: browse the part libraries of Norvik (master, corporate and user), "
        "look at a part with its dimensions, and pick one for a script."};
    std::string config;
    bool select = false;
    vaultry::manager::SelectRequest request;
    TestHook hook;
    app.add_option("--config", config,
                   "Settings file (default: $VAULTRY_CONFIG or "
                   "$XDG_CONFIG_HOME/vaultry/settings.ini)");
    auto* selecting =
        app.add_flag("--select", select,
                     "Open the select dialog instead; on OK print the part's tier, id, name and "
                     "document type separated by tabs (exit status 1 on Cancel)");
    app.add_option("--type", request.docType,
                   "With --select: the document type asked for (default: every type)")
        ->needs(selecting);
    app.add_option("--name", request.name, "With --select: the part to start at")->needs(selecting);
    vaultry::manager::DesignRequest design;
    auto* designing =
        app.add_option("--design", design.file,
                       "Open a design (an interchange file as \"vaultry export\" writes it), "
                       "store its parts through the store dialog first, and keep it open for the "
                       "Database Manager's Add");
    app.add_option("--selection", design.selection,
                   "With --design: the part that stands for the design's current selection")
        ->needs(designing);
    designing->excludes(selecting);
    // Hidden: the smoke test's hook.
    app.add_option("--screenshot", hook.screenshot)->group("");
    app.add_option("--answer", hook.answer)->check(CLI::IsMember({"ok", "cancel"}))->group("");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : 2;
    }

    SetDesktopIdentity("Vaultry Manager", "vaultry-manager", k_vaultry_manager,
                       sizeof k_vaultry_manager);
    hook.Install();
    try {
        vaultry::manager::ManagerSession session(config, hook.screenshot.empty());
        if (select) {
            return vaultry::manager::SelectPart(request, std::cout);
        }
        std::optional<vaultry::manager::OpenDesign> open;
        if (!design.file.empty()) {
            open.emplace(design);
            if (vaultry::manager::StoreDesign(open->Sheet()) != 0) {
                return 1;
            }
        }
        return vaultry::manager::ShowDatabaseManager();
    } catch (const std::exception& e) {
        std::cerr << "vaultry-manager: " << e.what() << "\n";
        return 1;
    }
}
