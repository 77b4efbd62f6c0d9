#pragma once
// What XmlElementStream tells of one child of the root, as the parser reads it: the child's
// start, the elements and text within it, and its end, with nothing of it kept in between.

#include <cstring>
#include <string_view>

namespace vaultry::cli {

// An element's attributes as the parser hands them over: name, value, name, value, ..., null.
// Valid only during the Start call that passes them.
class XmlAttributes {
public:
    explicit XmlAttributes(const char** pairs) : m_pairs(pairs) {}

    // The value of attribute `name`, or null when the element has none.
    const char* Find(const char* name) const {
        for (const char** pair = m_pairs; *pair != nullptr; pair += 2) {
            // Most names differ in their first letter: a part's file has millions of lookups.
            if (**pair == *name && std::strcmp(*pair, name) == 0) {
                return pair[1];
            }
        }
        return nullptr;
    }

private:
    const char** m_pairs;
};

class XmlElementHandler {
public:
    virtual ~XmlElementHandler() = default;
    // The child of the root first, then each element within it; each is ended before the
    // element that contains it. May throw: the stream stops and passes the exception on.
    virtual void Start(const char* name, const XmlAttributes& attributes) = 0;
    virtual void End() = 0;
    // Character data of the innermost open element, possibly in several pieces.
    virtual void Text(std::string_view text) = 0;
};

}  // namespace vaultry::cli
