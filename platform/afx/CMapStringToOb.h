#pragma once
// Maps texts to objects it does not own (as MFC's): removing an entry frees nothing.

#include "platform/afx/CMap.h"
#include "platform/afx/CString.h"

class CMapStringToOb : public CMap<CString, const CString&, CObject*, CObject*> {};
