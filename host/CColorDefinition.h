#pragma once
// The colours of a document: each with an id, a name and an RGB value.

#include <cstdint>
#include <vector>

#include "platform/afx/CString.h"

class CXMLArchive;

struct ColorInfo {
    long id = 0;
    CString name;
    std::uint32_t rgb = 0;  // 0xRRGGBB

    bool operator==(const ColorInfo& other) const = default;
};

class CColorDefinition {
public:
    void Init(const CColorDefinition& other) { m_colors = other.m_colors; }
    void DeleteAll() { m_colors.clear(); }
    // Writes element "ColorDefinition" with one "Color" (Id, Name, RGB as six hex digits) per
    // colour; reading replaces the colours with those at the cursor and moves past it.
    void XMLSerialize(CXMLArchive& ar, void* context);

    void Add(const ColorInfo& color) { m_colors.push_back(color); }
    int GetCount() const { return static_cast<int>(m_colors.size()); }
    const ColorInfo& GetColor(int index) const {
        return m_colors.at(static_cast<std::size_t>(index));
    }
    const ColorInfo* FindById(long id) const;
    // The colour of the same name (ignoring case); else the first; null when there is none.
    const ColorInfo* FindMatch(const ColorInfo& color) const;

    bool operator==(const CColorDefinition& other) const { return m_colors == other.m_colors; }

private:
    std::vector<ColorInfo> m_colors;
};
