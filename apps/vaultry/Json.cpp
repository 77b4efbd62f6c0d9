#include "apps/vaultry/Json.h"

#include <cstdio>

#include "apps/vaultry/Commands.h"

namespace vaultry::cli {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

void ReportDone(Output output, const std::string& what, long count) {
    if (!output.json) {
        output.out << what << "\n";
        return;
    }
    output.out << "{\"done\":" << JsonString(what);
    if (count >= 0) {
        output.out << ",\"parts\":" << count;
    }
    output.out << "}\n";
}

}  // namespace vaultry::cli
