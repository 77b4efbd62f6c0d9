#pragma once
// A pool of texts, each stored once and reached by its index. The part encoder keeps the names
// and attribute texts of a part here while it writes them.

#include <unordered_map>
#include <vector>

#include "platform/afx/CString.h"

class CXMLArchive;

class CPoolStringStorage {
public:
    // `initialSize` reserves room for that many texts.
    explicit CPoolStringStorage(int initialSize = 0);

    void Init(const CPoolStringStorage& other);
    void DeleteAll();
    // Writes element "StringPool" with one "String" (Text) per text, in index order; reading
    // replaces the texts with those at the cursor and moves past it.
    void XMLSerialize(CXMLArchive& ar, void* context);

    // The index of `text`, added when new.
    int Add(const CString& text);
    // The text at `index`; null when out of range.
    const CString* Get(int index) const;
    int GetCount() const { return static_cast<int>(m_texts.size()); }
    // The texts, in index order.
    const std::vector<CString>& Texts() const { return m_texts; }

private:
    // A part uses a dozen texts or so, mostly short: looking through them costs less than
    // hashing each and allocating a node for it. Past this many they are indexed.
    static constexpr std::size_t kScannedTexts = 32;

    void IndexWhenMany();

    std::vector<CString> m_texts;
    std::unordered_map<CString, int> m_index;  // of the first of equal texts, once there are many
};
