#pragma once
// A window that records the commands sent to it, as the owner of a menu or a button bar.

#include <vector>

#include "platform/ui/CWnd.h"

namespace vaultry::test {

class CommandRecorder : public CWnd {
public:
    BOOL OnCommand(UINT id) override {
        commands.push_back(id);
        return TRUE;
    }
    std::vector<UINT> commands;  // in the order they came
};

}  // namespace vaultry::test
