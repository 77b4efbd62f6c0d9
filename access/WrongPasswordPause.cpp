#include "access/WrongPasswordPause.h"

#include <algorithm>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kFirstPause{250};
constexpr std::chrono::milliseconds kLongestPause{4000};

struct PauseState {
    std::chrono::milliseconds next = kFirstPause;
    WrongPasswordPause::Sleeper sleeper;
};

PauseState& State() {
    static PauseState state;
    return state;
}

}  // namespace

void WrongPasswordPause::AfterWrongPassword() {
    PauseState& state = State();
    const std::chrono::milliseconds pause = state.next;
    state.next = std::min(pause * 2, kLongestPause);
    if (state.sleeper) {
        state.sleeper(pause);
    } else {
        std::this_thread::sleep_for(pause);
    }
}

void WrongPasswordPause::SetSleeper(Sleeper sleeper) {
    State().sleeper = std::move(sleeper);
}

void WrongPasswordPause::Reset() {
    State().next = kFirstPause;
}
