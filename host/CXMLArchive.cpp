#include "host/CXMLArchive.h"

#include <zlib.h>

#include <cstring>
#include <pugixml.hpp>
#include <sstream>

#include "platform/afx/CException.h"
#include "platform/afx/CFile.h"

struct CXMLArchive::Level {
    pugi::xml_node element;
    pugi::xml_node cursor;  // reading: the child element the cursor stands on
};

namespace {

// The first element child of `node`, or an empty node.
pugi::xml_node FirstElement(pugi::xml_node node) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) {
            return child;
        }
    }
    return {};
}

pugi::xml_node NextElement(pugi::xml_node node) {
    for (pugi::xml_node next = node.next_sibling(); next; next = next.next_sibling()) {
        if (next.type() == pugi::node_element) {
            return next;
        }
    }
    return {};
}

std::string ReadWholeFile(CFile& file) {
    std::string bytes;
    const std::uint64_t remaining = file.GetLength() - file.GetPosition();
    if (remaining > CXMLArchive::kLargestText) {
        return bytes;
    }
    bytes.resize(static_cast<std::size_t>(remaining));
    bytes.resize(file.Read(bytes.data(), static_cast<UINT>(bytes.size())));
    return bytes;
}

// Inflates `compressed`, refusing anything that would grow beyond the largest text.
bool Inflate(const std::string& compressed, std::string& text) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    char buffer[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        rc = inflate(&stream, Z_NO_FLUSH);
        text.append(buffer, sizeof buffer - stream.avail_out);
        if (text.size() > CXMLArchive::kLargestText) {
            rc = Z_MEM_ERROR;
        }
        if (rc == Z_OK && stream.avail_in == 0 && stream.avail_out != 0) {
            rc = Z_DATA_ERROR;  // the stream ends before its end marker
        }
    }
    inflateEnd(&stream);
    return rc == Z_STREAM_END;
}

// One compressor kept for each thread: setting one up allocates and clears about 270 KB, which
// cost several times the compression of a data block of a few hundred bytes. Reset, it writes
// the same bytes as a new one.
class Deflater {
public:
    Deflater() : m_ready(deflateInit(&m_stream, Z_BEST_COMPRESSION) == Z_OK) {}
    ~Deflater() {
        if (m_ready) {
            deflateEnd(&m_stream);
        }
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    std::string Deflate(const std::string& text) {
        if (!m_ready || deflateReset(&m_stream) != Z_OK) {
            throw CMemoryException();
        }
        std::string out(deflateBound(&m_stream, static_cast<uLong>(text.size())), '\0');
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
        m_stream.avail_in = static_cast<uInt>(text.size());
        m_stream.next_out = reinterpret_cast<Bytef*>(out.data());
        m_stream.avail_out = static_cast<uInt>(out.size());
        if (deflate(&m_stream, Z_FINISH) != Z_STREAM_END) {
            throw CMemoryException();
        }
        out.resize(m_stream.total_out);
        return out;
    }

private:
    z_stream m_stream{};
    bool m_ready;
};

std::string Deflate(const std::string& text) {
    thread_local Deflater deflater;
    return deflater.Deflate(text);
}

}  // namespace

CXMLArchive::CXMLArchive(const CString&, const CString&, CFile* file, bool writing, bool compressed,
                         bool, CKVStatusBar*, bool)
    : m_file(file),
      m_writing(writing),
      m_compressed(compressed),
      m_document(std::make_unique<pugi::xml_document>()) {
    m_levels.push_back({*m_document, {}});
    if (!m_writing) {
        Load();
    }
}

CXMLArchive::~CXMLArchive() = default;

