#pragma once
// What a wrong password costs: a pause before the answer, doubling with each wrong password in
// this process (a quarter second first, four seconds at most), so that passwords cannot be
// tried fast through the program. The gate is the program's own; it does not hide the file's
// bytes from other tools.

#include <chrono>
#include <functional>

class WrongPasswordPause {
public:
    using Sleeper = std::function<void(std::chrono::milliseconds)>;

    // Waits out the pause a wrong password costs now, and makes the next one longer.
    static void AfterWrongPassword();
    // Replaces the waiting (tests record the pauses instead); an empty one restores sleeping.
    static void SetSleeper(Sleeper sleeper);
    // Back to the first pause, as in a new process.
    static void Reset();
};
