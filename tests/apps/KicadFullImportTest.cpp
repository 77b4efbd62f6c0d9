// Opt-in (VAULTRY_KICAD_FULL=1, with Debian's kicad-footprints installed): every footprint of
// the package reads, or fails with a reason, and for every one read the pads agree with what
// the file says, counted and measured apart from the reader: the number of pads and the box
// their rectangles cover, turned as the file turns them.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <regex>
#include <sstream>

#include "apps/vaultry/kicad/KicadFootprint.h"
#include "host/CDrwGroup.h"
#include "host/CDrwShapes.h"

namespace {

namespace fs = std::filesystem;

const fs::path kPackage = "/usr/share/kicad/footprints";

struct PadBox {
    long count = 0;
    long left = LONG_MAX, right = LONG_MIN, low = LONG_MAX, high = LONG_MIN;
    // A pad of `width` x `height` at (x, y), turned by `degrees`.
    void Add(long x, long y, long width, long height, double degrees) {
        const double angle = degrees * std::numbers::pi / 180.0;
        const long halfX = std::lround(std::fabs(width * std::cos(angle)) / 2 +
                                       std::fabs(height * std::sin(angle)) / 2);
        const long halfY = std::lround(std::fabs(width * std::sin(angle)) / 2 +
                                       std::fabs(height * std::cos(angle)) / 2);
        ++count;
        left = std::min(left, x - halfX);
        right = std::max(right, x + halfX);
        low = std::min(low, y - halfY);
        high = std::max(high, y + halfY);
    }
    bool operator==(const PadBox&) const = default;
};

long Nanometres(const std::string& millimetres) {
    return std::lround(std::stod(millimetres) * 1e6);
}

// The pads as the file writes them: "(pad ... (at x y [angle]) ... (size w h)".
PadBox PadsOfText(const std::string& text) {
    static const std::regex pad(
        R"re(\(pad\s+(?:"[^"]*"|\S*)\s+\w+\s+\w+\s+\(at\s+(\S+)\s+(\S+?)(?:\s+([-\d.]+))?(?:\s+unlocked)?\)\s*\(size\s+(\S+)\s+(\S+?)\))re");
    PadBox box;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pad);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        const double angle = m[3].matched ? std::stod(m[3]) : 0.0;
        box.Add(Nanometres(m[1]), -Nanometres(m[2]), Nanometres(m[4]), Nanometres(m[5]), angle);
    }
    return box;
}

PadBox PadsOfPart(const CDrwGroup& part) {
    PadBox box;
    for (const CDrwPad* pad : part.Pads()) {
        box.Add(pad->m_x, pad->m_y, pad->m_width, pad->m_height,
                static_cast<double>(pad->m_rotation) / 1000.0);
    }
    return box;
}

TEST(KicadFullImportTest, EveryFootprintOfThePackageReadsWithThePadsItsFileSays) {
    if (std::getenv("VAULTRY_KICAD_FULL") == nullptr || !fs::is_directory(kPackage)) {
        GTEST_SKIP() << "set VAULTRY_KICAD_FULL=1 with kicad-footprints installed";
    }
    long read = 0;
    long failed = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kPackage)) {
        if (entry.path().extension() != ".kicad_mod") {
            continue;
        }
        std::ifstream in(entry.path());
        std::ostringstream text;
        text << in.rdbuf();
        try {
            const auto footprint = vaultry::kicad::ReadFootprint(text.str());
            ++read;
            EXPECT_EQ(PadsOfPart(*footprint.part), PadsOfText(text.str())) << entry.path();
        } catch (const vaultry::kicad::SExpressionError& error) {
            ++failed;
            ADD_FAILURE() << entry.path() << ":" << error.Line() << ": " << error.what();
        }
    }
    std::cout << read << " footprints read, " << failed << " failed\n";
    EXPECT_GT(read, 10000);
}

}  // namespace
