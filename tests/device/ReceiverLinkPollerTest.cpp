#include "device/ReceiverLinkPoller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/CDetectionThread.h"
#include "device/DetectionTestHost.h"
#include "device/DeviceSlotList.h"
#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"

namespace q208 {
namespace {

using sim::SimDeviceKind;
using testing::ElementsAre;
using testing::IsEmpty;

constexpr uint8_t kUp = ReceiverLinkState::kUp;
constexpr uint8_t kDown = ReceiverLinkState::kDown;

// Records the owner calls as short words ("attach 2") and marks watched slots in a slot list.
class RecordingOwner : public IReceiverLinkOwner {
public:
    explicit RecordingOwner(DeviceSlotList* slots = nullptr) : slots_(slots) {}

    void AttachSlot(size_t slot) override { calls.push_back("attach " + std::to_string(slot)); }
    void DetachSlot(size_t slot) override { calls.push_back("detach " + std::to_string(slot)); }
    void RemoveDeviceObjectOf(size_t slot) override { calls.push_back("remove " + std::to_string(slot)); }
    void SetConnected(size_t slot) override {
        calls.push_back("connect " + std::to_string(slot));
        if (slots_) slots_->SetConnected(slot, true);
    }
    void ClearViaReceiver(uint16_t kind) override { calls.push_back("wired " + std::to_string(kind)); }

    std::vector<std::string> Take() { return std::exchange(calls, {}); }
    std::vector<std::string> calls;

private:
    DeviceSlotList* slots_;
};

TEST(ReceiverLinkPoller, KeyboardLinkComingUpWatchesTheReceiverThenAttachesBothSlots) {
    RecordingOwner owner;
    ReceiverLinkPoller poller(owner);
    poller.Apply({kUp, kDown}, {});
    EXPECT_THAT(owner.Take(), ElementsAre("detach 8", "connect 4", "connect 5", "attach 2", "attach 3", "wired 2"));
    EXPECT_TRUE(poller.KeyboardLinked());

    poller.Apply({kUp, kDown}, {});
    EXPECT_THAT(owner.Take(), ElementsAre("detach 8", "wired 2")) << "a link that stays up attaches once";
}

TEST(ReceiverLinkPoller, KeyboardLinkLostHandsOverToTheCableWhenOneIsPlugged) {
    RecordingOwner owner;
    ReceiverLinkPoller poller(owner);
    poller.Apply({kUp, kUp}, {});
    owner.Take();

    poller.Apply({kDown, kUp}, {.keyboard = true, .mouse = false});
    EXPECT_THAT(owner.Take(), ElementsAre("remove 2", "detach 2", "attach 0", "attach 1", "wired 1"));
    EXPECT_FALSE(poller.KeyboardLinked());
    EXPECT_TRUE(poller.MouseLinked());

    poller.Apply({kDown, kUp}, {.keyboard = false, .mouse = false});
    EXPECT_THAT(owner.Take(), ElementsAre("detach 2", "wired 1")) << "a lost link is handled once";
}

TEST(ReceiverLinkPoller, MouseLinkLostKeepsTheSlotWhileTheCableMouseIsPresent) {
    RecordingOwner owner;
    ReceiverLinkPoller poller(owner);
    poller.Apply({kDown, kUp}, {.keyboard = true, .mouse = false});
    EXPECT_THAT(owner.Take(), ElementsAre("connect 4", "connect 5", "attach 8", "attach 9", "wired 1"));

    poller.Apply({kDown, kDown}, {.keyboard = true, .mouse = true});
    EXPECT_THAT(owner.Take(), ElementsAre("remove 8", "wired 1", "wired 2"));

    poller.Apply({kUp, kDown}, {.keyboard = false, .mouse = false});
    poller.Apply({kDown, kDown}, {.keyboard = false, .mouse = false});
    EXPECT_THAT(owner.Take(), ElementsAre("detach 8", "connect 4", "connect 5", "attach 2", "attach 3", "wired 2",
                                          "detach 2", "detach 8", "remove 2", "detach 2", "wired 1", "wired 2"));
}

TEST(ReceiverLinkPoller, QueryOfAPathThatCannotBeOpenedReadsAsNothingLinked) {
    auto bus = std::make_shared<SimBus>();
    CDeviceChannel channel(bus);
    const ReceiverLinkState state = ReceiverLinkPoller::Query(channel, "sim:99#vid_4e5b&pid_7c12&mi_01&col04");
    EXPECT_EQ(state.keyboard, kDown);
    EXPECT_EQ(state.mouse, kDown);
    EXPECT_FALSE(channel.IsOpen()) << "a failed open does not mark the channel open";
    EXPECT_FALSE(channel.ViaReceiver());
}

// The detection thread's receiver arrival followed by the poll the main window runs.
class ReceiverPollOnSimulatedBus : public testing::Test {
protected:
    void SetUp() override {
        devices.Receiver()->SetLinked(SimDeviceKind::Keyboard, false);
        devices.Receiver()->SetLinked(SimDeviceKind::Mouse, false);
        devices.Plug(SimDeviceKind::Receiver);
        ASSERT_TRUE(detection.RunPass());
        ASSERT_THAT(host->TakeMessages(), ElementsAre(test::Arrival(5), test::Arrival(4)));
        receiverPath = slots->DevicePath(kSlotReceiver);
    }
    void Poll() { poller.Apply(ReceiverLinkPoller::Query(channel, receiverPath), {}); }

    std::shared_ptr<SimBus> bus = std::make_shared<SimBus>();
    sim::SimDeviceSet devices{bus};
    std::shared_ptr<DeviceSlotList> slots = std::make_shared<DeviceSlotList>();
    std::shared_ptr<test::RecordingDetectionHost> host = std::make_shared<test::RecordingDetectionHost>();
    CDetectionThread detection{slots, host, bus};
    CDeviceChannel channel{bus};
    RecordingOwner owner{slots.get()};
    ReceiverLinkPoller poller{owner};
    std::string receiverPath;
};

TEST_F(ReceiverPollOnSimulatedBus, KeyboardSwitchedOnIsAttachedOnTheNextPoll) {
    Poll();
    EXPECT_THAT(owner.Take(), ElementsAre("detach 2", "detach 8", "wired 1", "wired 2"));
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_FALSE(slots->IsConnected(kSlotReceiver));

    devices.Receiver()->SetLinked(SimDeviceKind::Keyboard, true);
    Poll();
    EXPECT_THAT(owner.Take(), ElementsAre("detach 8", "connect 4", "connect 5", "attach 2", "attach 3", "wired 2"));
    EXPECT_TRUE(slots->IsConnected(4));
    EXPECT_TRUE(slots->IsConnected(5));

    // Now the removal check watches the receiver.
    devices.Unplug(SimDeviceKind::Receiver);
    ASSERT_TRUE(detection.RunPass());
    EXPECT_THAT(host->TakeMessages(), ElementsAre(test::Removal(4), test::Removal(5)));

    Poll();
    EXPECT_THAT(owner.Take(), ElementsAre("detach 2", "detach 8", "remove 2", "detach 2", "wired 1", "wired 2"))
        << "an unplugged receiver reads as nothing linked";
}

}  // namespace
}  // namespace q208
