#pragma once

#include "platform/afx/CArray.h"

class CDWordArray : public CArray<DWORD, DWORD> {
public:
    // The count (CArchive::WriteCount), then each element as a 32-bit little-endian number.
    void Serialize(CArchive& ar) override;
};