void CXMLArchive::Load() {
    std::string text;
    const std::string bytes = m_file ? ReadWholeFile(*m_file) : std::string();
    const std::size_t markerLength = std::strlen(kCompressedMarker);
    if (m_compressed) {
        m_readable = bytes.compare(0, markerLength, kCompressedMarker) == 0 &&
                     Inflate(bytes.substr(markerLength), text);
    } else {
        text = bytes;
    }
    if (m_readable) {
        const pugi::xml_parse_result result = m_document->load_buffer(
            text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
        m_readable = static_cast<bool>(result);
    }
    if (!m_readable) {
        m_document->reset();
    }
    m_levels.front().cursor = FirstElement(*m_document);
}

void CXMLArchive::SaveHeader() {
    pugi::xml_node declaration = m_document->prepend_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
}

void CXMLArchive::WriteElementStart(const CString& name) {
    PushElement(name);
}

void CXMLArchive::PushElement(const CString& name) {
    pugi::xml_node element = m_levels.back().element.append_child(name.GetString());
    m_levels.push_back({element, {}});
}

void CXMLArchive::WriteIndentation() {
    const std::string layout = "\n" + std::string(2 * (m_levels.size() - 1), ' ');
    m_levels.back().element.append_child(pugi::node_pcdata).set_value(layout.c_str());
}

void CXMLArchive::WriteElementEnd(const CString&) {
    if (m_levels.size() > 1) {
        m_levels.pop_back();
    }
}

void CXMLArchive::WriteAttribute(const CString& name, const CString& value) {
    m_levels.back().element.append_attribute(name.GetString()) = value.GetString();
}

void CXMLArchive::WriteAttribute(const CString& name, long value) {
    m_levels.back().element.append_attribute(name.GetString()) = value;
}

void CXMLArchive::WriteAttribute(const CString& name, double value) {
    m_levels.back().element.append_attribute(name.GetString()) = value;
}

// Compact text: the declaration (written by SaveHeader) first, no indentation.
std::string CXMLArchive::SerializedText() const {
    std::ostringstream text;
    m_document->save(text, "", pugi::format_raw, pugi::encoding_utf8);
    return text.str();
}

void CXMLArchive::Close() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    if (!m_writing || m_file == nullptr) {
        return;
    }
    std::string bytes = SerializedText();
    if (m_compressed) {
        bytes = kCompressedMarker + Deflate(bytes);
    }
    m_file->Write(bytes.data(), static_cast<UINT>(bytes.size()));
    m_file->Flush();
}

pugi::xml_node CXMLArchive::Current() const {
    return m_levels.back().cursor;
}

bool CXMLArchive::ReadElementHeader(const CString& name) {
    if (!IsElementName(name)) {
        return false;
    }
    if (m_levels.size() == 1 && Current().parent() == *m_document) {
        IntoElement();
    }
    return true;
}

bool CXMLArchive::IntoElement() {
    const pugi::xml_node element = Current();
    if (!element) {
        return false;
    }
    m_levels.push_back({element, FirstElement(element)});
    return true;
}

bool CXMLArchive::OutOfElement() {
    if (m_levels.size() <= 1) {
        return false;
    }
    m_levels.pop_back();
    return true;
}

bool CXMLArchive::GetNextElem() {
    Level& level = m_levels.back();
    if (level.cursor) {
        level.cursor = NextElement(level.cursor);
    }
    return static_cast<bool>(level.cursor);
}

bool CXMLArchive::HasElement() const {
    return static_cast<bool>(Current());
}

bool CXMLArchive::IsElementName(const CString& name) const {
    const pugi::xml_node element = Current();
    return element && name == element.name();
}

bool CXMLArchive::IsAttribute(const CString& name, const CString& value) const {
    const pugi::xml_attribute attribute = Current().attribute(name.GetString());
    return attribute && value == attribute.value();
}

CString CXMLArchive::ReadAttribute(const CString& name, const CString& defaultValue) const {
    const pugi::xml_attribute attribute = Current().attribute(name.GetString());
    return attribute ? CString(attribute.value()) : defaultValue;
}

long CXMLArchive::ReadAttribute(const CString& name, long defaultValue) const {
    const pugi::xml_attribute attribute = Current().attribute(name.GetString());
    return attribute ? attribute.as_llong(defaultValue) : defaultValue;
}

double CXMLArchive::ReadAttribute(const CString& name, double defaultValue) const {
    const pugi::xml_attribute attribute = Current().attribute(name.GetString());
    return attribute ? attribute.as_double(defaultValue) : defaultValue;
}

const CRuntimeClass* CXMLArchive::GetRuntimeClassUsingName(const CString& name) const {
    return CRuntimeClass::FromName(name);
}
