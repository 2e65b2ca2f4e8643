#include "device/CDetectionThread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "device/DetectionTestHost.h"
#include "device/SimBus.h"
#include "sim/SimDescriptors.h"
#include "sim/SimDeviceSet.h"

namespace q208 {
namespace {

using sim::SimDeviceKind;
using test::Arrival;
using test::Removal;
using testing::ElementsAre;
using testing::UnorderedElementsAre;
using testing::IsEmpty;

// One pass at a time on the test's thread: what a pass takes and frees is then exact.
class DetectionPassTest : public testing::Test {
protected:
    std::shared_ptr<SimBus> bus = std::make_shared<SimBus>();
    sim::SimDeviceSet devices{bus};
    std::shared_ptr<DeviceSlotList> slots = std::make_shared<DeviceSlotList>();
    std::shared_ptr<test::RecordingDetectionHost> host = std::make_shared<test::RecordingDetectionHost>();
    CDetectionThread detection{slots, host, bus};
};

TEST_F(DetectionPassTest, CabledKeyboardTakesBothSlotsInOnePassInEnumerationOrder) {
    devices.Plug(SimDeviceKind::Keyboard);
    ASSERT_TRUE(detection.RunPass());
    // The consumer collection (col03) is listed before the vendor one (col04).
    EXPECT_THAT(host->TakeMessages(), ElementsAre(Arrival(1), Arrival(0)));
    EXPECT_TRUE(slots->IsConnected(0));
    EXPECT_TRUE(slots->IsConnected(1));
    EXPECT_EQ(slots->DevicePath(0), devices.CommandPath(SimDeviceKind::Keyboard));
    EXPECT_NE(slots->DevicePath(1).find("&col03"), std::string::npos);
    EXPECT_EQ(host->FirstPassPosts(), 1);

    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), IsEmpty()) << "a taken interface is not announced again";
    EXPECT_EQ(host->FirstPassPosts(), 1);
}

TEST_F(DetectionPassTest, UnpluggedDeviceIsNoticedWithinOnePassAndItsSlotsFreed) {
    devices.Plug(SimDeviceKind::Mouse);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), ElementsAre(Arrival(7), Arrival(6)));

    devices.Unplug(SimDeviceKind::Mouse);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), ElementsAre(Removal(6), Removal(7)));
    EXPECT_TRUE(slots->Slot(6)->IsFree());
    EXPECT_TRUE(slots->Slot(7)->IsFree());

    devices.Plug(SimDeviceKind::Mouse);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), ElementsAre(Arrival(7), Arrival(6)));
}

TEST_F(DetectionPassTest, SecondKeyboardOfTheSameModelWaitsUntilTheFirstIsGone) {
    devices.Plug(SimDeviceKind::Keyboard);
    ASSERT_TRUE(detection.RunPass());
    host->TakeMessages();
    const std::string firstPath = slots->DevicePath(0);

    const auto descriptor = sim::ReportDescriptor(SimDeviceKind::Keyboard, 1);
    const int second = bus->Plug({0x4E5B, 0x7C13, 0x0105, 1, {descriptor.begin(), descriptor.end()}},
                                 [](int, std::span<const uint8_t>) {});
    ASSERT_GT(second, 0);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), IsEmpty());
    EXPECT_EQ(slots->DevicePath(0), firstPath);

    // The first one's slots are freed in the removal check; the next pass takes the second.
    devices.Unplug(SimDeviceKind::Keyboard);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), ElementsAre(Removal(0), Removal(1)));
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), ElementsAre(Arrival(1), Arrival(0)));
    EXPECT_EQ(slots->DevicePath(0), bus->PathsOf(second).back());
}

TEST_F(DetectionPassTest, HeadsetPathWithoutCollectionMatchesItsRow) {
    devices.Plug(SimDeviceKind::Headset);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), ElementsAre(Arrival(kSlotHeadset)));
    EXPECT_EQ(slots->DevicePath(kSlotHeadset).find("&col"), std::string::npos);
}

TEST_F(DetectionPassTest, ReceiverSlotsAreTakenButNotWatched) {
    devices.Receiver()->SetLinked(SimDeviceKind::Keyboard, false);
    devices.Receiver()->SetLinked(SimDeviceKind::Mouse, false);
    devices.Plug(SimDeviceKind::Receiver);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), ElementsAre(Arrival(5), Arrival(4)));
    EXPECT_EQ(slots->DevicePath(kSlotReceiver), devices.CommandPath(SimDeviceKind::Receiver));
    EXPECT_FALSE(slots->IsConnected(4));
    EXPECT_FALSE(slots->IsConnected(5));
    // Nothing behind the receiver is ever taken by a scan.
    for (size_t slot : {2u, 3u, 8u, 9u}) EXPECT_TRUE(slots->Slot(slot)->IsFree()) << slot;
}

TEST_F(DetectionPassTest, WatchedReceiverUnpluggedReportsBothSlots) {
    devices.Plug(SimDeviceKind::Receiver);
    ASSERT_TRUE(detection.RunPass());
    host->TakeMessages();
    slots->SetConnected(4, true);  // what the receiver poll does once a link is up
    slots->SetConnected(5, true);

    devices.Unplug(SimDeviceKind::Receiver);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), ElementsAre(Removal(4), Removal(5)));
}

