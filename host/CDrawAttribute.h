#pragma once
// A tagged text attribute of a drawing object ("KV_REFDES" for the reference designator,
// "LIBRARYTREEID" for a wanted library category, ...).

#include "platform/afx/CString.h"

inline constexpr const char* KV_REFDES = "KV_REFDES";

class CDrawAttribute {
public:
    CDrawAttribute(const CString& tag, const CString& value) : m_strTag(tag), m_strValue(value) {}

    const CString& GetTag() const { return m_strTag; }
    const CString& GetValue() const { return m_strValue; }
    void SetValue(const CString& value) { m_strValue = value; }

private:
    CString m_strTag;
    CString m_strValue;
};

// Turns a reference designator into its question-mark form in place: the trailing number goes
// ("U12" becomes "U?", "R1A" stays "R1A" as it does not end in a number); a text that is all
// digits or empty stays as it is.
void MakeQuestionMarkString(CString& designator);
