// The vaultry command line: library files usable without a window.

#include <CLI/CLI.hpp>
#include <iostream>
#include <stdexcept>

#include "apps/vaultry/LibraryCommands.h"

int main(int argc, char** argv) {
    CLI::App app{"Vaultry: the part libraries of Norvik, from the command line."};
    app.require_subcommand(1);
    std::string configPath;
    app.add_option(
        "--config", configPath,
        "Settings file (default: $VAULTRY_CONFIG or $XDG_CONFIG_HOME/vaultry/settings.ini)");

    auto* init = app.add_subcommand("init", "Make the configured libraries where they are missing");

    auto* create = app.add_subcommand("create", "Make a new library file");
    std::string createPath;
    std::string tier = "user";
    int generation = 8;
    create->add_option("path", createPath, "The file to make")->required();
    create->add_option("--tier", tier, "The tier the root category is named after")
        ->check(CLI::IsMember({"master", "corporate", "user"}));
    create->add_option("--generation", generation, "Library generation")
        ->check(CLI::IsMember({8, 7}));

    auto* info = app.add_subcommand("info", "Show the generation and row counts of library files");
    std::vector<std::string> infoPaths;
    info->add_option("paths", infoPaths, "Library files")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : 2;
    }
    try {
        if (init->parsed()) {
            return vaultry::cli::InitCommand(configPath, std::cout);
        }
        if (create->parsed()) {
            return vaultry::cli::CreateLibraryCommand(createPath, tier, generation);
        }
        return vaultry::cli::InfoCommand(infoPaths, std::cout);
    } catch (const std::exception& e) {
        std::cerr << "vaultry: " << e.what() << "\n";
        return 1;
    }
}
