#include "host/CRegistry.h"

BOOL CRegistry::ReOpenBaseKey(int, int) {
    m_openKey.Empty();
    m_bOpen = false;
    return TRUE;
}

BOOL CRegistry::Open(const char* key) {
    m_bOpen = m_store->KeyExists(key);
    m_openKey = m_bOpen ? CString(key) : CString();
    return m_bOpen ? TRUE : FALSE;
}

BOOL CRegistry::CreateKey(const char* key) {
    return m_store->CreateKey(key) ? TRUE : FALSE;
}

BOOL CRegistry::Read(const char* name, CString& value) {
    const auto stored = m_bOpen ? m_store->Read(m_openKey, name) : std::nullopt;
    const CString* text = stored ? std::get_if<CString>(&*stored) : nullptr;
    if (text == nullptr) {
        return FALSE;
    }
    value = *text;
    return TRUE;
}

BOOL CRegistry::Read(const char* name, unsigned long& value) {
    const auto stored = m_bOpen ? m_store->Read(m_openKey, name) : std::nullopt;
    const unsigned long* number = stored ? std::get_if<unsigned long>(&*stored) : nullptr;
    if (number == nullptr) {
        return FALSE;
    }
    value = *number;
    return TRUE;
}

BOOL CRegistry::Write(const char* name, const char* value) {
    return m_bOpen && m_store->Write(m_openKey, name, CString(value)) ? TRUE : FALSE;
}

BOOL CRegistry::Write(const char* name, unsigned long value) {
    return m_bOpen && m_store->Write(m_openKey, name, value & 0xFFFFFFFFUL) ? TRUE : FALSE;
}
