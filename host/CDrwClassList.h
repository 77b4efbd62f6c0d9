#pragma once
// The classes of the drawing objects an encoder has written, each with a small index that
// stands for the class in the encoded bytes.

#include <vector>

#include "platform/afx/CObject.h"
#include "platform/afx/CString.h"

class CXMLArchive;

class CDrwClassList {
public:
    void Init(const CDrwClassList& other) { m_classes = other.m_classes; }
    void DeleteAll() { m_classes.clear(); }
    void RemoveAll() { m_classes.clear(); }
    // Writes element "ClassList" with one "Class" (Name) per class; reading replaces the list
    // with the classes named at the cursor that are known here, and moves past it.
    void XMLSerialize(CXMLArchive& ar, void* context);

    // The index of `cls`, added when new.
    int Register(const CRuntimeClass* cls);
    // The class at `index`, or null.
    const CRuntimeClass* Get(int index) const;
    int GetCount() const { return static_cast<int>(m_classes.size()); }

private:
    std::vector<const CRuntimeClass*> m_classes;
};
