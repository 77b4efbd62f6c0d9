#include "apps/vaultry/InterchangeReader.h"

#include <algorithm>

#include "apps/vaultry/Session.h"

namespace vaultry::cli {

InterchangeReader::InterchangeReader(const std::string& path) : m_path(path), m_stream(path) {
    if (m_stream.RootName() != kInterchangeRoot) {
        throw CommandError(path + ": not a part interchange file (no <" + kInterchangeRoot + ">)");
    }
    const std::string version = m_stream.RootAttribute("version");
    long number = 0;
    if (!WholeNumber(version, number)) {
        throw CommandError("not a valid part interchange file: <" + std::string(kInterchangeRoot) +
                           ">: attribute version must be a whole number");
    }
    if (number > kInterchangeVersion) {
        throw CommandError(path + ": made by a newer version of the format (" + version + ")");
    }
}

std::optional<InterchangePart> InterchangeReader::Next() {
    while (NextElement(m_stream, m_element)) {
        using Kind = InterchangeElementReader::Kind;
        if (m_element.WhatWasRead() == Kind::kDefinitions) {
            m_definitions[m_element.DocType()] = m_element.TakeDefinitions();
            ++m_definitionsRead;
        } else if (m_element.WhatWasRead() == Kind::kPart) {
            const std::string& docType = m_element.DocType();
            if (m_definitions.count(docType) == 0) {
                GatherAllDefinitions();
            }
            if (m_definitions.count(docType) == 0) {
                throw CommandError(m_path +
                                   ": not a valid part interchange file: <part>: no "
                                   "<definitions> for document type \"" +
                                   docType + "\"");
            }
            return m_element.TakePart();
        }
    }
    return std::nullopt;
}

// Files this program writes give the definitions first; for a file that gives a part before
// its type's definitions, one pass over the whole file gathers them.
void InterchangeReader::GatherAllDefinitions() {
    if (m_gatheredAll) {
        return;
    }
    m_gatheredAll = true;
    XmlElementStream whole(m_path);
    InterchangeElementReader definitions(false);
    while (NextElement(whole, definitions)) {
        if (definitions.WhatWasRead() == InterchangeElementReader::Kind::kDefinitions) {
            m_definitions.try_emplace(definitions.DocType(), definitions.TakeDefinitions());
            ++m_definitionsRead;
        }
    }
}

bool InterchangeReader::NextElement(XmlElementStream& stream, InterchangeElementReader& element) {
    try {
        return stream.Next(element);
    } catch (const MalformedElement& malformed) {
        throw CommandError(m_path + ": " + malformed.what());
    }
}

int InterchangeReader::Permille() const {
    const long long size = m_stream.Size();
    return size > 0 ? static_cast<int>(std::min(1000LL, m_stream.BytesRead() * 1000 / size)) : 0;
}

InterchangeFile ReadInterchange(const std::string& path) {
    InterchangeReader reader(path);
    InterchangeFile file;
    while (std::optional<InterchangePart> part = reader.Next()) {
        file.parts.push_back(std::move(*part));
    }
    file.definitions = reader.Definitions();
    return file;
}

}  // namespace vaultry::cli
