#pragma once
// Writes an element's start now and its end when the scope ends.

#include "host/CXMLArchive.h"

class CSafeStartAndEndElement {
public:
    CSafeStartAndEndElement(CXMLArchive& ar, const CString& name) : m_ar(ar), m_name(name) {
        m_ar.WriteElementStart(m_name);
    }
    ~CSafeStartAndEndElement() { m_ar.WriteElementEnd(m_name); }
    CSafeStartAndEndElement(const CSafeStartAndEndElement&) = delete;
    CSafeStartAndEndElement& operator=(const CSafeStartAndEndElement&) = delete;

private:
    CXMLArchive& m_ar;
    CString m_name;
};
