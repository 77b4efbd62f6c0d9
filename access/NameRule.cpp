#include "access/NameRule.h"

#include <string>

#include "access/ChangeRefused.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"

namespace {

// Characters, not bytes: the file counts a name's length so.
int CharacterCount(const std::string& text) {
    int count = 0;
    for (const char byte : text) {
        count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

bool IsControl(char byte) {
    const auto code = static_cast<unsigned char>(byte);
    return code < 0x20 || code == 0x7F;
}

}  // namespace

CString WhyNotAName(const CString& name) {
    const std::string& text = name.str();
    if (text.find_first_not_of(' ') == std::string::npos) {
        return ModuleString(IDS_ENTER_VALID_NAME);
    }
    for (const char byte : text) {
        if (IsControl(byte)) {
            return ModuleString(IDS_NAME_CONTROL_CHARACTER);
        }
    }
    const int length = CharacterCount(text);
    CString why;
    if (length > kMaxNameLength) {
        why = ModuleString(IDS_NAME_TOO_LONG);
        why.Replace("%1", std::to_string(length).c_str());
    }
    return why;
}

void RequireValidName(const CString& name) {
    const CString why = WhyNotAName(name);
    if (!why.IsEmpty()) {
        throw ChangeRefused(ChangeRefused::Reason::kInvalid, why);
    }
}
