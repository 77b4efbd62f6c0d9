#pragma once
// Builds what one child of an interchange file's root holds, the definitions of a document
// type or a part, from XmlElementStream's events as the parser reads them. Each element is
// read once, straight into the objects; anything else in the file is passed over.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "apps/vaultry/Interchange.h"
#include "apps/vaultry/Session.h"
#include "apps/vaultry/XmlElementHandler.h"

namespace vaultry::cli {

// What is wrong with an element, without the file's name, which the reader of the file adds.
class MalformedElement : public CommandError {
public:
    using CommandError::CommandError;
};

// False unless `text` is a whole number, all of it.
bool WholeNumber(std::string_view text, long& value);

class InterchangeElementReader : public XmlElementHandler {
public:
    enum class Kind { kOther, kDefinitions, kPart };

    // With `partsToo` false, parts are passed over unread.
    explicit InterchangeElementReader(bool partsToo = true) : m_partsToo(partsToo) {}

    // What the element read last was.
    Kind WhatWasRead() const { return m_kind; }
    // The document type of the definitions or part read last.
    const std::string& DocType() const { return m_docType; }
    InterchangeDefinitions TakeDefinitions() { return std::move(m_definitions); }
    InterchangePart TakePart() { return {m_docType, m_category, std::move(m_group)}; }

    // Throw MalformedElement naming the element and what is wrong with it.
    void Start(const char* name, const XmlAttributes& attributes) override;
    void End() override;
    void Text(std::string_view text) override;

private:
    // An element being read: the object it makes, if any.
    struct Open {
        bool read = false;                                     // false: its content is passed over
        CDrawObject* object = nullptr;                         // owned by the part's group
        CDrwGroup* group = nullptr;                            // the object, when a group
        int groupDepth = 0;                                    // groups around it within the part
        CDrwText* text = nullptr;                              // the object, when a text
        std::vector<std::pair<long, long>>* points = nullptr;  // where its <point>s go
    };

    void StartChildOfRoot(const char* name, const XmlAttributes& attributes);
    Open StartWithin(const Open& parent, const char* name, const XmlAttributes& attributes);
    Open StartObject(CDrwGroup& parent, int depth, const char* name,
                     const XmlAttributes& attributes);
    std::unique_ptr<CDrawObject> ReadShape(const char* kind, const XmlAttributes& attributes,
                                           Open& open);
    void ReadDefinition(const char* name, const XmlAttributes& attributes);
    void EndTextRun();

    bool m_partsToo;
    Kind m_kind = Kind::kOther;
    std::string m_docType;
    std::string m_category;
    InterchangeDefinitions m_definitions;
    std::unique_ptr<CDrwGroup> m_group;
    std::vector<Open> m_open;  // the child of the root first
    // A text object's value is its first run of character data that is not only white space.
    std::string m_textRun;
    bool m_textTaken = false;
};

}  // namespace vaultry::cli
