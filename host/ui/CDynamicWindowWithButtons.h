#pragma once
// A bar that frames a list or a tree: a caption and a row of small buttons above the framed
// window, which moves into the bar in its place. Each button has an image of the current
// resource module, a tooltip, a key and a command; a click, or the key while the focus is in
// the framed window, sends the command to the bar's owner. A disabled button does neither.

#include <memory>
#include <vector>

#include "platform/afx/CString.h"
#include "platform/ui/CImageList.h"
#include "platform/ui/CWnd.h"
#include "platform/ui/Controls.h"

class QLabel;
class QShortcut;
class QToolButton;

// The key flags of a button, as accelerator tables give them.
constexpr UINT FSHIFT = 0x04;
constexpr UINT FCONTROL = 0x08;
constexpr UINT FALT = 0x10;

class CDynamicWindowWithButtons : public CWnd {
public:
    CDynamicWindowWithButtons();
    ~CDynamicWindowWithButtons() override;

    // Frames `framed` (a window of `owner`'s) where it stands; commands go to `owner`. Neither is
    // owned; both must outlive the bar.
    BOOL Create(CWnd* owner, CWnd& framed);
    // A new button at the end of the row; its index. `key` is a virtual key ('N', VK_DELETE,
    // VK_F2), 0 for none; `keyFlags` FCONTROL, FSHIFT, FALT.
    int AddButton(UINT imageId, const CString& tooltip, UINT key, UINT keyFlags, UINT command);
    int GetButtonCount() const { return static_cast<int>(m_buttons.size()); }
    // The index of the button of `command`, -1 for none.
    int GetButtonNum(UINT command) const;
    void EnableButton(int index, bool enable);
    bool IsButtonEnabled(int index) const;
    void SetCaption(const CString& caption);
    CString GetCaption() const;
    // The button's widget, for tests that click as a user would.
    QToolButton* Button(int index) const;

private:
    struct Entry {
        UINT command;
        QToolButton* button;  // owned by the bar's widget
        QShortcut* shortcut;  // owned by the bar's widget; null without a key
    };
    void Send(UINT command);

    CWnd* m_owner = nullptr;  // not owned
    QLabel* m_caption = nullptr;
    CImageList m_images;
    std::vector<Entry> m_buttons;
};
