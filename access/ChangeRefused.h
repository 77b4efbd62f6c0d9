#pragma once
// A change of a library that was not made: refused before anything was written (no rights, a
// name that is taken, a destination that makes no sense), or failed and undone. what() is the
// reason, for the user.

#include <stdexcept>

#include "platform/afx/CString.h"

class ChangeRefused : public std::runtime_error {
public:
    enum class Reason { kMasterLocked, kNoRights, kInvalid, kFailed };

    ChangeRefused(Reason reason, const CString& text)
        : std::runtime_error(text.str()), m_reason(reason) {}
    // A refusal of kind kInvalid, or a failure, whose text is string `id` of the module's table
    // with `%1` filled from `argument`.
    static ChangeRefused Invalid(UINT id, const CString& argument = CString());
    static ChangeRefused Failed(UINT id, const CString& argument = CString());

    Reason GetReason() const { return m_reason; }

private:
    Reason m_reason;
};