TEST_F(DetectionPassTest, UnwatchedReceiverUnpluggedIsFreedSilentlyAndFoundAgain) {
    devices.Receiver()->SetLinked(SimDeviceKind::Keyboard, false);
    devices.Receiver()->SetLinked(SimDeviceKind::Mouse, false);
    devices.Plug(SimDeviceKind::Receiver);
    ASSERT_TRUE(detection.RunPass());
    host->TakeMessages();

    devices.Unplug(SimDeviceKind::Receiver);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), IsEmpty()) << "nothing was attached through it";
    EXPECT_TRUE(slots->Slot(4)->IsFree());
    EXPECT_TRUE(slots->Slot(5)->IsFree());

    devices.Plug(SimDeviceKind::Receiver);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), ElementsAre(Arrival(5), Arrival(4)));
}

TEST_F(DetectionPassTest, PassWithoutDevicesStillPostsTheFirstPassOnce) {
    ASSERT_TRUE(detection.RunPass());
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->Messages(), IsEmpty());
    EXPECT_EQ(host->FirstPassPosts(), 1);
}

// The worker thread itself.
class DetectionThreadTest : public DetectionPassTest {};

TEST_F(DetectionThreadTest, FollowsPlugAndUnplugWhileRunning) {
    ASSERT_TRUE(detection.Start());
    ASSERT_TRUE(host->WaitForFirstPass());
    EXPECT_THAT(host->Messages(), IsEmpty());

    devices.Plug(SimDeviceKind::MousePad);
    ASSERT_TRUE(host->WaitForMessages(2));
    devices.Unplug(SimDeviceKind::MousePad);
    ASSERT_TRUE(host->WaitForMessages(4));
    EXPECT_EQ(detection.Stop(), WorkerThread::StopResult::Ended);
    EXPECT_FALSE(detection.IsRunning());
    const auto messages = host->Messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_THAT(std::vector(messages.begin(), messages.begin() + 2), ElementsAre(Arrival(11), Arrival(10)));
    // An unplug that lands during a pass's removal check may be seen slot by slot over two passes.
    EXPECT_THAT(std::vector(messages.begin() + 2, messages.end()), UnorderedElementsAre(Removal(10), Removal(11)));
    EXPECT_EQ(host->FirstPassPosts(), 1);
}

TEST_F(DetectionThreadTest, UiThreadMayWatchReceiverSlotsWhileThePassRuns) {
    devices.Plug(SimDeviceKind::Receiver);
    ASSERT_TRUE(detection.Start());
    ASSERT_TRUE(host->WaitForMessages(2));
    for (int i = 0; i < 50; ++i) {
        slots->SetConnected(4, i % 2 == 0);
        EXPECT_FALSE(slots->AllSlotsTaken());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(detection.Stop(), WorkerThread::StopResult::Ended);
}

TEST(DetectionThread, EndsWhenTheBusCannotBeEnumerated) {
    auto slots = std::make_shared<DeviceSlotList>();
    auto host = std::make_shared<test::RecordingDetectionHost>();
    CDetectionThread detection(slots, host, nullptr);
    ASSERT_TRUE(detection.Start());
    for (int i = 0; i < 300 && detection.IsRunning(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(detection.IsRunning());
    EXPECT_EQ(host->FirstPassPosts(), 0);
    EXPECT_THAT(host->Messages(), IsEmpty());
    EXPECT_TRUE(detection.Start()) << "a detection that ended can be started again";
}

TEST_F(DetectionThreadTest, StopsWithinItsBoundWhileAnArrivalIsBeingHandled) {
    Event inArrival;
    host->onArrival = [&](size_t, const Event& stop) {
        inArrival.Set();
        stop.Wait(-1);  // an owner that gives up waiting when detection is stopped
    };
    devices.Plug(SimDeviceKind::Keyboard);
    ASSERT_TRUE(detection.Start());
    ASSERT_TRUE(inArrival.Wait(3000));

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(detection.Stop(CDetectionThread::kStopTimeoutMs), WorkerThread::StopResult::Ended);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(CDetectionThread::kStopTimeoutMs));
    EXPECT_THAT(host->Messages(), ElementsAre(Arrival(1))) << "the scan ends at the stop";
}

TEST(DetectionThread, WorkerLeftBehindByATimedOutStopKeepsWhatItUses) {
    auto bus = std::make_shared<SimBus>();
    sim::SimDeviceSet devices(bus);
    auto slots = std::make_shared<DeviceSlotList>();
    auto host = std::make_shared<test::RecordingDetectionHost>();
    Event inArrival;
    host->onArrival = [&inArrival](size_t, const Event&) {
        inArrival.Set();
        std::this_thread::sleep_for(std::chrono::milliseconds(1300));  // ignores the stop
    };
    std::weak_ptr<test::RecordingDetectionHost> hostSeen = host;
    devices.Plug(SimDeviceKind::Headset);
    {
        CDetectionThread detection(slots, host, bus);
        ASSERT_TRUE(detection.Start());
        ASSERT_TRUE(inArrival.Wait(3000));
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(detection.Stop(CDetectionThread::kStopTimeoutMs), WorkerThread::StopResult::TimedOut);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1200));
        EXPECT_FALSE(detection.Start()) << "never two workers on one HID device";
    }
    host.reset();
    slots.reset();
    // The worker still finishes its arrival, then ends and lets go of the host.
    for (int i = 0; i < 300 && !hostSeen.expired(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(hostSeen.expired());
}

}  // namespace
}  // namespace q208
