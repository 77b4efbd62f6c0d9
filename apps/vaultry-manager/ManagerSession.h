#pragma once
// What the desktop program runs on: the reference host with its settings file, this module with
// its dialogs and Qt's message boxes, and the three libraries, the missing ones made first (a
// new master library with the starter footprints) as "vaultry init" makes them.

#include <string>

#include "host/ReferenceHost.h"

namespace vaultry::manager {

class ManagerSession {
public:
    // Throws vaultry::cli::CommandError when the libraries cannot all be made and opened; the
    // user has been shown why. Without `messageBoxes`, messages go to standard error instead of
    // waiting for a click (a program a test drives).
    ManagerSession(const std::string& configPath, bool messageBoxes);
    ~ManagerSession();
    ManagerSession(const ManagerSession&) = delete;
    ManagerSession& operator=(const ManagerSession&) = delete;

private:
    ReferenceHost m_host;
};

}  // namespace vaultry::manager
