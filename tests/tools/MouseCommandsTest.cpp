// q208ctl's mouse commands against the emulated mouse on its cable and through the
// receiver, on a simulated bus the test owns (so it can look into the mouse's memory).
#include <gtest/gtest.h>

#include <sstream>

#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimMouse.h"
#include "tools/CtlCommandTable.h"
#include "tools/MouseCommands.h"

using namespace q208;
using sim::SimDeviceKind;

namespace {

struct Result {
    int code = 0;
    std::string out, err;
};

class MouseCommandsTest : public ::testing::TestWithParam<const char*> {
protected:
    MouseCommandsTest() {
        SetDefaultHidBus(bus_);
        set_.PlugAll({SimDeviceKind::Mouse, SimDeviceKind::Receiver});
    }
    ~MouseCommandsTest() override { SetDefaultHidBus(saved_); }
    Result Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", GetParam()});
        std::ostringstream out, err;
        const int code = CtlCommandTable::Standard().Run(args, out, err);
        return {code, out.str(), err.str()};
    }
    sim::SimMouse& Mouse() { return *set_.Mouse(); }

    std::shared_ptr<IHidBus> saved_ = DefaultHidBus();
    std::shared_ptr<SimBus> bus_ = std::make_shared<SimBus>();
    sim::SimDeviceSet set_{bus_};
};

TEST_P(MouseCommandsTest, SettingsCommandsReachTheActiveBlock) {
    Result r = Run({"set-dpi", "2=1600,5=800"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("stage 2 on=1 step=15 dpi=1600"), std::string::npos) << r.out;
    auto block = Mouse().SettingsBlock(0);
    EXPECT_EQ(block[14 + 18 + 2], 15);
    EXPECT_EQ(block[14 + 45 + 2], 7);

    ASSERT_EQ(Run({"set-stage", "3"}).code, 0);
    ASSERT_EQ(Run({"set-polling", "4"}).code, 0);
    ASSERT_EQ(Run({"set-sleep", "ble2=12", "dev1=2"}).code, 0);
    ASSERT_EQ(Run({"set-logo", "2"}).code, 0);
    r = Run({"set-mouse-lighting", "brightness=1", "speed=3", "rgb=1,2,3"});
    ASSERT_EQ(r.code, 0) << r.err;
    block = Mouse().SettingsBlock(0);
    EXPECT_EQ(block[12], 3);
    EXPECT_EQ(block[11], 0xFF);  // 3 − option 4
    EXPECT_EQ(block[78], 12);
    EXPECT_EQ(block[79], 2);
    EXPECT_EQ(block[86], 2);
    EXPECT_EQ(block[2], 1);
    EXPECT_EQ(block[3], 1);  // 4 − speed
    EXPECT_EQ((std::array{block[6], block[7], block[8]}), (std::array<uint8_t, 3>{1, 2, 3}));
    r = Run({"mouse"});
    EXPECT_NE(r.out.find("polling 4\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("active-stage 3\n"), std::string::npos) << r.out;
}

TEST_P(MouseCommandsTest, ButtonsGoThroughTheFunctionMap) {
    Result r = Run({"set-button", "3", "0x10,0x02,0"});  // forward sits at key 4
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Mouse().KeyMap()[12], 0x10);
    EXPECT_EQ(Mouse().KeyMap()[13], 0x02);
    // No macro list in the user folder: a macro falls back to the button's default.
    r = Run({"set-button", "1", "0x70,0,0"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("= 16,2,0"), std::string::npos) << r.out;
    r = Run({"set-button", "7", "0x10,1,0"});
    EXPECT_EQ(r.code, 2);  // the emulated mouse has no third DPI button
    r = Run({"buttons"});
    EXPECT_NE(r.out.find("function 7 none"), std::string::npos) << r.out;
}

TEST_P(MouseCommandsTest, BadArgumentsAreRefusedBeforeTheMouseIsAsked) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"set-dpi"},
                                                                                      {"set-dpi", "7=800"},
                                                                                      {"set-dpi", "0=12801"},
                                                                                      {"set-dpi", "0800"},
                                                                                      {"set-stage", "7"},
                                                                                      {"set-polling", "5"},
                                                                                      {"set-sleep", "ble3=1"},
                                                                                      {"set-button", "11", "1,2,3"}}) {
        const uint32_t seen = Mouse().CommandsSeen(0x03);
        EXPECT_EQ(Run(args).code, 1) << args.front();
        EXPECT_EQ(Mouse().CommandsSeen(0x03), seen);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, MouseCommandsTest, ::testing::Values("mouse", "receiver-mouse"), [](const auto& info) {
    return std::string(info.param == std::string("mouse") ? "Cable" : "Receiver");
});

}  // namespace
