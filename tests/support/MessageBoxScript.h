#pragma once
// Answers message boxes in tests from a script. While one is alive every box is recorded; a
// box whose text does not contain the next expected text fails the test, and so does a box
// that comes when the script is used up, unless the script was told to allow any.

#include <deque>
#include <string>
#include <vector>

#include "platform/afx/AfxMessageBox.h"

namespace vaultry::test {

class MessageBoxScript {
public:
    MessageBoxScript();
    ~MessageBoxScript();
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;

    // The next box must contain `textPart`; it is answered with `button`.
    MessageBoxScript& Expect(const std::string& textPart, int button = IDOK);
    // Boxes beyond the script are recorded and answered with their default button.
    MessageBoxScript& AllowAny();

    const std::vector<std::string>& Shown() const { return m_shown; }
    // True when every expected box came.
    bool Done() const { return m_expected.empty(); }

private:
    int Answer(const CString& text, UINT type);

    struct Expectation {
        std::string textPart;
        int button;
    };
    std::deque<Expectation> m_expected;
    std::vector<std::string> m_shown;
    bool m_allowAny = false;
    AfxMessageBoxHandler m_previous;
};

}  // namespace vaultry::test
