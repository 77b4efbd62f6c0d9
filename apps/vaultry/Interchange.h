#pragma once
// The part interchange file: parts with their drawing objects, and for each document type the
// layer and colour definitions the objects' layer and colour ids refer to. Plain XML, so that
// other tools can read and write it; the format is described in docs/interchange.md and carries
// its version, which a reader checks.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/CColorDefinition.h"
#include "host/CDrwGroup.h"
#include "host/CDrwShapes.h"
#include "host/CLayerDefinition.h"

namespace vaultry::cli {

// 2 added the pads' turn, slots, bare holes and outlines, which a reader of 1 would drop.
inline constexpr int kInterchangeVersion = 2;
inline constexpr const char* kInterchangeRoot = "vaultry-parts";

struct PadShapeName {
    PadShape shape;
    const char* name;
};
inline constexpr PadShapeName kPadShapes[] = {{PadShape::kRound, "round"},
                                              {PadShape::kRectangle, "rectangle"},
                                              {PadShape::kOval, "oval"},
                                              {PadShape::kRoundedRectangle, "rounded-rectangle"},
                                              {PadShape::kPolygon, "polygon"}};

struct InterchangeDefinitions {
    CLayerDefinition layers;
    CColorDefinition colours;
};

struct InterchangePart {
    std::string docType;
    std::string category;  // path below the exported category; empty for the category itself
    std::unique_ptr<CDrwGroup> group;
};

struct InterchangeFile {
    std::map<std::string, InterchangeDefinitions> definitions;  // by document type
    std::vector<InterchangePart> parts;
};

// False when a text of `part` (its name, an attribute, a text object) holds a control character
// that an XML file cannot carry; WriteInterchange would write a file no reader takes.
bool FitsInterchange(const InterchangePart& part);
// Throws CommandError when the file cannot be written.
void WriteInterchange(const InterchangeFile& file, const std::string& path);

}  // namespace vaultry::cli
