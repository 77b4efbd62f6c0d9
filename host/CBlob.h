#pragma once
// A block of bytes as the drawing engine hands parts and data blocks to the library: the bytes
// (allocated with new[], freed by the destructor) and their count. Whoever holds the pointer
// to a CBlob owns it, as each operation that takes or returns one states.

#include "platform/afx/AfxTypes.h"

class CBlob {
public:
    CBlob() = default;
    // A copy of `size` bytes from `data`.
    CBlob(const BYTE* data, DWORD size);
    virtual ~CBlob() { delete[] m_pData; }
    CBlob(const CBlob&) = delete;
    CBlob& operator=(const CBlob&) = delete;

    // True when `other` holds the same bytes; a null `other` is never the same.
    bool IsSame(const CBlob* other) const;

    BYTE* m_pData = nullptr;  // owned
    DWORD m_nSize = 0;
};
