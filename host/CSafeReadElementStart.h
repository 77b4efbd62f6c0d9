#pragma once
// Enters the element the reading cursor stands on, and leaves it when the scope ends.

#include "host/CXMLArchive.h"

class CSafeReadElementStart {
public:
    explicit CSafeReadElementStart(CXMLArchive& ar) : m_ar(ar), m_entered(ar.IntoElement()) {}
    ~CSafeReadElementStart() {
        if (m_entered) {
            m_ar.OutOfElement();
        }
    }
    CSafeReadElementStart(const CSafeReadElementStart&) = delete;
    CSafeReadElementStart& operator=(const CSafeReadElementStart&) = delete;

    bool Entered() const { return m_entered; }

private:
    CXMLArchive& m_ar;
    bool m_entered;
};
