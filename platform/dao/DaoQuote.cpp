#include "platform/dao/DaoQuote.h"

namespace vaultry::dao {

CString QuoteText(const CString& text) {
    CString quoted(text);
    quoted.Replace("'", "''");
    return "'" + quoted + "'";
}

CString LikeLiteral(const CString& text) {
    CString literal;
    for (const char* p = text.GetString(); *p; ++p) {
        if (*p == '*' || *p == '?' || *p == '#' || *p == '[') {
            literal += '[';
            literal += *p;
            literal += ']';
        } else {
            literal += *p;
        }
    }
    return literal;
}

}  // namespace vaultry::dao
