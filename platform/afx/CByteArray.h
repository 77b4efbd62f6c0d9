#pragma once

#include "platform/afx/CArray.h"

class CByteArray : public CArray<BYTE, BYTE> {};
