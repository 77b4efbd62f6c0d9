#include "tests/support/MessageBoxScript.h"

#include <gtest/gtest.h>

namespace vaultry::test {

MessageBoxScript::MessageBoxScript() {
    m_previous = AfxSetMessageBoxHandler(
        [this](const CString& text, UINT type, UINT) { return Answer(text, type); });
}

MessageBoxScript::~MessageBoxScript() {
    AfxSetMessageBoxHandler(m_previous);
    EXPECT_TRUE(m_expected.empty()) << "expected message box never came: "
                                    << (m_expected.empty() ? "" : m_expected.front().textPart);
}

MessageBoxScript& MessageBoxScript::Expect(const std::string& textPart, int button) {
    m_expected.push_back({textPart, button});
    return *this;
}

MessageBoxScript& MessageBoxScript::AllowAny() {
    m_allowAny = true;
    return *this;
}

int MessageBoxScript::Answer(const CString& text, UINT type) {
    m_shown.push_back(text.str());
    if (m_expected.empty()) {
        if (!m_allowAny) {
            ADD_FAILURE() << "unexpected message box: " << text.str();
        }
        return AfxDefaultButton(type);
    }
    const Expectation next = m_expected.front();
    m_expected.pop_front();
    EXPECT_NE(text.str().find(next.textPart), std::string::npos)
        << "message box \"" << text.str() << "\" does not contain \"" << next.textPart << "\"";
    return next.button;
}

}  // namespace vaultry::test
