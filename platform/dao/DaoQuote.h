#pragma once
// Puts values into Jet SQL safely. Every name or text that reaches a filter goes through
// these, never between quotes as it stands.

#include "platform/afx/CString.h"

namespace vaultry::dao {

// 'text' with each ' doubled: a string literal that stands for exactly `text`.
CString QuoteText(const CString& text);
// `text` with LIKE's wildcards and brackets ( * ? # [ ) made literal, for use inside a LIKE
// pattern literal; quote the whole pattern with QuoteText afterwards.
CString LikeLiteral(const CString& text);

}  // namespace vaultry::dao
