#pragma once

#include "platform/afx/CArray.h"
#include "platform/afx/CString.h"

class CStringArray : public CArray<CString, const CString&> {};
