#pragma once
// Answers modal dialogs in tests as a user would, from a script: which dialog comes next and
// what the user does in it (typing, choosing, clicking). A dialog the script does not expect,
// or one its step leaves open, fails the test; nothing waits for input.

#include <deque>
#include <functional>

#include "platform/ui/CDialog.h"

namespace vaultry::test {

class ModalScript {
public:
    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // The next dialog shown must come from template `templateId`; `act` runs with it shown and
    // must end it (OK, Cancel or another way a user has).
    void Expect(UINT templateId, std::function<void(CDialog&)> act);

private:
    struct Step {
        UINT templateId;
        std::function<void(CDialog&)> act;
    };
    void Run(CDialog& dialog);

    std::deque<Step> m_steps;
    CDialog::ModalRunner m_previous;
};

// What a user does in a shown dialog, through real key and mouse events.
// Selects the text of edit `id` and types `text` over it.
void TypeInto(CDialog& dialog, UINT id, const char* text);
// Clicks button `id`.
void Click(CDialog& dialog, UINT id);
// Presses `key` (a Qt::Key) in the window that has the focus.
void Press(CDialog& dialog, int key);
// Picks the item `text` of combo box `id` with the keyboard, as a user tabbing to it would.
void Choose(CDialog& dialog, UINT id, const char* text);
// Puts `text` into the label editor open in item view `view` and presses Return; the view has
// taken or refused the text when this returns.
void FinishLabelEdit(CWnd& view, const char* text);

}  // namespace vaultry::test
