#pragma once
// The rights gate's question for a password, asked in the module's password dialog.

#include "access/RightsGate.h"

// Shows "Give the password for this database" for the tier; the password typed, or nullopt on
// Cancel. The dialog itself keeps the password for the tier, as it always does.
RightsGate::PasswordPrompt DialogPasswordPrompt();
