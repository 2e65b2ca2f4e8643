#include "sim/uhid/BridgeVerbs.h"

#include <gtest/gtest.h>

#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"

using namespace q208;
using namespace q208::sim;

namespace {

class BridgeVerbsTest : public ::testing::Test {
protected:
    BridgeVerbsTest() : bus(std::make_shared<SimBus>()), devices(bus), verbs(devices) {
        devices.PlugAll({SimDeviceKind::Keyboard, SimDeviceKind::MousePad});
    }

    // Reports the mouse pad's command interface sent since the handle was opened.
    static int Drain(IHidHandle& handle) {
        uint8_t buf[65];
        int count = 0;
        while (handle.Read(buf, sizeof(buf), 0, nullptr) > 0) ++count;
        return count;
    }
    std::unique_ptr<IHidHandle> OpenMousePad() {
        const std::vector<int> ids = bus->InterfaceIds();
        return bus->OpenInterface(ids.back(), 1000);  // plugged last: the mouse pad's only interface
    }

    std::shared_ptr<SimBus> bus;
    SimDeviceSet devices;
    BridgeVerbs verbs;
};

TEST_F(BridgeVerbsTest, AfterRunsItsVerbBetweenTheNthAnswerAndTheNext) {
    EXPECT_EQ(verbs.Run("after 3 unplug keyboard").status, SimVerbs::kDone);
    EXPECT_EQ(verbs.Run("after 1 fault mousepad no-answer").status, SimVerbs::kDone);
    EXPECT_EQ(verbs.Waiting(), 2u);
    verbs.OnAnswered();
    EXPECT_EQ(verbs.Waiting(), 1u);
    EXPECT_EQ(devices.Device(SimDeviceKind::MousePad)->faults().noAnswer.Remaining(), 1);
    verbs.OnAnswered();
    EXPECT_TRUE(devices.IsPlugged(SimDeviceKind::Keyboard));
    verbs.OnAnswered();
    EXPECT_FALSE(devices.IsPlugged(SimDeviceKind::Keyboard));
    EXPECT_EQ(verbs.Waiting(), 0u);
    // Counted from the line on, not from the start.
    EXPECT_EQ(verbs.Run("after 1 plug keyboard").status, SimVerbs::kDone);
    verbs.OnAnswered();
    EXPECT_TRUE(devices.IsPlugged(SimDeviceKind::Keyboard));
}

TEST_F(BridgeVerbsTest, RepeatSendsABurstAndNestsInsideAfter) {
    const std::unique_ptr<IHidHandle> pad = OpenMousePad();
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(verbs.Run("repeat 200 input mousepad event 0x0401").status, SimVerbs::kDone);
    EXPECT_EQ(Drain(*pad), 200) << "every report of the burst, more than a reader's ring holds";

    EXPECT_EQ(verbs.Run("after 2 repeat 5 input mousepad resync").status, SimVerbs::kDone);
    verbs.OnAnswered();
    EXPECT_EQ(Drain(*pad), 0);
    verbs.OnAnswered();
    EXPECT_EQ(Drain(*pad), 5);
}

TEST_F(BridgeVerbsTest, BadCountsAndFailingVerbsSayWhy) {
    for (const char* line : {"after", "after 3", "after 0 plug mouse", "after many plug mouse", "repeat 100001 plug mouse",
                             "repeat -1 plug mouse"}) {
        const SimVerbResult result = verbs.Run(line);
        EXPECT_EQ(result.status, SimVerbs::kBadLine) << line;
        EXPECT_NE(result.text.find("count"), std::string::npos) << line;
    }
    // The second plug of the same device is refused: the burst stops there and says so.
    const SimVerbResult stopped = verbs.Run("repeat 3 plug mouse");
    EXPECT_EQ(stopped.status, SimVerbs::kRefused);
    EXPECT_NE(stopped.text.find("repeat stopped at 2"), std::string::npos) << stopped.text;
    // Everything else is the emulator's vocabulary.
    EXPECT_EQ(verbs.Run("dance keyboard").status, SimVerbs::kBadLine);
    EXPECT_EQ(verbs.Run("unplug mousepad").status, SimVerbs::kDone);
}

}  // namespace
