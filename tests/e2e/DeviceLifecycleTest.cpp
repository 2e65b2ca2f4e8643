// Cables and radio links change while the program runs; it follows them.
#include <filesystem>
#include <sstream>

#include <json/value.h>

#include "e2e/Q208E2eTest.h"
#include "platform/Paths.h"
#include "profile/JsonFile.h"

namespace q208::e2e {
namespace {

constexpr uint8_t kReadDeviceInfo = 0x03;
constexpr uint8_t kReadConfig = 0x05;
constexpr uint8_t kReadStatus = 0x1A;
constexpr uint8_t kQueryLink = 0xAA;

class DeviceLifecycle : public Q208E2eTest {};

TEST_F(DeviceLifecycle, AReplugIsReadAgain) {
    ASSERT_TRUE(StartQ208());
    ASSERT_TRUE(WaitForCommandCount("keyboard", kReadDeviceInfo, 1)) << Q208Log();
    ProcessResult result = RunCtl({"sim", "unplug", "keyboard"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(WaitForOutput({"sim", "state", "keyboard", "link"}, "plugged no"), "plugged no"));
    result = RunCtl({"sim", "plug", "keyboard"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    // The traffic starts over with the plug, so a read now is the program's new read.
    EXPECT_TRUE(WaitForCommandCount("keyboard", kReadDeviceInfo, 1)) << Q208Log();
}

TEST_F(DeviceLifecycle, ReceiverLinkLossAndReturn) {
    ASSERT_TRUE(StartQ208());
    ASSERT_TRUE(WaitForCommandCount("receiver", kQueryLink, 1)) << Q208Log();
    ProcessResult result = RunCtl({"sim", "unlink", "receiver-keyboard"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    result = RunCtl({"sim", "state", "receiver", "link"});
    EXPECT_TRUE(Contains(result, "keyboard-linked no")) << Describe(result);
    // The program keeps asking the receiver and notices the keyboard come back.
    const int asked = CommandCount("receiver", kQueryLink);
    EXPECT_TRUE(WaitForCommandCount("receiver", kQueryLink, asked + 1)) << Q208Log();
    result = RunCtl({"sim", "link", "receiver-keyboard"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    const int readBefore = CommandCount("receiver-keyboard", kReadConfig);
    const int askedAgain = CommandCount("receiver", kQueryLink);
    EXPECT_TRUE(WaitForCommandCount("receiver", kQueryLink, askedAgain + 1)) << Q208Log();
    EXPECT_GE(CommandCount("receiver-keyboard", kReadConfig), readBefore);
    EXPECT_TRUE(Q208Running()) << Q208Log();
}

TEST_F(DeviceLifecycle, AResyncRequestRereadsTheKeyboard) {
    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    // The read at attach: the active entry, then its lighting record.
    ASSERT_TRUE(WaitForCommandCount("keyboard", kReadConfig, 2)) << Q208Log();
    const int before = CommandCount("keyboard", kReadConfig);
    const ProcessResult result = RunCtl({"sim", "input", "keyboard", "resync"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(WaitForCommandCount("keyboard", kReadConfig, before + 2)) << Q208Log();
}

// The battery of a keyboard behind the receiver: the program polls its status block and the
// answer carries what the keyboard reports.
TEST_F(DeviceLifecycle, TheBatteryIsPolled) {
    ASSERT_TRUE(StartQ208Simulating("receiver"));
    ProcessResult result = RunCtl({"sim", "set", "receiver-keyboard", "battery=42", "charging=1"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    result = RunCtl({"sim", "state", "receiver-keyboard", "status"});
    EXPECT_TRUE(Contains(result, "battery 42")) << Describe(result);
    ASSERT_TRUE(WaitForCommandCount("receiver-keyboard", kReadStatus, 1)) << Q208Log();
    const ProcessResult traffic = RunCtl({"sim", "state", "receiver-keyboard", "traffic"});
    // The status answer: command 0x1a at byte 3, the battery (0x2a) at byte 8.
    bool answered = false;
    std::istringstream lines(traffic.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("< 04 ", 0) == 0 && line.size() > 28 && line.substr(11, 2) == "1a" && line.substr(26, 2) == "2a")
            answered = true;
    }
    EXPECT_TRUE(answered) << Describe(traffic);
}

// What the page shows of a light strip: its mean colour from the running program's window.
class KeyLighting : public Q208E2eTest {
protected:
    static bool Dark(const std::string& colour) { return colour == "000000"; }
};

TEST_F(KeyLighting, AKeyPressOnTheKeyboardLightsItsKeyInTheReactiveEffect) {
    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    ASSERT_TRUE(WaitForCommandCount("keyboard", kReadConfig, 2)) << Q208Log();
    // Entry 4 of the emulated keyboard is the reactive effect; the keyboard reports the switch
    // and asks to be read again, as the real one does when its lighting key is pressed.
    const int readsBefore = CommandCount("keyboard", kReadConfig);
    ASSERT_EQ(RunCtl({"sim", "input", "keyboard", "entry", "4"}).exitCode, 0);
    ASSERT_EQ(RunCtl({"sim", "input", "keyboard", "resync"}).exitCode, 0);
    ASSERT_TRUE(WaitForCommandCount("keyboard", kReadConfig, readsBefore + 2)) << Q208Log();
    // Nothing pressed yet: the reactive effect leaves every key dark.
    for (const char* strip : {"light_64", "light_65"})
        ASSERT_TRUE(WaitForProbe(strip, Dark)) << strip << ' ' << Probe(strip) << '\n' << Q208Log();

    for (const char* direction : {"down", "up"}) {
        const ProcessResult result = RunCtl({"sim", "input", "keyboard", "key", "64", direction});
        ASSERT_EQ(result.exitCode, 0) << Describe(result);
    }
    const ProcessResult traffic = RunCtl({"sim", "state", "keyboard", "traffic"});
    // Row 64 is device key 59 ('A', usage 4): the key report, then the vendor key event.
    EXPECT_TRUE(Contains(traffic, "< 01 00 10 00")) << Describe(traffic);
    EXPECT_TRUE(Contains(traffic, "< 04 3b 05 00")) << Describe(traffic);
    EXPECT_TRUE(Contains(traffic, "< 04 3b 06 00")) << Describe(traffic);
    EXPECT_TRUE(WaitForProbe("light_64", [](const std::string& colour) { return !Dark(colour); })) << Q208Log();
    const std::string other = Probe("light_65");
    EXPECT_TRUE(Dark(other)) << "a key not pressed stays dark: " << other;
    // The foreign reports on the command interface did not disturb the channel.
    EXPECT_EQ(RunCtl({"sim", "input", "keyboard", "resync"}).exitCode, 0);
    const int reads = CommandCount("keyboard", kReadConfig);
    EXPECT_TRUE(WaitForCommandCount("keyboard", kReadConfig, reads + 1)) << Q208Log();
}

// The settings read back from the keyboard live in the profile the program made on its first
// start, and a second start takes the same profile instead of making another.
TEST_F(DeviceLifecycle, TheLightingReadBackSurvivesARestart) {
    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    ASSERT_EQ(RunCtl({"sim", "input", "keyboard", "entry", "4"}).exitCode, 0);
    ASSERT_EQ(RunCtl({"sim", "input", "keyboard", "resync"}).exitCode, 0);
    const std::filesystem::path folder = DataFolder() / kProductTitle / "Keyboard";
    const auto selectItem = [&]() -> int {
        const Json::Value list = ReadJsonValue(folder / "ProfileList.ini");
        const std::string id = list["profilelist"][0]["profileUUID"].asString();
        const Json::Value profile = ReadJsonValue(folder / (id + ".Json"));
        return profile["Device"][0]["LightInfo"]["SelectItem"].asInt();
    };
    ASSERT_TRUE(Poll([&] { return std::filesystem::exists(folder / "ProfileList.ini") && selectItem() == 6; },
                     kWaitTimeoutMs))
        << Q208Log();
    const Json::Value firstList = ReadJsonValue(folder / "ProfileList.ini");
    StopQ208();

    ASSERT_TRUE(StartQ208Simulating(""));
    ASSERT_EQ(RunCtl({"sim", "plug", "keyboard"}).exitCode, 0);
    ASSERT_TRUE(WaitForCommandCount("keyboard", kReadConfig, 1)) << Q208Log();
    const Json::Value secondList = ReadJsonValue(folder / "ProfileList.ini");
    EXPECT_EQ(secondList["profilelist"].size(), 1u);
    EXPECT_EQ(secondList["profilelist"][0]["profileUUID"], firstList["profilelist"][0]["profileUUID"]);
}

}  // namespace
}  // namespace q208::e2e
