// q208ctl's keyboard commands against the emulated keyboard, on the cable and through the
// receiver, on a simulated bus the test owns (so it can look into the keyboard's memory).
#include "tools/KeyboardCommands.h"

#include <gtest/gtest.h>

#include <sstream>

#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimKeyboard.h"
#include "sim/SimKeyboardLayout.h"
#include "tools/CtlCommandTable.h"

using namespace q208;
using sim::SimArea;
using sim::SimDeviceKind;

namespace {

struct Result {
    int code = 0;
    std::string out, err;
};

class KeyboardCommandsTest : public ::testing::TestWithParam<const char*> {
protected:
    KeyboardCommandsTest() {
        SetDefaultHidBus(bus_);
        set_.PlugAll({SimDeviceKind::Keyboard, SimDeviceKind::Receiver});
    }
    ~KeyboardCommandsTest() override { SetDefaultHidBus(saved_); }

    Result Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", GetParam()});
        std::ostringstream out, err;
        const int code = CtlCommandTable::Standard().Run(args, out, err);
        return {code, out.str(), err.str()};
    }
    sim::SimKeyboard& Keyboard() { return *set_.Keyboard(); }

    std::shared_ptr<IHidBus> saved_ = DefaultHidBus();
    std::shared_ptr<SimBus> bus_ = std::make_shared<SimBus>();
    sim::SimDeviceSet set_{bus_};
};

TEST_P(KeyboardCommandsTest, LightingDecodesTheActiveEntry) {
    const uint8_t active[] = {2};
    const uint8_t record[] = {2, 4, 3, 1, 0, 1, 10, 20, 30};
    ASSERT_TRUE(Keyboard().Poke(SimArea::Config, 0, active));
    ASSERT_TRUE(Keyboard().Poke(SimArea::Config, 50, record));
    const Result r = Run({"lighting"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("entry 2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("effect 4 (code 4"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("speed 3\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("rgb 10,20,30\n"), std::string::npos) << r.out;
}

TEST_P(KeyboardCommandsTest, SetLightingChangesOnlyTheGivenFieldsAndStreamsEffect30AsFE) {
    const auto before = Keyboard().LightingRecord(0);
    const Result r = Run({"set-lighting", "effect=30", "speed=4", "rgb=1,2,3"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto expected = before;
    expected[1] = 0xFE;
    expected[3] = 0;
    expected[6] = 1;
    expected[7] = 2;
    expected[8] = 3;
    EXPECT_EQ(Keyboard().LightingRecord(0), expected);
}

TEST_P(KeyboardCommandsTest, SetKeyWritesTheRowsDeviceKey) {
    const Result r = Run({"set-key", "1", "0x30,0xE9,0"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto keys = sim::SimKeyboardKeys();
    size_t f1 = 0;
    while (keys[f1].tableRow != 1) ++f1;
    const auto map = Keyboard().KeyMap();
    EXPECT_EQ(map[f1 * 3], 0x30);
    EXPECT_EQ(map[f1 * 3 + 1], 0xE9);
    EXPECT_EQ(map[f1 * 3 + 2], 0x00);

    const Result keyless = Run({"set-key", "20", "0x20,0,4"});
    EXPECT_EQ(keyless.code, 2);
    EXPECT_NE(keyless.err.find("no key"), std::string::npos);
}

TEST_P(KeyboardCommandsTest, BadArgumentsAreUsageErrorsAndSendNothing) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"set-lighting", "brightness=5"},
                                                                  {"set-lighting", "colour=1"},
                                                                  {"set-lighting", "rgb=1,2"},
                                                                  {"set-lighting", "effect=99"},
                                                                  {"set-lighting", "direction=2"},
                                                                  {"set-key", "170", "1,2,3"},
                                                                  {"set-key", "1", "1,2"},
                                                                  {"set-key", "1", "1,2,256"}}) {
        EXPECT_EQ(Run(args).code, 1) << args[0] << ' ' << args[1];
    }
    EXPECT_EQ(Keyboard().CommandsSeen(0x06), 0u);
    EXPECT_EQ(Keyboard().CommandsSeen(0x09), 0u);
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyboardCommandsTest, ::testing::Values("keyboard", "receiver-keyboard"),
                         [](const auto& info) { return std::string(info.index == 0 ? "Cable" : "Receiver"); });

TEST(KeyboardEffectFramesCommand, PrintsAStepLineThen170RowLinesPerStep) {
    std::ostringstream out, err;
    ASSERT_EQ(CtlCommandTable::Standard().Run({"effect-frames", "5", "2", "rgb=0,0,255", "brightness=2"}, out, err), 0)
        << err.str();
    std::istringstream lines(out.str());
    std::string line;
    int steps = 0, rows = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("step ", 0) == 0) {
            ++steps;
            continue;
        }
        ++rows;
        if (line.rfind("64 ", 0) == 0) {
            EXPECT_EQ(line, "64 0,0,255,135");
        }
    }
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(rows, 2 * 170);

    std::ostringstream out2, err2;
    EXPECT_EQ(CtlCommandTable::Standard().Run({"effect-frames", "20", "1"}, out2, err2), 2) << "20 has no renderer";
    EXPECT_EQ(CtlCommandTable::Standard().Run({"effect-frames", "5"}, out2, err2), 1);
}

}  // namespace

// The keyboard's record layouts are refused for every other device, whichever way it is
// named, before anything reaches it.
TEST(KeyboardCommandsKinds, OtherDevicesAreRefusedWithExitOne) {
    const std::shared_ptr<IHidBus> saved = DefaultHidBus();
    auto bus = std::make_shared<SimBus>();
    SetDefaultHidBus(bus);
    sim::SimDeviceSet set(bus);
    set.PlugAll({SimDeviceKind::Keyboard, SimDeviceKind::MousePad, SimDeviceKind::Headset, SimDeviceKind::Mouse});
    const std::vector<std::vector<std::string>> cases = {
        {"--device", "mousepad", "set-lighting", "effect=2"},
        {"--device", "headset", "lighting"},
        {"--device", "mouse", "set-key", "1", "1,2,3"},
        {"--device", "receiver-mouse", "lighting"},
        {"--slot", "10", "lighting"},  // the mouse pad's slot
    };
    for (const auto& args : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(CtlCommandTable::Standard().Run(args, out, err), 1) << args[1];
        EXPECT_NE(err.str().find("works on the keyboard only"), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
    for (SimDeviceKind kind : {SimDeviceKind::MousePad, SimDeviceKind::Headset, SimDeviceKind::Mouse}) {
        uint32_t seen = 0;
        for (int code = 0; code < 256; ++code) seen += set.Device(kind)->CommandsSeen(static_cast<uint8_t>(code));
        EXPECT_EQ(seen, 0u) << static_cast<int>(kind);
    }
    SetDefaultHidBus(saved);
}
