// The host's events: callbacks asked in turn until one accepts, and taken away by subscriber.

#include <gtest/gtest.h>

#include <vector>

#include "host/HostEvents.h"

namespace {

TEST(HostEventsTest, CallbacksAreAskedInTurnUntilOneAccepts) {
    HostEvent<int> event;
    std::vector<int> calls;
    int first = 0;
    int second = 0;
    event.AddCallBack(&first, [&](int& info) {
        calls.push_back(1);
        return info > 5 ? 1 : 0;
    });
    event.AddCallBack(&second, [&](int& info) {
        calls.push_back(2);
        info = 42;
        return 2;
    });
    int small = 1;
    EXPECT_EQ(event.DoEvent(small, 0), 2);
    EXPECT_EQ(small, 42);
    int big = 9;
    EXPECT_EQ(event.DoEvent(big, 0), 1);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 1}));
    event.RemoveAllCallBacks();
    EXPECT_EQ(event.DoEvent(big, 0), 0);
}

TEST(HostEventsTest, ASubscriberTakesAwayItsOwnCallbacksOnly) {
    HostEvent<int> event;
    int going = 0;
    int staying = 0;
    event.AddCallBack(&going, [](int&) { return 1; });
    event.AddCallBack(&staying, [](int&) { return 2; });
    event.AddCallBack(&going, [](int&) { return 3; });
    event.RemoveCallBacks(&going);
    EXPECT_EQ(event.GetCallBackCount(), 1);
    int info = 0;
    EXPECT_EQ(event.DoEvent(info, 0), 2);
    // A callback that takes itself away while the event runs does not upset the others.
    HostEvent<int> another;
    another.AddCallBack(&going, [&](int&) {
        another.RemoveCallBacks(&going);
        return 0;
    });
    another.AddCallBack(&staying, [](int&) { return 2; });
    EXPECT_EQ(another.DoEvent(info, 0), 2);
    EXPECT_EQ(another.GetCallBackCount(), 1);
}

}  // namespace
