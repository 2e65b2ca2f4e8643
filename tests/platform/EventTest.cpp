#include "platform/Event.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <thread>

#include "platform/TickCount.h"

using q208::Event;

TEST(Event, ManualResetStaysSetUntilReset) {
    Event e(Event::ResetMode::Manual);
    EXPECT_FALSE(e.Wait(0));
    e.Set();
    EXPECT_TRUE(e.Wait(0));
    EXPECT_TRUE(e.Wait(0));
    e.Reset();
    EXPECT_FALSE(e.Wait(0));
}

TEST(Event, AutoResetIsConsumedByOneWait) {
    Event e(Event::ResetMode::Auto);
    e.Set();
    e.Set();  // two sets before a wait collapse into one signal
    EXPECT_TRUE(e.IsSet());
    EXPECT_TRUE(e.Wait(0));
    EXPECT_FALSE(e.Wait(0));
}

TEST(Event, InitiallySet) {
    Event e(Event::ResetMode::Manual, true);
    EXPECT_TRUE(e.Wait(0));
}

TEST(Event, WaitTimesOutAfterAboutTheTimeout) {
    Event e;
    const uint64_t start = q208::TickCount64();
    EXPECT_FALSE(e.Wait(50));
    EXPECT_GE(q208::TickCount64() - start, 49u);
}

TEST(Event, WaitAnyReportsTheFirstSignalledIndex) {
    Event a, b(Event::ResetMode::Auto), c;
    EXPECT_EQ(Event::WaitAny({&a, &b, &c}, 0), -1);
    c.Set();
    EXPECT_EQ(Event::WaitAny({&a, &b, &c}, 0), 2);
    b.Set();
    EXPECT_EQ(Event::WaitAny({&a, &b, &c}, 0), 1);
    // b was auto-reset and is consumed; c is still set.
    EXPECT_EQ(Event::WaitAny({&a, &b, &c}, 0), 2);
}

TEST(Event, SetFromAnotherThreadWakesAWaiter) {
    Event e;
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        e.Set();
    });
    EXPECT_TRUE(e.Wait(5000));
    setter.join();
}

TEST(Event, AutoResetWakesExactlyOneOfTwoWaiters) {
    Event e(Event::ResetMode::Auto);
    std::atomic<int> woken{0};
    auto waiter = [&] {
        if (e.Wait(300)) ++woken;
    };
    std::thread t1(waiter), t2(waiter);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    e.Set();
    t1.join();
    t2.join();
    EXPECT_EQ(woken.load(), 1);
}

TEST(Event, DescriptorIsPollableNextToOthers) {
    Event e;
    pollfd p{e.Fd(), POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 0), 0);
    e.Set();
    EXPECT_EQ(poll(&p, 1, 0), 1);
}
