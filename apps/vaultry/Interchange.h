#pragma once
// The part interchange file: parts with their drawing objects, and for each document type the
// layer and colour definitions the objects' layer and colour ids refer to. Plain XML, so that
// other tools can read and write it; the format is described in docs/interchange.md and carries
// its version, which a reader checks.

#include <map>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "apps/vaultry/XmlElementStream.h"
#include "host/CColorDefinition.h"
#include "host/CDrwGroup.h"
#include "host/CLayerDefinition.h"

namespace vaultry::cli {

// 2 added the pads' turn, slots, bare holes and outlines, which a reader of 1 would drop.
inline constexpr int kInterchangeVersion = 2;

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
// Reads an interchange file a part at a time, in the memory of one part whatever the file's
// size. Throws CommandError naming what is wrong: on construction when the file is missing,
// not this format or of a newer version; from Next when it is malformed at or before the part.
class InterchangeReader {
public:
    explicit InterchangeReader(const std::string& path);

    // The next part, or nullopt after the last. The definitions of its document type are in
    // Definitions() by then.
    std::optional<InterchangePart> Next();
    // By document type; those met so far.
    const std::map<std::string, InterchangeDefinitions>& Definitions() const {
        return m_definitions;
    }
    // The share of the file read so far, in thousandths.
    int Permille() const;

private:
    pugi::xml_node Parse(pugi::xml_document& document, const std::string& text);
    InterchangePart ReadPart(const pugi::xml_node& node);
    void GatherAllDefinitions();

    std::string m_path;
    XmlElementStream m_stream;
    pugi::xml_document m_element;  // the element Next read last
    std::map<std::string, InterchangeDefinitions> m_definitions;
    bool m_gatheredAll = false;
};

// The whole file, read with InterchangeReader: nothing is read partly.
InterchangeFile ReadInterchange(const std::string& path);

}  // namespace vaultry::cli
