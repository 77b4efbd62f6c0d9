// The vaultry command line: the part libraries usable without a window.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "access/PartListing.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/LibraryCommands.h"
#include "apps/vaultry/Session.h"
#include "host/BuiltInPlugIns.h"
#include "platform/afx/CException.h"

namespace {

using vaultry::cli::Output;
using vaultry::cli::PartArgument;
using vaultry::cli::Session;

// A subcommand that works on the configured libraries.
using LibraryCommand = std::function<int(Session&, Output)>;

// Where the parsed options of the library subcommands land; lives through main.
struct Arguments {
    std::string treeTier;
    bool listRecursive = false;
    std::string listName;
    std::string listPattern;
    std::string listTypes;
    std::string listTier;
    std::string listCategory;
    PartArgument shown;
    std::string unit = "mm";
    PartArgument source;
    std::string destination;
    bool recursive = false;
    PartArgument moved;
    std::string target;
    bool moveRecursive = false;
    PartArgument renamed;
    std::string newName;
    PartArgument removed;
    std::string path;
    std::string removedCategory;
    std::string categoryTier;
    bool removeRecursive = false;
    std::string cacheTier;
    std::string checkTier;
    std::string passwordTier;
    vaultry::cli::ExportRequest request;
    std::vector<std::string> names;
    std::string type;
    std::string file;
    std::string into;
    vaultry::cli::KicadImportRequest kicad;
    vaultry::cli::FindRequest find;
    long findPads = -1;
    std::string dupesTier;
    std::string dupesTolerance;
    std::string findPitch;
    std::string findSpan;
};

struct Options {
    std::string config;
    bool json = false;
    bool passwordStdin = false;
};

CLI::App* AddTierOption(CLI::App* command, std::string& tier, const char* help) {
    command->add_option("--tier", tier, help)
        ->check(CLI::IsMember({"master", "corporate", "user"}));
    return command;
}

// Document types the plug-ins serve, "|"-separated where `list`; an unknown one is an error
// rather than a filter that matches nothing, or nothing at all.
CLI::Validator KnownDocTypes(bool list) {
    return CLI::Validator(
        [list](const std::string& value) {
            RegisterBuiltInPlugIns();
            const std::string known = AllDocTypes().str();
            std::istringstream types(value);
            for (std::string type; std::getline(types, type, list ? '|' : '\0');) {
                if (!type.empty() && GetDocForLibraryType(type.c_str()) == nullptr) {
                    return "no document type \"" + type + "\"; the types are " + known;
                }
            }
            return std::string();
        },
        "TYPE");
}

// Positional arguments taken as they stand. The parser would read one in brackets ("[A1]") as
// a list of values, and part names and file names may look like that; so they are collected
// from what the parser leaves over, and one that looks like an option is still refused. What is
// left over would otherwise fall through to the main command, which then takes the global
// options itself (see AddGlobalOptions).
void AddVerbatimArguments(CLI::App* command, const char* name, std::vector<std::string>& values,
                          const char* help, bool required) {
    command->allow_extras();
    command->fallthrough(false);
    command->footer(std::string(name) + "...  " + help);
    command->parse_complete_callback([command, name, &values, required] {
        values = command->remaining();
        for (const std::string& value : values) {
            if (value.size() > 1 && value.front() == '-') {
                throw CLI::ExtrasError({value});
            }
        }
        if (required && values.empty()) {
            throw CLI::RequiredError(name);
        }
    });
}

void AddPartOptions(CLI::App* command, PartArgument& part) {
    command->add_option("part", part.text, "The part's name (or its id, with --tier)")->required();
    AddTierOption(command, part.tier, "Look for the part in this library only");
    command->add_option("--type", part.docType, "Only a part of this document type")
        ->check(KnownDocTypes(false));
}

void AddBrowsing(CLI::App& app, std::map<CLI::App*, LibraryCommand>& commands, Arguments& a) {
    auto* tree = app.add_subcommand("tree", "Show the category trees with ids and part counts");
    AddTierOption(tree, a.treeTier, "Only this library");
    commands[tree] = [&a](Session& s, Output o) { return TreeCommand(s, a.treeTier, o); };

    auto* ls = app.add_subcommand("ls", "List parts as the part lists of the dialogs do");
    AddTierOption(ls, a.listTier, "Only this library");
    ls->add_option("--category", a.listCategory, "A category: its id (with --tier) or its path");
    ls->add_flag("-r,--recursive", a.listRecursive,
                 "With --category: also the parts of its sub-categories");
    ls->add_option("--name", a.listName,
                   "Only names containing this text as typed, wildcards included (case ignored)");
    ls->add_option("--like", a.listPattern,
                   "Only names matching this pattern: * any text, ? one character, # one digit, "
                   "[a-z] or [!a-z] one of a set (case ignored)");
    ls->add_option("--type", a.listTypes,
                   "Document types, separated by | (default: every known type)")
        ->check(KnownDocTypes(true));
    commands[ls] = [&a](Session& s, Output o) {
        PartQuery query;
        query.withSubTree = a.listRecursive;
        query.name = a.listName.c_str();
        query.namePattern = a.listPattern.c_str();
        query.docTypes = a.listTypes.c_str();
        return ListCommand(s, query, a.listCategory, a.listTier, o);
    };

    auto* find = app.add_subcommand(
        "find", "Find footprints by their land pattern: pads, pitch, span; nearest first");
    find->add_option("--pads", a.findPads, "The number of pads");
    find->add_option("--pitch", a.findPitch,
                     "The pitch, with a unit and a tolerance if wanted: 1.27mm, 50mil±2");
    find->add_option("--span", a.findSpan, "The span between the outer rows: 5.4mm±0.2");
    find->add_flag("--smd", a.find.geometry.smdOnly, "Surface pads only");
    find->add_option("--name", a.find.name, "Only names containing this text (case ignored)");
    find->add_option("--category", a.find.category,
                     "Only this category (its path, or its id with --tier) and its sub-tree");
    AddTierOption(find, a.find.tier, "Only this library");
    find->add_option("--unit", a.find.unit, "Unit of the lengths printed: mm, mil or inch");
    commands[find] = [&a](Session& s, Output o) {
        if (a.findPads >= 0) {
            a.find.geometry.pads = a.findPads;
        }
        if (!a.findPitch.empty()) {
            a.find.geometry.pitch = ParseLength(a.findPitch);
        }
        if (!a.findSpan.empty()) {
            a.find.geometry.span = ParseLength(a.findSpan);
        }
        return FindCommand(s, a.find, o);
    };

    auto* dupes = app.add_subcommand(
        "dupes", "Find footprints whose pads match (moved or turned), in one library or across");
    AddTierOption(dupes, a.dupesTier, "Only this library");
    dupes->add_option("--tolerance", a.dupesTolerance,
                      "How far pads may differ: a length, 0.01mm by default");
    commands[dupes] = [&a](Session& s, Output o) {
        return DupesCommand(s, a.dupesTier, a.dupesTolerance, o);
    };

    auto* show = app.add_subcommand("show", "Show a part: objects, pads, size and dimensions");
    AddPartOptions(show, a.shown);
    show->add_option("--unit", a.unit, "Unit of lengths")
        ->check(CLI::IsMember({"mm", "mil", "inch"}));
    commands[show] = [&a](Session& s, Output o) { return ShowCommand(s, a.shown, a.unit, o); };
}

void AddPartChanges(CLI::App& app, std::map<CLI::App*, LibraryCommand>& commands, Arguments& a) {
    auto* cp = app.add_subcommand("cp", "Copy a part (or with -r a category and its sub-tree)");
    cp->add_flag("-r,--recursive", a.recursive, "SOURCE is a category, copied with its sub-tree");
    cp->add_option("source", a.source.text, "The part, or the category with -r")->required();
    cp->add_option("destination", a.destination, "The category to copy into")->required();
    AddTierOption(cp, a.source.tier, "The library of SOURCE when it is given by id");
    cp->add_option("--type", a.source.docType, "Only a part of this document type")
        ->check(KnownDocTypes(false));
    commands[cp] = [&a](Session& s, Output o) {
        return a.recursive ? CopyCategoryCommand(s, a.source.text, a.source.tier, a.destination, o)
                           : CopyPartCommand(s, a.source, a.destination, o);
    };

    auto* mv = app.add_subcommand("mv", "Move a part (or with -r a category) into a category");
    mv->add_flag("-r,--recursive", a.moveRecursive,
                 "SOURCE is a category, moved with its sub-tree");
    mv->add_option("source", a.moved.text, "The part, or the category with -r")->required();
    mv->add_option("destination", a.target, "The category to move into")->required();
    AddTierOption(mv, a.moved.tier, "The library of SOURCE when it is given by id");
    mv->add_option("--type", a.moved.docType, "Only a part of this document type")
        ->check(KnownDocTypes(false));
    commands[mv] = [&a](Session& s, Output o) {
        return a.moveRecursive ? MoveCategoryCommand(s, a.moved.text, a.moved.tier, a.target, o)
                               : MovePartCommand(s, a.moved, a.target, o);
    };

    auto* rename = app.add_subcommand("rename", "Give a part a new name");
    AddPartOptions(rename, a.renamed);
    rename->add_option("name", a.newName, "The new name")->required();
    commands[rename] = [&a](Session& s, Output o) {
        return RenamePartCommand(s, a.renamed, a.newName, o);
    };

    auto* rm = app.add_subcommand("rm", "Remove a part");
    AddPartOptions(rm, a.removed);
    commands[rm] = [&a](Session& s, Output o) { return RemovePartCommand(s, a.removed, o); };
}

void AddCategoryChanges(CLI::App& app, std::map<CLI::App*, LibraryCommand>& commands,
                        Arguments& a) {
    auto* mkdir = app.add_subcommand("mkdir", "Make a category, as in user/Resistors/THT");
    mkdir->add_option("path", a.path, "The new category's path")->required();
    commands[mkdir] = [&a](Session& s, Output o) { return MakeCategoryCommand(s, a.path, o); };

    auto* rmdir =
        app.add_subcommand("rmdir", "Remove an empty category (with -r: and its content)");
    rmdir
        ->add_option("category", a.removedCategory, "The category: its path, or its id with --tier")
        ->required();
    AddTierOption(rmdir, a.categoryTier, "The library of a category given by id");
    rmdir->add_flag("-r,--recursive", a.removeRecursive, "Also its sub-categories and parts");
    commands[rmdir] = [&a](Session& s, Output o) {
        return RemoveCategoryCommand(s, a.removedCategory, a.categoryTier, a.removeRecursive, o);
    };

    auto* cache = app.add_subcommand(
        "cache", "Rebuild the category cache table and measure every part's land pattern");
    AddTierOption(cache, a.cacheTier, "Only this library");
    commands[cache] = [&a](Session& s, Output o) { return CacheCommand(s, a.cacheTier, o); };

    auto* passwd = app.add_subcommand(
        "passwd",
        "Set the library password of user 0 (asked twice without echo, or read from "
        "standard input with --password-stdin after the current one)");
    AddTierOption(passwd, a.passwordTier, "The library (default: user)");
    commands[passwd] = [&a](Session& s, Output o) { return PasswordCommand(s, a.passwordTier, o); };

    auto* check = app.add_subcommand(
        "check", "Look for damage: file integrity, orphan parts, broken trees, undecodable parts");
    AddTierOption(check, a.checkTier, "Only this library");
    commands[check] = [&a](Session& s, Output o) { return CheckCommand(s, a.checkTier, o); };
}

void AddExchange(CLI::App& app, std::map<CLI::App*, LibraryCommand>& commands, Arguments& a) {
    auto* exporter = app.add_subcommand(
        "export", "Write parts (by name, or a category with its sub-tree) to an interchange file");
    AddVerbatimArguments(exporter, "PART", a.names, "The names of the parts to export", false);
    exporter->add_option("--category", a.request.category,
                         "A category, exported with its sub-tree");
    AddTierOption(exporter, a.request.tier, "Look in this library only");
    exporter->add_option("--type", a.type, "Only parts of this document type")
        ->check(KnownDocTypes(false));
    exporter->add_option("-o,--output", a.request.file, "The file to write")->required();
    commands[exporter] = [&a](Session& s, Output o) {
        for (const std::string& name : a.names) {
            a.request.parts.push_back({name, a.request.tier, a.type});
        }
        return ExportCommand(s, a.request, o);
    };

    auto* importer = app.add_subcommand("import", "Store the parts of an interchange file");
    importer->add_option("file", a.file, "The interchange file")->required();
    importer->add_option("--into", a.into, "The category to store into (its path)")->required();
    commands[importer] = [&a](Session& s, Output o) { return ImportCommand(s, a.file, a.into, o); };

    auto* kicad = app.add_subcommand(
        "import-kicad",
        "Store KiCad footprints (.kicad_mod files, and .pretty folders as categories)");
    AddVerbatimArguments(kicad, "PATH", a.kicad.paths, "Footprint files and .pretty folders", true);
    AddTierOption(kicad, a.kicad.tier, "The library (default: user)");
    kicad->add_option("--category", a.kicad.category,
                      "The category to store below (a path, or an id with --tier; default: the "
                      "library's top category)");
    commands[kicad] = [&a](Session& s, Output o) { return ImportKicadCommand(s, a.kicad, o); };
}

// The options of the main command, on `command` too; it may be the main command.
void AddGlobalOptions(CLI::App* command, Options& options) {
    command->add_option("--config", options.config,
                        "Settings file (default: $VAULTRY_CONFIG or "
                        "$XDG_CONFIG_HOME/vaultry/settings.ini)");
    command->add_flag("--json", options.json, "Print results as JSON");
    command->add_flag("--password-stdin", options.passwordStdin,
                      "Read the library password from standard input when one is needed (else "
                      "$VAULTRY_PASSWORD, else a prompt)");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Vaultry: the part libraries of Norvik (master, corporate and user), from the "
        "command line.\nA category is named by its path from the top (user/Resistors/SMD) "
        "or by its id with --tier."};
    app.require_subcommand(1);
    app.fallthrough();  // the options above may also follow the subcommand
    Options options;
    AddGlobalOptions(&app, options);

