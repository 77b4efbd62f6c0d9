#include "apps/vaultry/XmlElementStream.h"

#include <expat.h>

#include <utility>

#include "apps/vaultry/Session.h"

namespace vaultry::cli {
namespace {

constexpr int kBlock = 1 << 16;

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
    XML_SetCharacterDataHandler(m_parser.get(), &OnText);
    XML_SetStartDoctypeDeclHandler(m_parser.get(), &OnDoctype);
    ParseToPause();  // at the root's start tag: a file without a root fails in the parser
}

void XmlElementStream::FreeParser::operator()(XML_ParserStruct* parser) const {
    XML_ParserFree(parser);
}

std::string XmlElementStream::RootAttribute(const std::string& name) const {
    const auto found = m_rootAttributes.find(name);
    return found == m_rootAttributes.end() ? std::string() : found->second;
}

bool XmlElementStream::Next(XmlElementHandler& handler) {
    m_handler = &handler;
    try {
        const bool found = ParseToPause();
        m_handler = nullptr;
        return found;
    } catch (...) {
        m_handler = nullptr;
        throw;
    }
}

bool XmlElementStream::ParseToPause() {
    if (m_suspended) {
        m_suspended = false;
        Check(XML_ResumeParser(m_parser.get()));
        if (m_suspended) {
            return true;
        }
    }
    while (Feed()) {
        if (m_suspended) {
            return true;
        }
    }
    return false;
}

bool XmlElementStream::Feed() {
    if (m_ended) {
        return false;
    }
    // The parser's own buffer: a pause leaves the rest of the block there for the resumption.
    void* block = XML_GetBuffer(m_parser.get(), kBlock);
    if (block == nullptr) {
        Fail("out of memory");
    }
    const std::size_t read = std::fread(block, 1, kBlock, m_file.get());
    if (std::ferror(m_file.get())) {
        Fail("cannot be read");
    }
    m_ended = read < static_cast<std::size_t>(kBlock);
    m_bytesRead += static_cast<long long>(read);
    Check(XML_ParseBuffer(m_parser.get(), static_cast<int>(read), m_ended));
    return true;
}

void XmlElementStream::Check(int status) {
    if (status == XML_STATUS_SUSPENDED) {
        m_suspended = true;
    } else if (status == XML_STATUS_ERROR) {
        if (m_handlerError) {
            std::rethrow_exception(std::exchange(m_handlerError, nullptr));
        }
        Fail(m_refusal.empty() ? XML_ErrorString(XML_GetErrorCode(m_parser.get())) : m_refusal);
    }
}

void XmlElementStream::Fail(const std::string& why) const {
    throw CommandError(m_path + ": " + why + " at byte " +
                       std::to_string(XML_GetCurrentByteIndex(m_parser.get())));
}

void XmlElementStream::Abandon(std::exception_ptr error) {
    m_handlerError = std::move(error);
    XML_StopParser(m_parser.get(), XML_FALSE);
}

// Events after a handler failed are dropped: the parser may still report the end of an empty
// element after being stopped.
void XmlElementStream::OnStart(void* self, const char* name, const char** attributes) {
    auto& stream = *static_cast<XmlElementStream*>(self);
    ++stream.m_depth;
    if (stream.m_depth == 1) {
        stream.m_rootName = name;
        for (const char** a = attributes; *a != nullptr; a += 2) {
            stream.m_rootAttributes[a[0]] = a[1];
        }
        XML_StopParser(stream.m_parser.get(), XML_TRUE);
    } else if (!stream.m_handlerError) {
        try {
            stream.m_handler->Start(name, XmlAttributes(attributes));
        } catch (...) {
            stream.Abandon(std::current_exception());
        }
    }
}

void XmlElementStream::OnEnd(void* self, const char*) {
    auto& stream = *static_cast<XmlElementStream*>(self);
    if (stream.m_depth >= 2 && !stream.m_handlerError) {
        try {
            stream.m_handler->End();
            if (stream.m_depth == 2) {
                XML_StopParser(stream.m_parser.get(), XML_TRUE);
            }
        } catch (...) {
            stream.Abandon(std::current_exception());
        }
    }
    --stream.m_depth;
}

void XmlElementStream::OnText(void* self, const char* text, int length) {
    auto& stream = *static_cast<XmlElementStream*>(self);
    if (stream.m_depth >= 2 && !stream.m_handlerError) {
        try {
            stream.m_handler->Text(std::string_view(text, static_cast<std::size_t>(length)));
        } catch (...) {
            stream.Abandon(std::current_exception());
        }
    }
}

void XmlElementStream::OnDoctype(void* self, const char*, const char*, const char*, int) {
    auto& stream = *static_cast<XmlElementStream*>(self);
    stream.m_refusal = "a document type declaration is not allowed";
    XML_StopParser(stream.m_parser.get(), XML_FALSE);
}

}  // namespace vaultry::cli
