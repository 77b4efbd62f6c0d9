#pragma once
// Reads a large XML file one child of its root at a time, in one pass: the parser hands each
// child's elements to a handler as it reads them and pauses at the child's end, so memory
// holds what the handler builds of one child, not the file. The file must be UTF-8 and may
// not declare a document type (nor, with it, entities).

#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <string>

#include "apps/vaultry/XmlElementHandler.h"

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

    // Hands the next child element of the root to `handler`, whole; false after the last.
    // Throws CommandError with the byte where the file stops being well-formed XML, and passes
    // on what the handler throws.
    bool Next(XmlElementHandler& handler);
    // How far the file has been read, in bytes, and its size.
    long long BytesRead() const { return m_bytesRead; }
    long long Size() const { return m_size; }

private:
    // Parses until the parser pauses at the end of a child (or of the root's start tag);
    // false when the file ended first.
    bool ParseToPause();
    // Feeds the parser the next block of the file; false once the whole file was fed.
    bool Feed();
    void Check(int status);
    [[noreturn]] void Fail(const std::string& why) const;
    static void OnStart(void* self, const char* name, const char** attributes);
    static void OnEnd(void* self, const char* name);
    static void OnText(void* self, const char* text, int length);
    static void OnDoctype(void* self, const char*, const char*, const char*, int);
    // Stops the parser for good with what a handler threw.
    void Abandon(std::exception_ptr error);

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
    long long m_bytesRead = 0;
    bool m_ended = false;      // the whole file was fed
    bool m_suspended = false;  // the parser paused within what it was fed
    std::string m_refusal;     // why the parser was stopped, when it was
    std::exception_ptr m_handlerError;
    int m_depth = 0;
    std::string m_rootName;
    std::map<std::string, std::string> m_rootAttributes;
    XmlElementHandler* m_handler = nullptr;  // during Next only; the caller's
};

}  // namespace vaultry::cli