    auto* init = app.add_subcommand(
        "init",
        "Make the configured libraries where they are missing; a new master library gets "
        "the starter footprints");

    auto* create = app.add_subcommand("create", "Make a new, empty library file");
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
    AddVerbatimArguments(info, "FILE", infoPaths, "Library files", true);

    std::map<CLI::App*, LibraryCommand> commands;
    Arguments arguments;
    AddBrowsing(app, commands, arguments);
    AddPartChanges(app, commands, arguments);
    AddCategoryChanges(app, commands, arguments);
    AddExchange(app, commands, arguments);
    for (CLI::App* command : app.get_subcommands({})) {
        if (!command->get_fallthrough()) {
            AddGlobalOptions(command, options);
        }
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // A mistyped command reaches CLI11 as an extra word, and it would say only that a
        // command is required.
        if (app.get_subcommands().empty() && !app.remaining().empty() &&
            dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) {
            std::cerr << "vaultry: unknown command \"" << app.remaining().front()
                      << "\"; vaultry --help lists the commands\n";
            return 2;
        }
        const int status = app.exit(e);
        return status == 0 ? 0 : 2;
    }
    try {
        // Without a file the settings would be the defaults: the libraries of another place.
        if (!options.config.empty() && !std::filesystem::exists(options.config)) {
            throw std::runtime_error("the settings file " + options.config +
                                     " does not exist; give an existing one, or leave out "
                                     "--config for the default");
        }
        if (init->parsed()) {
            return vaultry::cli::InitCommand(options.config, std::cout);
        }
        if (create->parsed()) {
            return vaultry::cli::CreateLibraryCommand(createPath, tier, generation);
        }
        if (info->parsed()) {
            return vaultry::cli::InfoCommand(infoPaths, std::cout);
        }
        for (const auto& [command, run] : commands) {
            if (command->parsed()) {
                Session session(options.config, {options.passwordStdin});
                return run(session, Output{std::cout, options.json});
            }
        }
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "vaultry: " << e.what() << "\n";
        return 1;
    } catch (const CException& e) {
        std::cerr << "vaultry: " << e.GetErrorMessage().str() << "\n";
        return 1;
    }
}
