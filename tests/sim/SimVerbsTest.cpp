#include "sim/SimVerbs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <algorithm>
#include <sstream>

#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimScript.h"

using namespace q208;
using namespace q208::sim;

namespace {

class SimVerbsTest : public ::testing::Test {
protected:
    SimVerbsTest() : devices(std::make_shared<SimBus>()), verbs(devices) {
        devices.PlugAll({SimDeviceKind::Keyboard, SimDeviceKind::Receiver});
    }
    SimVerbResult Run(const std::string& line) { return verbs.Run(line); }
    static bool Has(const SimVerbResult& r, const std::string& text) { return r.text.find(text) != std::string::npos; }

    SimDeviceSet devices;
    SimVerbs verbs;
};

TEST_F(SimVerbsTest, EveryUnknownWordIsABadLineThatNamesTheChoices) {
    for (const char* line : {"", "dance keyboard", "state", "state toaster", "state keyboard attic",
                             "input keyboard sneeze", "input keyboard key 64 sideways", "input keyboard key 200 down",
                             "input mousepad key 64 down", "set keyboard colour=1", "set keyboard battery=101",
                             "set keyboard sensor=0x3389", "fault keyboard gremlins", "fault keyboard link-loss",
                             "fault keyboard no-answer sometimes", "fault keyboard no-answer=3", "plug receiver-mouse"}) {
        const SimVerbResult result = Run(line);
        EXPECT_EQ(result.status, SimVerbs::kBadLine) << line;
        EXPECT_FALSE(result.text.empty()) << line;
    }
    EXPECT_TRUE(Has(Run("state keyboard attic"), "traffic"));
}

TEST_F(SimVerbsTest, TrafficCountsSincePlugAndShowsBothDirections) {
    Report request{};
    request[ReportByte::Id] = kVendorReportId;
    request[ReportByte::Command] = Command::ReadStatus;
    request[ReportByte::Length] = 6;
    StoreChecksum(request);
    devices.Keyboard()->HandleOutputReport(request);
    devices.Keyboard()->HandleOutputReport(request);
    SimVerbResult traffic = Run("state keyboard traffic");
    ASSERT_EQ(traffic.status, SimVerbs::kDone);
    EXPECT_TRUE(Has(traffic, "count 1a 2\n"));
    EXPECT_TRUE(Has(traffic, "\n> 04 "));
    EXPECT_TRUE(Has(traffic, "\n< 04 "));

    Run("unplug keyboard");
    Run("plug keyboard");
    EXPECT_FALSE(Has(Run("state keyboard traffic"), "count 1a"));
}

// Each plug and unplug says what happened: doing it twice is refused the second time.
TEST_F(SimVerbsTest, PlugAndUnplugReportWhetherTheyChangedAnything) {
    EXPECT_EQ(Run("unplug keyboard").status, SimVerbs::kDone);
    const SimVerbResult again = Run("unplug keyboard");
    EXPECT_EQ(again.status, SimVerbs::kRefused);
    EXPECT_TRUE(Has(again, "keyboard is not plugged"));
    EXPECT_EQ(Run("plug keyboard").status, SimVerbs::kDone);
    EXPECT_EQ(Run("plug keyboard").status, SimVerbs::kRefused);
    EXPECT_FALSE(devices.IsPlugged(SimDeviceKind::MousePad));
    EXPECT_EQ(Run("unplug mousepad").status, SimVerbs::kRefused);
}

TEST_F(SimVerbsTest, TheRingKeepsTheLast64Reports) {
    for (int i = 0; i < 100; ++i) devices.Keyboard()->EmitEvent(0x0401);
    const std::string text = Run("state keyboard traffic").text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 64);
}

TEST_F(SimVerbsTest, AKeyStrokeSendsTheKeyReportAndTheKeyEvent) {
    ASSERT_EQ(Run("input keyboard key 64 down").status, SimVerbs::kDone);  // row 64: device key 59, usage 4
    ASSERT_EQ(Run("input keyboard key 63 down").status, SimVerbs::kDone);  // row 63: device key 58, usage 0x39
    ASSERT_EQ(Run("input keyboard key 64 up").status, SimVerbs::kDone);
    const std::string text = Run("state keyboard traffic").text;
    const auto at = [&](const std::string& line) { return text.find(line); };
    // key report (id 1: modifiers, a bit per usage), then the vendor key event.
    const auto aDown = at("< 01 00 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n");
    const auto bothDown = at("< 01 00 10 00 00 00 00 00 00 02 00 00 00 00 00 00 00\n");
    const auto capsOnly = at("< 01 00 00 00 00 00 00 00 00 02 00 00 00 00 00 00 00\n");
    const auto aUpEvent = at("< 04 3b 06 00");
    ASSERT_NE(aDown, std::string::npos) << text;
    ASSERT_NE(bothDown, std::string::npos) << text;
    ASSERT_NE(capsOnly, std::string::npos) << text;
    EXPECT_LT(aDown, at("< 04 3b 05 00"));
    EXPECT_LT(bothDown, capsOnly);
    EXPECT_LT(capsOnly, aUpEvent);
}

TEST_F(SimVerbsTest, InputNeedsSomeoneToHearIt) {
    Run("unplug receiver");
    Run("unplug keyboard");
    EXPECT_EQ(Run("input keyboard resync").status, SimVerbs::kRefused);
    Run("plug receiver");
    EXPECT_EQ(Run("input receiver-keyboard resync").status, SimVerbs::kDone);
    Run("unlink receiver-keyboard");
    EXPECT_EQ(Run("input receiver-keyboard resync").status, SimVerbs::kRefused);
}

