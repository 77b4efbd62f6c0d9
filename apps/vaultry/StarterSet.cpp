#include "apps/vaultry/StarterSet.h"

#include <map>

#include "access/LibraryEditor.h"
#include "apps/vaultry/Session.h"
#include "host/CDrwObList.h"
#include "host/FootprintGenerator.h"

namespace vaultry::cli {
namespace {

using mm = double;

struct Chip {
    const char* size;
    mm span;
    mm padWidth;
    mm padHeight;
};

// Centre-to-centre span and pad size of the usual (nominal density) land patterns.
constexpr Chip kChips[] = {
    {"0201", 0.58, 0.29, 0.30}, {"0402", 0.96, 0.54, 0.64}, {"0603", 1.55, 0.80, 0.95},
    {"0805", 1.90, 1.00, 1.45}, {"1206", 3.00, 1.15, 1.80}, {"1210", 3.00, 1.15, 2.70},
    {"2010", 4.60, 1.20, 2.70}, {"2512", 5.90, 1.40, 3.30},
};

struct TwoRow {
    const char* family;
    int pins[3];
    mm pitch;
    mm rowSpan;
    mm padWidth;
    mm padHeight;
    mm drill;
};

constexpr TwoRow kTwoRows[] = {
    {"SOIC", {8, 14, 16}, 1.27, 5.40, 1.55, 0.60, 0},
    {"TSSOP", {14, 16, 20}, 0.65, 5.80, 1.50, 0.45, 0},
    {"DIP", {8, 14, 16}, 2.54, 7.62, 1.60, 1.60, 0.80},
};

struct Quad {
    int pins;
    const char* body;
    mm span;
    mm thermal;
};

constexpr Quad kQuads[] = {
    {16, "3x3", 2.90, 1.70}, {24, "4x4", 3.90, 2.60}, {32, "5x5", 4.90, 3.45}};

CString Numbered(int number) {
    CString text;
    text.Format("%d", number);
    return text;
}

CString Named(const char* prefix, int number) {
    CString name;
    name.Format("%s-%d", prefix, number);
    return name;
}

void AddChips(std::vector<StarterPart>& parts) {
    for (const Chip& chip : kChips) {
        parts.push_back(
            {"Resistors/SMD",
             MakeChipFootprint(CString("R") + chip.size, "R1", Millimetres(chip.span),
                               Millimetres(chip.padWidth), Millimetres(chip.padHeight))});
        parts.push_back(
            {"Capacitors/SMD",
             MakeChipFootprint(CString("C") + chip.size, "C1", Millimetres(chip.span),
                               Millimetres(chip.padWidth), Millimetres(chip.padHeight))});
    }
}

void AddIntegratedCircuits(std::vector<StarterPart>& parts) {
    for (const TwoRow& family : kTwoRows) {
        for (const int pins : family.pins) {
            TwoRowPattern pattern;
            pattern.pins = pins;
            pattern.pitch = Millimetres(family.pitch);
            pattern.rowSpan = Millimetres(family.rowSpan);
            pattern.padWidth = Millimetres(family.padWidth);
            pattern.padHeight = Millimetres(family.padHeight);
            pattern.drill = Millimetres(family.drill);
            parts.push_back({std::string("ICs/") + family.family,
                             MakeTwoRowFootprint(Named(family.family, pins), "U1", pattern)});
        }
    }
    for (const Quad& quad : kQuads) {
        QuadPattern pattern;
        pattern.pins = quad.pins;
        pattern.span = Millimetres(quad.span);
        pattern.thermalPad = Millimetres(quad.thermal);
        CString name = Named("QFN", quad.pins);
        name += CString("_") + quad.body;
        parts.push_back({"ICs/QFN", MakeQuadFootprint(name, "U1", pattern)});
    }
}

void AddTransistors(std::vector<StarterPart>& parts) {
    const long sotPad = Millimetres(0.6);
    parts.push_back({"Transistors/SOT",
                     MakePlacedFootprint(
                         "SOT-23", "Q1",
                         {{"1", Millimetres(-0.95), Millimetres(-1.1), sotPad, Millimetres(0.7)},
                          {"2", Millimetres(0.95), Millimetres(-1.1), sotPad, Millimetres(0.7)},
                          {"3", 0, Millimetres(1.1), sotPad, Millimetres(0.7)}},
                         Millimetres(2.9), Millimetres(1.3))});
    std::vector<PadPlacement> sot223;
    for (int pin = 0; pin < 3; ++pin) {
        sot223.push_back({Numbered(pin + 1), Millimetres(-2.3 + 2.3 * pin), Millimetres(-3.15),
                          Millimetres(0.95), Millimetres(2.15)});
    }
    sot223.push_back({"4", 0, Millimetres(3.15), Millimetres(3.25), Millimetres(2.15)});
    parts.push_back({"Transistors/SOT", MakePlacedFootprint("SOT-223", "Q1", sot223,
                                                            Millimetres(6.5), Millimetres(3.5))});
    std::vector<PadPlacement> to220;
    for (int pin = 0; pin < 3; ++pin) {
        to220.push_back({Numbered(pin + 1), Millimetres(-2.54 + 2.54 * pin), 0, Millimetres(1.9),
                         Millimetres(2.5), Millimetres(1.1)});
    }
    parts.push_back({"Power/TO-220", MakePlacedFootprint("TO-220-3", "Q1", to220, Millimetres(10.0),
                                                         Millimetres(4.5))});
}

void AddPinHeaders(std::vector<StarterPart>& parts) {
    const long pitch = Millimetres(2.54);
    for (const int pins : {2, 3, 4, 5, 6, 8, 10}) {
        std::vector<PadPlacement> pads;
        for (int pin = 0; pin < pins; ++pin) {
            pads.push_back({Numbered(pin + 1), 0, (pins - 1) * pitch / 2 - pin * pitch,
                            Millimetres(1.7), Millimetres(1.7), Millimetres(1.0)});
        }
        CString name;
        name.Format("PinHeader_1x%02d_P2.54mm", pins);
        parts.push_back(
            {"Connectors/Pin headers", MakePlacedFootprint(name, "J1", pads, pitch, pins * pitch)});
    }
    for (const int rows : {5, 10}) {
        TwoRowPattern pattern;
        pattern.pins = rows * 2;
        pattern.pitch = pitch;
        pattern.rowSpan = pitch;
        pattern.padWidth = Millimetres(1.7);
        pattern.padHeight = Millimetres(1.7);
        pattern.drill = Millimetres(1.0);
        CString name;
        name.Format("PinHeader_2x%02d_P2.54mm", rows);
        parts.push_back({"Connectors/Pin headers", MakeTwoRowFootprint(name, "J1", pattern)});
    }
}

}  // namespace

std::vector<StarterPart> StarterParts() {
    std::vector<StarterPart> parts;
    AddChips(parts);
    AddTransistors(parts);
    AddIntegratedCircuits(parts);
    AddPinHeaders(parts);
    return parts;
}

int FillStarterSet(LibraryEditor& library, long root) {
    std::map<std::string, std::vector<std::unique_ptr<CDrwGroup>>> byCategory;
    for (StarterPart& part : StarterParts()) {
        byCategory[part.category].push_back(std::move(part.group));
    }
    int stored = 0;
    for (auto& [path, groups] : byCategory) {
        const long category = library.MakeCategoryPath(root, path.c_str());
        CDrwObList list;
        for (auto& group : groups) {
            list.Add(group.release());
        }
        const int count = library.StoreParts(category, list, nullptr, nullptr);
        if (count != list.GetCount()) {
            throw CommandError("the starter parts of " + path + " could not all be stored");
        }
        stored += count;
    }
    return stored;
}

}  // namespace vaultry::cli
