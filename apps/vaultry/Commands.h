#pragma once
// The subcommands that work on the configured libraries. Each writes its result to `out`
// (lines for people, or JSON with `json`) and returns the exit status: 0 done, 1 refused or
// failed. Refusals and failures throw CommandError, which main reports on standard error.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "access/PartListing.h"
#include "host/GeometryQuery.h"
#include "host/CUnitInfo.h"
#include "resources/DatabaseType.h"

namespace vaultry::cli {

class Session;

struct Output {
    std::ostream& out;
    bool json = false;
};

// One line saying what was done, or {"done": "..."} with `json`; `count` is added to the JSON
// as "parts" when not negative.
void ReportDone(Output output, const std::string& what, long count = -1);

// A part named on the command line: its name (or its id with a tier), optionally of one
// document type.
struct PartArgument {
    std::string text;
    std::string tier;
    std::string docType;
};

int TreeCommand(Session& session, const std::string& tier, Output output);
// `query` narrowed to `tier` and to `category` (an id in `tier` or a path) when given.
int ListCommand(Session& session, PartQuery query, const std::string& category,
                const std::string& tier, Output output);
int ShowCommand(Session& session, const PartArgument& part, const std::string& unit, Output output);

int CopyPartCommand(Session& session, const PartArgument& part, const std::string& destination,
                    Output output);
int MovePartCommand(Session& session, const PartArgument& part, const std::string& destination,
                    Output output);
int RenamePartCommand(Session& session, const PartArgument& part, const std::string& name,
                      Output output);
int RemovePartCommand(Session& session, const PartArgument& part, Output output);

int MakeCategoryCommand(Session& session, const std::string& path, Output output);
int CopyCategoryCommand(Session& session, const std::string& category, const std::string& tier,
                        const std::string& destination, Output output);
int MoveCategoryCommand(Session& session, const std::string& category, const std::string& tier,
                        const std::string& destination, Output output);
int RemoveCategoryCommand(Session& session, const std::string& category, const std::string& tier,
                          bool recursive, Output output);
int CacheCommand(Session& session, const std::string& tier, Output output);
// Sets the password of user 0 of `tier` (the user library when empty), once the current one,
// if any, is given; an empty password removes the protection.
int PasswordCommand(Session& session, const std::string& tier, Output output);
int CheckCommand(Session& session, const std::string& tier, Output output);

struct ExportRequest {
    std::vector<PartArgument> parts;
    std::string category;  // exported with its sub-tree when set
    std::string tier;
    std::string file;
};
int ExportCommand(Session& session, const ExportRequest& request, Output output);
int ImportCommand(Session& session, const std::string& file, const std::string& destination,
                  Output output);

// KiCad footprint files and .pretty folders of them, stored as footprints below `category` (a
// path or an id in `tier`; the top category of `tier`, by default the user library's, when
// empty). A folder becomes a category of its name without ".pretty".
struct KicadImportRequest {
    std::vector<std::string> paths;
    std::string tier;
    std::string category;
};
// 1 when any file or footprint could not be imported; each is named on standard error.
int ImportKicadCommand(Session& session, const KicadImportRequest& request, Output output);

// The unit of lengths that `unit` names: "mm" (also empty), "mil", "inch" or "in".
CUnitInfo UnitNamed(const std::string& unit);

// Parts found by their land pattern (see GeometryQuery), narrowed by name, category and tier
// as ls narrows them; nearest first.
struct FindRequest {
    GeometryQuery geometry;
    std::string name;
    std::string category;
    std::string tier;
    std::string unit = "mm";
};
int FindCommand(Session& session, const FindRequest& request, Output output);

// Groups of footprints whose copper pads match within `tolerance` (a length, 0.01 mm when
// empty), moved and turned by right angles as need be, in `tier` or across all three.
int DupesCommand(Session& session, const std::string& tier, const std::string& tolerance,
                 Output output);

// The tiers `tier` names ("" for all three, user first); throws CommandError for a bad name.
std::vector<DATABASETYPE> TiersNamed(const std::string& tier);

}  // namespace vaultry::cli
