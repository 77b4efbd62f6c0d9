#include "host/CPoolStringStorage.h"

#include "host/CSafeReadElementStart.h"
#include "host/CSafeStartAndEndElement.h"

CPoolStringStorage::CPoolStringStorage(int initialSize) {
    if (initialSize > 0) {
        m_texts.reserve(static_cast<std::size_t>(initialSize));
    }
}

void CPoolStringStorage::Init(const CPoolStringStorage& other) {
    m_texts = other.m_texts;
    m_index = other.m_index;
}

void CPoolStringStorage::DeleteAll() {
    m_texts.clear();
    m_index.clear();
}

int CPoolStringStorage::Add(const CString& text) {
    const auto [it, added] = m_index.emplace(text, static_cast<int>(m_texts.size()));
    if (added) {
        m_texts.push_back(text);
    }
    return it->second;
}

const CString* CPoolStringStorage::Get(int index) const {
    return index >= 0 && index < GetCount() ? &m_texts[static_cast<std::size_t>(index)] : nullptr;
}

void CPoolStringStorage::XMLSerialize(CXMLArchive& ar, void*) {
    if (ar.IsStoring()) {
        CSafeStartAndEndElement pool(ar, "StringPool");
        for (const CString& text : m_texts) {
            CSafeStartAndEndElement element(ar, "String");
            ar.WriteAttribute("Text", text);
        }
        return;
    }
    if (!ar.ReadElementHeader("StringPool")) {
        return;
    }
    DeleteAll();
    {
        CSafeReadElementStart inside(ar);
        for (bool more = ar.HasElement(); more && ar.IsElementName("String");
             more = ar.GetNextElem()) {
            const CString text = ar.ReadAttribute("Text", CString());
            m_index.emplace(text, static_cast<int>(m_texts.size()));
            m_texts.push_back(text);
        }
    }
    ar.GetNextElem();
}