TEST_F(SimVerbsTest, SetChangesStatusAndTheMouseSensor) {
    ASSERT_EQ(Run("set keyboard battery=42 charging=1").status, SimVerbs::kDone);
    EXPECT_EQ(devices.Keyboard()->Status()[0], 42);
    EXPECT_EQ(devices.Keyboard()->Status()[1], 1);
    ASSERT_EQ(Run("set keyboard charging=0").status, SimVerbs::kDone);
    EXPECT_EQ(devices.Keyboard()->Status()[1], 2);  // wireless: on battery, not "charged"
    ASSERT_EQ(Run("set receiver-mouse sensor=0x3389 dpi-min=50 dpi-step=25").status, SimVerbs::kDone);
    const SimVerbResult info = Run("state mouse info");
    EXPECT_TRUE(Has(info, "sensor 0x3389\ndpi-step 25\ndpi-min 50\n")) << info.text;
}

TEST_F(SimVerbsTest, FaultsAreSetByNameCountedAndCleared) {
    ASSERT_EQ(Run("fault keyboard slow=250 3").status, SimVerbs::kDone);
    EXPECT_EQ(devices.Keyboard()->faults().slowAnswer.Remaining(), 3);
    EXPECT_EQ(devices.Keyboard()->faults().slowAnswerMs.load(), 250);
    ASSERT_EQ(Run("fault receiver-keyboard link-loss always").status, SimVerbs::kDone);
    EXPECT_EQ(devices.Receiver()->faults().linkLoss.Remaining(), FaultCounter::kAlways);
    EXPECT_TRUE(Has(Run("state receiver-keyboard faults"), "link-loss -1\n"));
    ASSERT_EQ(Run("fault receiver-keyboard clear").status, SimVerbs::kDone);
    EXPECT_EQ(devices.Receiver()->faults().linkLoss.Remaining(), 0);
    EXPECT_EQ(devices.Keyboard()->faults().slowAnswer.Remaining(), 0);
}

TEST_F(SimVerbsTest, TheUnreachableFaultAnswersAsTheReceiverDoes) {
    Run("fault keyboard unreachable");
    Report request{};
    request[ReportByte::Id] = kVendorReportId;
    request[ReportByte::Command] = Command::ReadDeviceInfo;
    StoreChecksum(request);
    const auto answers = devices.Keyboard()->HandleOutputReport(request);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].report[ReportByte::Command], kUnreachable);
    EXPECT_EQ(devices.Keyboard()->HandleOutputReport(request)[0].report[ReportByte::Command], Command::ReadDeviceInfo);
}

TEST_F(SimVerbsTest, StateViewsDecodeTheLayouts) {
    EXPECT_TRUE(Has(Run("state keyboard config"), "entry 0: effect=1 brightness=4"));
    EXPECT_TRUE(Has(Run("state keyboard link"), "plugged yes\nreceiver-plugged yes\nlinked yes\n"));
    EXPECT_TRUE(Has(Run("state mousepad config"), "active-block 0"));
    EXPECT_TRUE(Has(Run("state keyboard"), "[traffic]"));
}

TEST(SimScript, LinesRunInOrderBeforeBetweenAndAfterTransfers) {
    SimDeviceSet devices(std::make_shared<SimBus>());
    devices.PlugAll({SimDeviceKind::Keyboard});
    std::string error;
    auto script = SimScript::Parse("# battery first\nset keyboard battery=7\n@2 set keyboard battery=9\n"
                                   "@end state keyboard status\n",
                                   error);
    ASSERT_TRUE(script) << error;
    std::ostringstream out;
    ASSERT_EQ(script->Start(devices, out, error), 0) << error;
    EXPECT_EQ(devices.Keyboard()->Status()[0], 7);
    const auto path = devices.CommandPath(SimDeviceKind::Keyboard);
    auto handle = devices.Bus()->Open(path, true, true);
    ASSERT_TRUE(handle);
    Report request{};
    request[ReportByte::Id] = kVendorReportId;
    request[ReportByte::Command] = Command::BeginConfig;
    StoreChecksum(request);
    handle->Write(request.data(), request.size(), 1000, nullptr);
    EXPECT_EQ(devices.Keyboard()->Status()[0], 7);
    handle->Write(request.data(), request.size(), 1000, nullptr);
    EXPECT_EQ(devices.Keyboard()->Status()[0], 9);
    ASSERT_EQ(script->Finish(error), 0) << error;
    EXPECT_NE(out.str().find("battery 9"), std::string::npos);
}

TEST(SimScript, BadTimingAndFailingVerbsNameTheirLine) {
    std::string error;
    EXPECT_FALSE(SimScript::Parse("set keyboard battery=1\n@soon plug mouse\n", error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
    EXPECT_FALSE(SimScript::Parse("@3\n", error));

    SimDeviceSet devices(std::make_shared<SimBus>());
    auto script = SimScript::Parse("\nplug keyboard\nplug keyboard\n", error);
    ASSERT_TRUE(script);
    std::ostringstream out;
    EXPECT_EQ(script->Start(devices, out, error), SimVerbs::kRefused);
    EXPECT_NE(error.find("line 3"), std::string::npos);

    auto late = SimScript::Parse("@5 plug mouse\n", error);
    ASSERT_TRUE(late->Start(devices, out, error) == 0);
    EXPECT_EQ(late->Finish(error), SimVerbs::kRefused);
    EXPECT_NE(error.find("never reached"), std::string::npos);
}

}  // namespace
