#include "host/CColorDefinition.h"

#include <cstdlib>

#include "host/CSafeReadElementStart.h"
#include "host/CSafeStartAndEndElement.h"

void CColorDefinition::XMLSerialize(CXMLArchive& ar, void*) {
    if (ar.IsStoring()) {
        CSafeStartAndEndElement definition(ar, "ColorDefinition");
        for (const ColorInfo& color : m_colors) {
            CSafeStartAndEndElement element(ar, "Color");
            ar.WriteAttribute("Id", color.id);
            ar.WriteAttribute("Name", color.name);
            CString rgb;
            rgb.Format("%06X", static_cast<unsigned>(color.rgb & 0xFFFFFF));
            ar.WriteAttribute("RGB", rgb);
        }
        return;
    }
    if (!ar.ReadElementHeader("ColorDefinition")) {
        return;
    }
    m_colors.clear();
    {
        CSafeReadElementStart inside(ar);
        for (bool more = ar.HasElement(); more && ar.IsElementName("Color");
             more = ar.GetNextElem()) {
            ColorInfo color;
            color.id = ar.ReadAttribute("Id", 0L);
            color.name = ar.ReadAttribute("Name", CString());
            color.rgb = static_cast<std::uint32_t>(
                std::strtoul(ar.ReadAttribute("RGB", CString("0")), nullptr, 16) & 0xFFFFFF);
            m_colors.push_back(color);
        }
    }
    ar.GetNextElem();
}

const ColorInfo* CColorDefinition::FindById(long id) const {
    for (const ColorInfo& color : m_colors) {
        if (color.id == id) {
            return &color;
        }
    }
    return nullptr;
}

const ColorInfo* CColorDefinition::FindMatch(const ColorInfo& wanted) const {
    for (const ColorInfo& color : m_colors) {
        if (color.name.CompareNoCase(wanted.name) == 0) {
            return &color;
        }
    }
    return m_colors.empty() ? nullptr : &m_colors.front();
}
