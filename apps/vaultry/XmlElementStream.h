#pragma once
// Reads a large XML file one child of its root at a time: each child's bytes are found by
// their tags (passing over comments, CDATA sections, processing instructions and quoted
// attribute values), parsed by pugixml on their own, and handed to a handler as events, so
// memory holds one child, not the file. pugixml parses in place several times faster than a
// parser that can pause, and a child is small. The file must be UTF-8 and may not declare a
// document type (nor, with it, entities).

#include <cstdio>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "apps/vaultry/XmlElementHandler.h"

namespace vaultry::cli {

class XmlElementStream {
public:
    // Reads up to the root's start. Throws CommandError naming `path` when the file cannot be
    // read or is not XML that far.
    explicit XmlElementStream(const std::string& path);
    XmlElementStream(const XmlElementStream&) = delete;
    XmlElementStream& operator=(const XmlElementStream&) = delete;

    const std::string& RootName() const { return m_rootName; }
    // The root's attribute `name`, empty where it has none.
    std::string RootAttribute(const std::string& name) const;

    // Hands the next child element of the root to `handler`, whole; false after the last.
    // Throws CommandError with the byte where the file stops being well-formed XML, and passes
    // on what the handler throws.
    bool Next(XmlElementHandler& handler);
    // How far the file has been read, in bytes, and its size.
    long long BytesRead() const { return m_bytesRead; }
    long long Size() const { return m_size; }

private:
    static constexpr std::size_t kNotFound = std::string::npos;

    void ReadRootStart();
    // Past white space, comments and processing instructions (and text, within the root) to
    // the next other markup; false at the end of the file.
    bool SkipToMarkup(bool withinRoot);
    // When a comment, processing instruction or (within an element) CDATA section begins at
    // `markup`, the index just past it; kNotFound otherwise.
    std::size_t SkippedEnd(std::size_t markup, bool withinElement);
    // The index just past the child element starting at `start`.
    std::size_t ElementEnd(std::size_t start);
    // The index just past the '>' closing the tag whose '<' is at `start`; quoted values may
    // hold '>'.
    std::size_t TagEnd(std::size_t start);
    // Where `what` next begins at or after `at`, reading on as needed; kNotFound at the end.
    std::size_t Find(std::size_t at, std::string_view what);
    // The byte at `at`, reading on as needed; '\0' past the end.
    char CharAt(std::size_t at);
    // Whether the bytes at `at` begin with `what`, reading on as needed.
    bool StartsWith(std::size_t at, std::string_view what);
    // Reads the next block of the file onto the end of the buffer; false at the end.
    bool ReadMore();
    void Walk(const pugi::xml_node& element, XmlElementHandler& handler, int depth);
    [[noreturn]] void Fail(const std::string& why, std::size_t at) const;

    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::string m_path;
    std::unique_ptr<std::FILE, CloseFile> m_file;
    long long m_size = 0;
    long long m_bytesRead = 0;
    std::vector<char> m_buffer;    // bytes of the file from m_bufferStart on
    std::size_t m_filled = 0;      // of m_buffer
    std::size_t m_position = 0;    // in m_buffer: what comes before was handed out
    long long m_bufferStart = 0;   // the file's offset of m_buffer[0]
    std::size_t m_childStart = 0;  // in m_buffer: of the child being handed out
    bool m_rootEnded = false;
    std::string m_rootName;
    std::map<std::string, std::string> m_rootAttributes;
    pugi::xml_document m_child;
    std::vector<const char*> m_attributes;  // those of the element being started
};

}  // namespace vaultry::cli
