#include "apps/vaultry/XmlElementStream.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "apps/vaultry/Session.h"

namespace vaultry::cli {
namespace {

constexpr std::size_t kBlock = 1 << 16;
// A part nests a few elements deep; a file nesting far deeper is no interchange file, and
// handing it over would recurse as deep.
constexpr int kDeepest = 64;
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata;

// Markup the search for a child's end passes over whole: it may hold '<' and '>'.
struct Skipped {
    std::string_view opening;
    std::string_view ending;
    bool isText;  // character data, met only within an element
};
constexpr Skipped kSkipped[] = {
    {"<!--", "-->", false}, {"<?", "?>", false}, {"<![CDATA[", "]]>", true}};

// What stops the scan of a tag outside quoted values.
constexpr std::array<bool, 256> kEndsTagRun = [] {
    std::array<bool, 256> ends{};
    ends['>'] = ends['"'] = ends['\''] = true;
    return ends;
}();

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

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
    if (StartsWith(0, "\xEF\xBB\xBF")) {
        m_position = 3;  // the byte order mark UTF-8 may begin with
    }
    ReadRootStart();
}

std::string XmlElementStream::RootAttribute(const std::string& name) const {
    const auto found = m_rootAttributes.find(name);
    return found == m_rootAttributes.end() ? std::string() : found->second;
}

// UTF-8 whatever the file declares: the parts' texts are taken as they stand in it.
void XmlElementStream::ReadRootStart() {
    if (!SkipToMarkup(false)) {
        Fail("no element found", m_filled);
    }
    if (StartsWith(m_position, "<!DOCTYPE")) {
        Fail("a document type declaration is not allowed", m_position);
    }
    if (StartsWith(m_position, "<!") || StartsWith(m_position, "</")) {
        Fail("not well-formed (invalid token)", m_position);
    }
    const std::size_t end = TagEnd(m_position);
    std::string tag(m_buffer.data() + m_position, end - m_position);
    m_rootEnded = tag.size() >= 2 && tag[tag.size() - 2] == '/';
    if (!m_rootEnded) {
        tag.insert(tag.size() - 1, "/");
    }
    pugi::xml_document root;
    const pugi::xml_parse_result parsed =
        root.load_buffer(tag.data(), tag.size(), kParseOptions, pugi::encoding_utf8);
    if (!parsed) {
        Fail(parsed.description(), m_position + static_cast<std::size_t>(parsed.offset));
    }
    m_rootName = root.first_child().name();
    for (const pugi::xml_attribute& attribute : root.first_child().attributes()) {
        m_rootAttributes[attribute.name()] = attribute.value();
    }
    m_position = end;
    if (m_rootEnded && SkipToMarkup(false)) {
        Fail("junk after document element", m_position);
    }
}

bool XmlElementStream::Next(XmlElementHandler& handler) {
    if (m_rootEnded) {
        return false;
    }
    if (m_position >= kBlock) {  // what was handed out goes; a block's worth at a time
        std::memmove(m_buffer.data(), m_buffer.data() + m_position, m_filled - m_position);
        m_bufferStart += static_cast<long long>(m_position);
        m_filled -= m_position;
        m_position = 0;
    }
    if (!SkipToMarkup(true)) {
        Fail("the file ends before its root element <" + m_rootName + "> does", m_filled);
    }
    if (StartsWith(m_position, "</")) {
        const std::size_t end = TagEnd(m_position);
        std::string_view name(m_buffer.data() + m_position + 2, end - m_position - 3);
        while (!name.empty() && IsSpace(name.back())) {
            name.remove_suffix(1);
        }
        if (name != m_rootName) {
            Fail("mismatched tag", m_position);
        }
        m_rootEnded = true;
        m_position = end;
        if (SkipToMarkup(false)) {
            Fail("junk after document element", m_position);
        }
        return false;
    }
    if (StartsWith(m_position, "<!")) {
        Fail("not well-formed (invalid token)", m_position);
    }
    const std::size_t start = m_position;
    const std::size_t end = ElementEnd(start);
    // Parsed where it lies: nothing is read into the buffer until the child was handed out.
    const pugi::xml_parse_result parsed = m_child.load_buffer_inplace(
        m_buffer.data() + start, end - start, kParseOptions, pugi::encoding_utf8);
    if (!parsed) {
        Fail(parsed.description(), start + static_cast<std::size_t>(parsed.offset));
    }
    m_position = end;
    m_childStart = start;
    Walk(m_child.first_child(), handler, 1);
    return true;
}

bool XmlElementStream::SkipToMarkup(bool withinRoot) {
    for (;;) {
        const std::size_t markup = Find(m_position, "<");
        const std::size_t text = markup == kNotFound ? m_filled : markup;
        for (std::size_t at = m_position; !withinRoot && at < text; ++at) {
            if (!IsSpace(m_buffer[at])) {
                Fail(
                    m_rootEnded ? "junk after document element" : "not well-formed (invalid token)",
                    at);
            }
        }
        m_position = text;
        if (markup == kNotFound) {
            return false;
        }
        const std::size_t end = SkippedEnd(markup, withinRoot);
        if (end == kNotFound) {
            return true;
        }
        m_position = end;
    }
}

std::size_t XmlElementStream::SkippedEnd(std::size_t markup, bool withinElement) {
    for (const auto& [opening, ending, isText] : kSkipped) {
        if ((withinElement || !isText) && StartsWith(markup, opening)) {
            const std::size_t end = Find(markup + opening.size(), ending);
            if (end == kNotFound) {
                Fail("unclosed token", markup);
            }
            return end + ending.size();
        }
    }
    return kNotFound;
}

std::size_t XmlElementStream::ElementEnd(std::size_t start) {
    int depth = 0;
    for (std::size_t at = start;;) {
        at = Find(at, "<");
        if (at == kNotFound) {
            Fail("the file ends within the element that begins here", start);
        }
        const char next = CharAt(at + 1);
        if (next == '!' || next == '?') {
            const std::size_t skipped = SkippedEnd(at, true);
            if (skipped == kNotFound) {
                Fail("not well-formed (invalid token)", at);
            }
            at = skipped;
            continue;
        }
        at = TagEnd(at);
        if (next == '/') {
            --depth;
        } else if (m_buffer[at - 2] != '/') {
            ++depth;
        }
        if (depth == 0) {
            return at;
        }
    }
}

// Tags are most of a file, so the scan goes a byte at a time with as little as it can: the
// byte after those read is set to what each loop stops at, sparing a test for the end.
std::size_t XmlElementStream::TagEnd(std::size_t start) {
    char quote = 0;
    for (std::size_t at = start + 1;;) {
        if (m_buffer.size() <= m_filled) {
            m_buffer.resize(m_filled + 1);
        }
        char* const data = m_buffer.data();
        char* const end = data + m_filled;
        for (char* p = data + at;;) {
            if (quote != 0) {
                *end = quote;
                while (*p != quote) {
                    ++p;
                }
                if (p == end) {
                    break;
                }
                quote = 0;
                ++p;
            }
            *end = '>';
            while (!kEndsTagRun[static_cast<unsigned char>(*p)]) {
                ++p;
            }
            if (p == end) {
                break;
            }
            if (*p == '>') {
                return static_cast<std::size_t>(p - data) + 1;
            }
            quote = *p++;
        }
        at = m_filled;
        if (!ReadMore()) {
            Fail("unclosed token", start);
        }
    }
}

char XmlElementStream::CharAt(std::size_t at) {
    while (m_filled <= at) {
        if (!ReadMore()) {
            return '\0';
        }
    }
    return m_buffer[at];
}

std::size_t XmlElementStream::Find(std::size_t at, std::string_view what) {
    for (;;) {
        const std::size_t found = std::string_view(m_buffer.data(), m_filled).find(what, at);
        if (found != kNotFound) {
            return found;
        }
        // A match may begin in what was read and end in what is read next.
        at = std::max(at, m_filled >= what.size() ? m_filled - what.size() + 1 : 0);
        if (!ReadMore()) {
            return kNotFound;
        }
    }
}

bool XmlElementStream::StartsWith(std::size_t at, std::string_view what) {
    while (m_filled < at + what.size()) {
        if (!ReadMore()) {
            return false;
        }
    }
    return std::memcmp(m_buffer.data() + at, what.data(), what.size()) == 0;
}

bool XmlElementStream::ReadMore() {
    if (m_buffer.size() < m_filled + kBlock) {
        m_buffer.resize(m_filled + kBlock);
    }
    const std::size_t read = std::fread(m_buffer.data() + m_filled, 1, kBlock, m_file.get());
    if (std::ferror(m_file.get())) {
        Fail("cannot be read", m_filled);
    }
    m_filled += read;
    m_bytesRead += static_cast<long long>(read);
    return read > 0;
}

void XmlElementStream::Walk(const pugi::xml_node& element, XmlElementHandler& handler, int depth) {
    if (depth > kDeepest) {
        Fail("elements nested more than " + std::to_string(kDeepest) + " deep", m_childStart);
    }
    m_attributes.clear();
    for (const pugi::xml_attribute& attribute : element.attributes()) {
        m_attributes.push_back(attribute.name());
        m_attributes.push_back(attribute.value());
    }
    m_attributes.push_back(nullptr);
    handler.Start(element.name(), XmlAttributes(m_attributes.data()));
    for (const pugi::xml_node& child : element.children()) {
        if (child.type() == pugi::node_element) {
            Walk(child, handler, depth + 1);
        } else if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            handler.Text(child.value());
        }
    }
    handler.End();
}

void XmlElementStream::Fail(const std::string& why, std::size_t at) const {
    throw CommandError(m_path + ": " + why + " at byte " +
                       std::to_string(m_bufferStart + static_cast<long long>(at)));
}

}  // namespace vaultry::cli
