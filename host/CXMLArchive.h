#pragma once
// The host's XML archive: an element tree written to or read from a CFile, as plain XML text
// (beginning "<?xml version=\"1.0\"") or compressed (the marker text "CompressedTalvessaXML",
// then a zlib stream of the same text).
//
// Reading walks the tree with a cursor: inside the element last entered (at first, the
// document), the cursor stands on one child element. ReadElementHeader, IsElementName,
// IsAttribute and ReadAttribute look at that child; IntoElement enters it (the cursor goes to
// its first child element), OutOfElement returns to it, GetNextElem moves to the next sibling.
// Reading the root element's header also enters it, since everything an archive holds lies
// inside its one root. A damaged or hostile file reads as an empty tree (IsReadable says so):
// every header check fails and nothing is read.

#include <memory>
#include <string>
#include <vector>

#include "platform/afx/CObject.h"
#include "platform/afx/CString.h"

class CFile;
class CKVStatusBar;

namespace pugi {
class xml_document;
class xml_node;
}  // namespace pugi

class CXMLArchive {
public:
    static constexpr const char* kCompressedMarker = "CompressedTalvessaXML";
    static constexpr const char* kPlainMarker = "<?xml version=\"1.0\"";

    // `file` (not owned) is read whole at once when reading, and written by Close when
    // writing. `path` and `name`, and the flags after `compressed`, are kept for the host's
    // signature.
    CXMLArchive(const CString& path, const CString& name, CFile* file, bool writing,
                bool compressed, bool cached = true, CKVStatusBar* statusBar = nullptr,
                bool binary = false);
    virtual ~CXMLArchive();
    CXMLArchive(const CXMLArchive&) = delete;
    CXMLArchive& operator=(const CXMLArchive&) = delete;

    bool IsStoring() const { return m_writing; }
    bool IsLoading() const { return !m_writing; }
    // False when the file held no readable tree.
    bool IsReadable() const { return m_readable; }

    // Writing. The text is compact: elements follow one another without layout, unless a
    // writer lays them out itself with WriteIndentation.
    void SaveHeader();
    // Opens element `name` inside the open one; it is the open one until WriteElementEnd.
    virtual void WriteElementStart(const CString& name);
    // The step of WriteElementStart that opens the element and makes it the open one; the text
    // archive does nothing more.
    virtual void PushElement(const CString& name);
    // A line break and two blanks per open element, as text inside the open element, so that
    // what follows starts on a line of its own at its depth.
    virtual void WriteIndentation();
    virtual void WriteElementEnd(const CString& name);
    virtual void WriteAttribute(const CString& name, const CString& value);
    virtual void WriteAttribute(const CString& name, long value);
    virtual void WriteAttribute(const CString& name, double value);
    // Writes the tree into the file (writing) and ends the archive; later calls do nothing.
    // Throws CFileException when the file cannot take it.
    void Close();

    // Reading.
    bool ReadElementHeader(const CString& name);
    bool IntoElement();
    bool OutOfElement();
    bool GetNextElem();
    bool IsElementName(const CString& name) const;
    bool HasElement() const;
    bool IsAttribute(const CString& name, const CString& value) const;
    CString ReadAttribute(const CString& name, const CString& defaultValue) const;
    long ReadAttribute(const CString& name, long defaultValue) const;
    double ReadAttribute(const CString& name, double defaultValue) const;
    // The run-time class registered under `name`, or null.
    const CRuntimeClass* GetRuntimeClassUsingName(const CString& name) const;

    // The uncompressed text of the largest tree an archive will read.
    static constexpr std::size_t kLargestText = 64 * 1024 * 1024;

private:
    void Load();
    std::string SerializedText() const;
    pugi::xml_node Current() const;

    CFile* m_file;
    bool m_writing;
    bool m_compressed;
    bool m_readable = true;
    bool m_closed = false;
    std::unique_ptr<pugi::xml_document> m_document;
    // Writing: the elements opened and not yet closed. Reading: the entered elements, each
    // with the child the cursor stands on inside it.
    struct Level;
    std::vector<Level> m_levels;
};
