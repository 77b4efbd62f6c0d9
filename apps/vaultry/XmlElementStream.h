#pragma once
// Reads a large XML file one child of its root at a time: each child element comes as its own
// text, which a document reader then parses by itself, so memory holds one child, not the
// file. The file must be UTF-8 and may not declare a document type (nor, with it, entities).

#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>

struct XML_ParserStruct;

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

    // The next child element of the root, its name and its whole text; false after the last.
    // Throws CommandError with the byte where the file stops being well-formed XML.
    bool Next(std::string& name, std::string& text);
    // How far the file has been read, in bytes, and its size.
    long long BytesRead() const { return m_bufferStart + static_cast<long long>(m_buffer.size()); }
    long long Size() const { return m_size; }

private:
    struct Element {
        std::string name;
        long long begin;
        long long end;
    };

    // Feeds the parser the next block of the file; false once the file is read to its end.
    bool Feed();
    void Fail(const std::string& why) const;
    static void OnStart(void* self, const char* name, const char** attributes);
    static void OnEnd(void* self, const char* name);
    static void OnDoctype(void* self, const char*, const char*, const char*, int);

    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    struct FreeParser {
        void operator()(XML_ParserStruct* parser) const;
    };

    std::string m_path;
    std::unique_ptr<std::FILE, CloseFile> m_file;
    std::unique_ptr<XML_ParserStruct, FreeParser> m_parser;
    long long m_size = 0;
    bool m_ended = false;   // the whole file was fed
    std::string m_refusal;  // why the parser was stopped, when it was
    int m_depth = 0;
    std::string m_rootName;
    std::map<std::string, std::string> m_rootAttributes;
    Element m_open{};  // the child of the root being read
    long long m_openTagEnd = 0;
    long long m_lastChildEnd = 0;  // or the root's start tag's, before the first child
    std::deque<Element> m_complete;
    // The bytes of the file from m_bufferStart on that a complete or open child may still need.
    std::string m_buffer;
    long long m_bufferStart = 0;
};

}  // namespace vaultry::cli
