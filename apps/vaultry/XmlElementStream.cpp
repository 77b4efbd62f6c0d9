#include "apps/vaultry/XmlElementStream.h"

#include <expat.h>

#include <algorithm>
#include <array>

#include "apps/vaultry/Session.h"

namespace vaultry::cli {
namespace {

constexpr std::size_t kBlock = 1 << 16;

}  // namespace

XmlElementStream::XmlElementStream(const std::string& path)
    : m_path(path), m_file(std::fopen(path.c_str(), "rb")) {
    if (m_file == nullptr) {
        throw CommandError(path + ": cannot be opened");
    }
    if (std::fseek(m_file.get(), 0, SEEK_END) == 0) {
        m_size = std::ftell(m_file.get());
        std::rewind(m_file.get());
    }
    // UTF-8 whatever the file declares: the parts' texts are taken as they stand in it.
    m_parser.reset(XML_ParserCreate("UTF-8"));
    if (m_parser == nullptr) {
        throw CommandError(path + ": out of memory");
    }
    XML_SetUserData(m_parser.get(), this);
    XML_SetElementHandler(m_parser.get(), &OnStart, &OnEnd);
    XML_SetStartDoctypeDeclHandler(m_parser.get(), &OnDoctype);
    while (m_depth == 0 && Feed()) {
    }
}

void XmlElementStream::FreeParser::operator()(XML_ParserStruct* parser) const {
    XML_ParserFree(parser);
}

std::string XmlElementStream::RootAttribute(const std::string& name) const {
    const auto found = m_rootAttributes.find(name);
    return found == m_rootAttributes.end() ? std::string() : found->second;
}

bool XmlElementStream::Next(std::string& name, std::string& text) {
    while (m_complete.empty()) {
        if (!Feed()) {
            return false;
        }
    }
    const Element element = m_complete.front();
    m_complete.pop_front();
    name = element.name;
    text.assign(m_buffer, static_cast<std::size_t>(element.begin - m_bufferStart),
                static_cast<std::size_t>(element.end - element.begin));
    return true;
}

bool XmlElementStream::Feed() {
    if (m_ended) {
        return false;
    }
    std::array<char, kBlock> block;
    const std::size_t read = std::fread(block.data(), 1, block.size(), m_file.get());
    if (std::ferror(m_file.get())) {
        Fail("cannot be read");
    }
    m_ended = read < block.size();
    // What no child of the root needs any more goes before the block joins the buffer. The
    // parser reports a tag only once it has all of it, so a child not yet reported may have
    // begun anywhere after the last one that was.
    long long keep = m_depth >= 2 ? m_open.begin : m_lastChildEnd;
    if (!m_complete.empty()) {
        keep = std::min(keep, m_complete.front().begin);
    }
    m_buffer.erase(0, static_cast<std::size_t>(keep - m_bufferStart));
    m_bufferStart = keep;
    m_buffer.append(block.data(), read);
    if (XML_Parse(m_parser.get(), block.data(), static_cast<int>(read), m_ended) ==
        XML_STATUS_ERROR) {
        Fail(m_refusal.empty() ? XML_ErrorString(XML_GetErrorCode(m_parser.get())) : m_refusal);
    }
    return true;
}

void XmlElementStream::Fail(const std::string& why) const {
    throw CommandError(m_path + ": " + why + " at byte " +
                       std::to_string(XML_GetCurrentByteIndex(m_parser.get())));
}

void XmlElementStream::OnStart(void* self, const char* name, const char** attributes) {
    auto& stream = *static_cast<XmlElementStream*>(self);
    ++stream.m_depth;
    if (stream.m_depth == 1) {
        stream.m_rootName = name;
        stream.m_lastChildEnd = XML_GetCurrentByteIndex(stream.m_parser.get()) +
                                XML_GetCurrentByteCount(stream.m_parser.get());
        for (const char** a = attributes; *a != nullptr; a += 2) {
            stream.m_rootAttributes[a[0]] = a[1];
        }
    } else if (stream.m_depth == 2) {
        const long long begin = XML_GetCurrentByteIndex(stream.m_parser.get());
        stream.m_open = {name, begin, 0};
        stream.m_openTagEnd = begin + XML_GetCurrentByteCount(stream.m_parser.get());
    }
}

void XmlElementStream::OnEnd(void* self, const char*) {
    auto& stream = *static_cast<XmlElementStream*>(self);
    if (stream.m_depth == 2) {
        // An empty-element tag ends where it began, with no bytes of its own.
        const int count = XML_GetCurrentByteCount(stream.m_parser.get());
        stream.m_open.end = count > 0 ? XML_GetCurrentByteIndex(stream.m_parser.get()) + count
                                      : stream.m_openTagEnd;
        stream.m_complete.push_back(stream.m_open);
        stream.m_lastChildEnd = stream.m_open.end;
    }
    --stream.m_depth;
}

void XmlElementStream::OnDoctype(void* self, const char*, const char*, const char*, int) {
    auto& stream = *static_cast<XmlElementStream*>(self);
    stream.m_refusal = "a document type declaration is not allowed";
    XML_StopParser(stream.m_parser.get(), XML_FALSE);
}

}  // namespace vaultry::cli
