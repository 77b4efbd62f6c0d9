#pragma once
// The reference host's answer to its event for an empty project sheet, which New and Edit of
// the Database Manager raise: a window on a new sheet of the document type asked for, holding
// the part asked for when there is one. Storing from the window goes through the store dialog
// of one part; a part stored under its own name replaces itself, in the category it is in. The
// sheet opened last is the host's current design while its window lives, so that the Database
// Manager's Add and the store dialog see it.

#include <memory>
#include <vector>

#include "host/HostEvents.h"

class CPartSheetWnd;

class PartSheets {
public:
    // Answers the host's event from now on, until it goes.
    PartSheets();
    ~PartSheets();
    PartSheets(const PartSheets&) = delete;
    PartSheets& operator=(const PartSheets&) = delete;

    // Opens a window for `request`; 1 when it opened, 0 for a request it cannot serve (no
    // plug-in for the type, a part that cannot be read, which the user is told).
    int Open(const CREATE_SUBSHEET_REQUEST& request);
    // Stores the sheet of `window` where the store dialog says; true when stored.
    bool Store(CPartSheetWnd& window);
    // Whether a window is still shown.
    bool AnyShown() const;
    // Returns once every window is closed; the user works in them meanwhile.
    void WaitWhileShown();
    // The window opened last, or null.
    CPartSheetWnd* Last() const { return m_windows.empty() ? nullptr : m_windows.back().get(); }

private:
    std::vector<std::unique_ptr<CPartSheetWnd>> m_windows;
};
