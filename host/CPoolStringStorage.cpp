#include "host/CPoolStringStorage.h"

#include <algorithm>

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
    std::size_t index = m_texts.size();
    if (m_index.empty()) {
        index = static_cast<std::size_t>(std::find(m_texts.begin(), m_texts.end(), text) -
                                         m_texts.begin());
    } else if (const auto found = m_index.find(text); found != m_index.end()) {
        index = static_cast<std::size_t>(found->second);
    }
    if (index == m_texts.size()) {
        m_texts.push_back(text);
        if (!m_index.empty()) {
            m_index.emplace(text, static_cast<int>(index));
        } else {
            IndexWhenMany();
        }
    }
    return static_cast<int>(index);
}

void CPoolStringStorage::IndexWhenMany() {
    if (!m_index.empty() || m_texts.size() <= kScannedTexts) {
        return;
    }
    for (std::size_t i = 0; i < m_texts.size(); ++i) {
        m_index.emplace(m_texts[i], static_cast<int>(i));
    }
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
            m_texts.push_back(ar.ReadAttribute("Text", CString()));
        }
    }
    IndexWhenMany();
    ar.GetNextElem();
}
