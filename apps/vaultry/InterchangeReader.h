#pragma once
// Reading the part interchange file (see Interchange.h) a part at a time.

#include <cstddef>
#include <map>
#include <optional>
#include <string>

#include "apps/vaultry/Interchange.h"
#include "apps/vaultry/InterchangeElementReader.h"
#include "apps/vaultry/XmlElementStream.h"

namespace vaultry::cli {

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
    // Grows whenever Definitions() changes.
    std::size_t DefinitionsRead() const { return m_definitionsRead; }
    // The share of the file read so far, in thousandths.
    int Permille() const;

private:
    void GatherAllDefinitions();
    bool NextElement(XmlElementStream& stream, InterchangeElementReader& element);

    std::string m_path;
    XmlElementStream m_stream;
    InterchangeElementReader m_element;
    std::map<std::string, InterchangeDefinitions> m_definitions;
    std::size_t m_definitionsRead = 0;
    bool m_gatheredAll = false;
};

// The whole file, read with InterchangeReader: nothing is read partly.
InterchangeFile ReadInterchange(const std::string& path);

}  // namespace vaultry::cli
