// q208ctl's mouse pad commands against the emulated pad, on a simulated bus the test owns
// (so it can look into the pad's memory).
#include <gtest/gtest.h>

#include <sstream>

#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimLightingPeripheral.h"
#include "tools/CtlCommandTable.h"

using namespace q208;
using sim::SimDeviceKind;

namespace {

struct Result {
    int code = 0;
    std::string out, err;
};

class MousePadCommandsTest : public ::testing::Test {
protected:
    MousePadCommandsTest() {
        SetDefaultHidBus(bus_);
        set_.PlugAll({SimDeviceKind::MousePad, SimDeviceKind::Keyboard});
    }
    ~MousePadCommandsTest() override { SetDefaultHidBus(saved_); }
    Result Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int code = CtlCommandTable::Standard().Run(args, out, err);
        return {code, out.str(), err.str()};
    }
    sim::SimLightingPeripheral& Pad() {
        return static_cast<sim::SimLightingPeripheral&>(*set_.Device(SimDeviceKind::MousePad));
    }
    static bool Has(const Result& r, const std::string& text) { return r.out.find(text) != std::string::npos; }

    std::shared_ptr<IHidBus> saved_ = DefaultHidBus();
    std::shared_ptr<SimBus> bus_ = std::make_shared<SimBus>();
    sim::SimDeviceSet set_{bus_};
};

TEST_F(MousePadCommandsTest, PadShowsTheBlockAndSetPadLightingWritesIt) {
    Result r = Run({"pad"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r, "mode 1 (code 1")) << r.out;
    EXPECT_TRUE(Has(r, "speed 2 (byte 2)")) << r.out;
    EXPECT_TRUE(Has(r, "carried 05 00")) << r.out;

    r = Run({"set-pad-lighting", "effect=9", "speed=4", "rgb=1,2,3", "multicolor=0"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto block = Pad().LightingBlockAt(0);
    EXPECT_EQ(block[1], 0);  // mode 9 goes as mode 0's code
    EXPECT_EQ(block[3], 0);  // speed 4
    EXPECT_EQ(block[5], 0);
    EXPECT_EQ((std::array{block[6], block[7], block[8]}), (std::array<uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(block[9], 0x05);  // the pad's own byte
    EXPECT_TRUE(Has(r, "mode 0 (code 0")) << r.out;
    // Only the fields named change: brightness stays as the pad had it.
    r = Run({"set-pad-lighting", "brightness=1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Pad().LightingBlockAt(0)[2], 1);
    EXPECT_EQ(Pad().LightingBlockAt(0)[6], 1);
}

TEST_F(MousePadCommandsTest, OutOfRangeAndOtherDevicesAreRefusedBeforeThePadIsAsked) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"set-pad-lighting"},
             {"set-pad-lighting", "effect=10"},
             {"set-pad-lighting", "speed=5"},
             {"set-pad-lighting", "colour=1"},
             {"pad", "extra"},
             {"--device", "keyboard", "pad"},
             {"--device", "mousepad", "set-lighting", "effect=1"}}) {
        const uint32_t seen = Pad().CommandsSeen(0x05);
        const Result r = Run(args);
        EXPECT_EQ(r.code, 1) << args.back() << ": " << r.err;
        EXPECT_EQ(Pad().CommandsSeen(0x05), seen);
    }
    Pad().faults().statusRefused = 1;
    const Result r = Run({"pad"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("error: read settings: result -102"), std::string::npos) << r.err;
}

}  // namespace
