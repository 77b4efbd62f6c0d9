#include "host/CBlob.h"

#include <cstring>

CBlob::CBlob(const BYTE* data, DWORD size)
    : m_pData(size ? new BYTE[size] : nullptr), m_nSize(size) {
    if (size != 0) {
        std::memcpy(m_pData, data, size);
    }
}

bool CBlob::IsSame(const CBlob* other) const {
    return other != nullptr && other->m_nSize == m_nSize &&
           (m_nSize == 0 || std::memcmp(other->m_pData, m_pData, m_nSize) == 0);
}
