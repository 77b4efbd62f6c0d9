// The layers point one way: a file includes headers of its own layer and of the layers its
// layer is built on, never of a layer above or beside it. The database and window libraries are
// reached only through the platform layer (and Qt also by the host's windows, the controls and the
// dialogs).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each layer (a folder of the source tree) with the layers it may include, its own implied.
const std::map<std::string, std::set<std::string>>& LayerRules() {
    static const std::map<std::string, std::set<std::string>> rules = [] {
        const std::set<std::string> platform = {"platform/afx", "platform/dao", "platform/ui"};
        std::map<std::string, std::set<std::string>> r;
        r["platform/afx"] = {};
        r["platform/dao"] = {"platform/afx"};
        r["platform/ui"] = {"platform/afx"};
        r["host"] = {"platform/afx", "platform/dao"};
        r["host/ui"] = {"platform/afx", "platform/ui", "host"};
        r["resources"] = {"platform/afx", "host"};
        r["tables"] = {"platform/afx", "platform/dao", "host", "resources"};
        r["serial"] = {"platform/afx", "platform/dao", "host", "resources"};
        r["access"] = platform;
        r["access"].insert({"host", "resources", "tables", "serial"});
        r["controls"] = r["access"];
        r["controls"].insert({"access", "host/ui"});
        r["dialogs"] = r["controls"];
        r["dialogs"].insert("controls");
        // The programs work through the libraries' operations, never on record sets.
        r["apps"] = {"platform/afx", "platform/ui", "host",     "host/ui",
                     "resources",    "access",      "controls", "dialogs"};
        // The tools picture what the programs make, starting from what they start from.
        r["tools"] = r["apps"];
        r["tools"].insert("apps");
        return r;
    }();
    return rules;
}

// The outside libraries that only some layers may include, by the start of their header names.
struct OutsideLibrary {
    std::regex header;
    std::set<std::string> layers;
};

const std::vector<OutsideLibrary>& OutsideLibraries() {
    static const std::vector<OutsideLibrary> libraries = {
        {std::regex(R"(^sqlite3\.h$)"), {"platform/dao"}},
        {std::regex(R"(^libpq-fe\.h$)"), {"platform/dao"}},
        {std::regex(R"(^(Q[A-Za-z]+|Qt[A-Za-z]*/.*)$)"),
         {"platform/ui", "host/ui", "controls", "dialogs", "tools"}},
    };
    return libraries;
}

// The layer a path from the source root lies in ("access/ui/X.h" is in "access"); empty when
// it lies in none.
std::string LayerOf(const std::string& path) {
    std::string best;
    for (const auto& [layer, allowed] : LayerRules()) {
        if (path.rfind(layer + "/", 0) == 0 && layer.size() > best.size()) {
            best = layer;
        }
    }
    return best;
}

// Why `file` may not include `header` (quoted when `quoted`); empty when it may.
std::string Violation(const std::string& file, const std::string& header, bool quoted) {
    const std::string from = LayerOf(file);
    if (!quoted) {
        for (const OutsideLibrary& library : OutsideLibraries()) {
            if (std::regex_search(header, library.header) && !library.layers.count(from)) {
                return file + " includes <" + header + ">, which only the layers built for it may";
            }
        }
        return "";
    }
    const std::string to = LayerOf(header);
    if (to.empty() || to == from || LayerRules().at(from).count(to)) {
        return "";
    }
    return file + " (layer " + from + ") includes " + header + " (layer " + to + ")";
}

std::vector<std::string> ViolationsIn(const fs::path& root, const std::string& file) {
    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<std::string> found;
    std::ifstream in(root / file);
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (std::regex_search(line, match, include)) {
            const std::string why = Violation(file, match[2].str(), match[1].str() == "\"");
            if (!why.empty()) {
                found.push_back(why);
            }
        }
    }
    return found;
}

TEST(IncludeOrderTest, TheRulesRefuseUpwardAndSidewaysIncludes) {
    EXPECT_EQ(Violation("tables/CRSObjects.cpp", "tables/CRSBlobs.h", true), "");
    EXPECT_EQ(Violation("access/CMSAccessDBHandler.h", "tables/TierRights.h", true), "");
    EXPECT_EQ(Violation("access/ui/PasswordDialogs.cpp", "platform/ui/CDialog.h", true), "");
    EXPECT_NE(Violation("tables/CRSObjects.cpp", "access/LibrarySet.h", true), "");
    EXPECT_NE(Violation("serial/CDBArchive.cpp", "tables/CRSBlobs.h", true), "");
    EXPECT_NE(Violation("platform/dao/CDaoRecordset.h", "platform/ui/CWnd.h", true), "");
    EXPECT_NE(Violation("apps/vaultry/PartList.cpp", "tables/CRSObjects.h", true), "");
    EXPECT_NE(Violation("apps/vaultry/PartList.cpp", "platform/dao/CDaoRecordset.h", true), "");
    EXPECT_NE(Violation("access/LibrarySet.cpp", "sqlite3.h", false), "");
    EXPECT_NE(Violation("tables/CRSObjects.cpp", "QWidget", false), "");
    EXPECT_EQ(Violation("platform/ui/CWnd.cpp", "QWidget", false), "");
}

TEST(IncludeOrderTest, EveryFileOfTheModuleIncludesOnlyItsOwnLayerAndThoseBelow) {
    const fs::path root = VAULTRY_SOURCE_DIR;
    int files = 0;
    std::vector<std::string> violations;
    for (const auto& [layer, allowed] : LayerRules()) {
        if (!fs::exists(root / layer)) {
            continue;  // a layer not built yet
        }
        for (const auto& entry : fs::recursive_directory_iterator(root / layer)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".h" && extension != ".cpp") {
                continue;
            }
            const std::string file = fs::relative(entry.path(), root).generic_string();
            if (LayerOf(file) != layer) {
                continue;  // a folder of a layer nested in this one is checked as its own
            }
            ++files;
            for (std::string& why : ViolationsIn(root, file)) {
                violations.push_back(std::move(why));
            }
        }
    }
    EXPECT_GT(files, 100);
    for (const std::string& why : violations) {
        ADD_FAILURE() << why;
    }
}

}  // namespace
