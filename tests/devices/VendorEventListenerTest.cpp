// The shared listener thread on its own: which kinds it answers to, the kind each event
// comes with (a device's dispatch may depend on it) and the stop it reports.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "devices/base/VendorEventListener.h"
#include "KeyboardTestRig.h"

namespace q208 {
namespace {

TEST(VendorEventListenerTest, TheReceiverKindIsTheDevicesOwnAndEventsComeWithIt) {
    constexpr int kReceiverKind = 6;
    test::KeyboardRig rig(true);
    CDeviceChannel listenerChannel(rig.bus_);
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<uint16_t, int>> events;
    std::vector<WorkerThread::StopResult> stops;
    VendorEventListener listener(listenerChannel, kReceiverKind,
                                 {.event =
                                      [&](uint16_t event, int kind) {
                                          std::lock_guard lock(mutex);
                                          events.emplace_back(event, kind);
                                          changed.notify_all();
                                      },
                                  .stopped = [&](WorkerThread::StopResult result) { stops.push_back(result); }});

    EXPECT_FALSE(listener.Attach(rig.CommandPath(), 9)) << "only the kind it was made with";
    EXPECT_FALSE(listener.IsAttached(9));
    ASSERT_TRUE(listener.Attach(rig.CommandPath(), kReceiverKind));
    EXPECT_TRUE(listener.IsAttached(kReceiverKind));
    rig.Keyboard().EmitEvent(0x1003);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(2), [&] { return !events.empty(); }));
        EXPECT_EQ(events.front(), std::make_pair(uint16_t{0x1003}, kReceiverKind));
    }
    listener.Detach(kReceiverKind);
    listener.Detach(kReceiverKind);  // nothing left to stop: no second report
    EXPECT_FALSE(listener.IsAttached(kReceiverKind));
    EXPECT_EQ(stops, std::vector<WorkerThread::StopResult>{WorkerThread::StopResult::Ended});
}

}  // namespace
}  // namespace q208
