#include "tools/ProtocolCommands.h"

#include <gtest/gtest.h>

#include <sstream>

#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimKeyboard.h"
#include "sim/SimMouse.h"
#include "sim/SimMousePad.h"
#include "sim/SimReceiver.h"
#include "tools/CtlCommandTable.h"
#include "tools/HexText.h"

using namespace q208;
using sim::FaultCounter;
using sim::SimArea;
using sim::SimDeviceKind;
using sim::SimDeviceSet;

namespace {

struct Result {
    int code = 0;
    std::string out, err;
};

Result RunCtl(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = CtlCommandTable::Standard().Run(args, out, err);
    return Result{code, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

// What keymap / ledmap must print for an emulator's area.
std::string PerKeyText(const std::vector<uint8_t>& bytes, size_t width) {
    std::string text;
    for (size_t key = 0; key * width < bytes.size(); ++key) {
        text += std::to_string(key) + ": " +
                HexText::Bytes(std::span<const uint8_t>(bytes).subspan(key * width, width)) + "\n";
    }
    return text;
}

// "> " or "< ", then exactly 64 lower-case hex bytes separated by single spaces.
bool IsTraceLine(const std::string& line) {
    constexpr size_t kBytes = 64;
    if (line.size() != 1 + kBytes * 3 || (line[0] != '>' && line[0] != '<')) return false;
    const auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    for (size_t i = 0; i < kBytes; ++i) {
        const size_t at = 1 + i * 3;
        if (line[at] != ' ' || !hex(line[at + 1]) || !hex(line[at + 2])) return false;
    }
    return true;
}

// Every test leaves the process-wide default bus as it found it.
class ProtocolCommandsTest : public ::testing::Test {
protected:
    void TearDown() override { SetDefaultHidBus(saved_); }

private:
    std::shared_ptr<IHidBus> saved_ = DefaultHidBus();
};

// A simulated bus of the test's own, made the default so commands run without --simulate
// and the test can reach the emulated devices (faults, memory).
class OwnBusTest : public ProtocolCommandsTest {
protected:
    OwnBusTest() { SetDefaultHidBus(bus_); }

    std::shared_ptr<SimBus> bus_ = std::make_shared<SimBus>();
    SimDeviceSet set_{bus_};
};

const std::string kAllDevices = "--simulate=keyboard,mouse,mousepad,headset,receiver";

}  // namespace

TEST_F(ProtocolCommandsTest, ListShowsEveryMatchedInterfaceInSlotOrder) {
    const Result r = RunCtl({kAllDevices, "list"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    // slot, kind, role, path: whitespace-separated columns.
    const std::vector<std::string> expected = {
        "0 keyboard primary",  "1 keyboard secondary", "4 receiver primary",  "5 receiver secondary",
        "6 mouse primary",     "7 mouse secondary",    "10 mousepad primary", "11 mousepad secondary",
        "12 headset primary"};
    ASSERT_EQ(lines.size(), expected.size()) << r.out;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::istringstream columns(lines[i]);
        std::string slot, kind, role, path;
        columns >> slot >> kind >> role >> path;
        EXPECT_EQ(slot + " " + kind + " " + role, expected[i]);
        EXPECT_EQ(path.rfind("sim:", 0), 0u) << lines[i];
    }
    EXPECT_NE(lines[0].find("#vid_4e5b&pid_7c13&mi_01&col04"), std::string::npos);
    EXPECT_NE(lines[5].find("#vid_4e5b&pid_7c11&mi_00&col03"), std::string::npos);  // the mouse's mi 0 row
    EXPECT_NE(lines[8].find("#vid_2a91&pid_3e48&mi_03"), std::string::npos);
}

TEST_F(ProtocolCommandsTest, SimulatedRunRestoresTheDefaultBus) {
    const std::shared_ptr<IHidBus> before = DefaultHidBus();
    EXPECT_EQ(RunCtl({"--simulate", "status"}).code, 0);
    EXPECT_EQ(DefaultHidBus(), before);
}

TEST_F(ProtocolCommandsTest, KeyMapAndLedMapMatchTheEmulatorOnBothPaths) {
    const sim::SimKeyboard keyboard;
    const sim::SimMouse mouse;
    struct Case {
        const char* device;
        std::vector<uint8_t> keyMap;
    };
    for (const Case& c : {Case{"keyboard", keyboard.KeyMap()}, Case{"receiver-keyboard", keyboard.KeyMap()},
                          Case{"mouse", mouse.KeyMap()}, Case{"receiver-mouse", mouse.KeyMap()}}) {
        const Result r = RunCtl({kAllDevices, "--device", c.device, "keymap"});
        EXPECT_EQ(r.code, 0) << c.device << r.err;
        EXPECT_EQ(r.out, PerKeyText(c.keyMap, 3)) << c.device;
    }
    ASSERT_EQ(keyboard.KeyMap().size(), 312u);
    for (const char* device : {"keyboard", "receiver-keyboard"}) {
        const Result r = RunCtl({kAllDevices, "--device", device, "ledmap"});
        EXPECT_EQ(r.code, 0) << device << r.err;
        EXPECT_EQ(r.out, PerKeyText(keyboard.LedMap(), 1)) << device;
        EXPECT_EQ(Lines(r.out).size(), 104u);
    }
    // Devices without keys read an empty map.
    EXPECT_EQ(RunCtl({kAllDevices, "--device", "mousepad", "keymap"}).out, "(no keys)\n");
}

TEST_F(ProtocolCommandsTest, InfoDumpsTheBlockAndDecodesKeysAndMacroCapacity) {
    const sim::SimKeyboard keyboard;
    const std::vector<uint8_t> info = keyboard.Info();
    for (const char* device : {"keyboard", "receiver-keyboard"}) {
        const Result r = RunCtl({kAllDevices, "--device", device, "info"});
        ASSERT_EQ(r.code, 0) << r.err;
        const std::vector<std::string> lines = Lines(r.out);
        ASSERT_EQ(lines.size(), 5u) << r.out;
        EXPECT_EQ(lines[0], "0x0000: " + HexText::Bytes(std::span<const uint8_t>(info).first(16)));
        EXPECT_EQ(lines[2], "0x0020: " + HexText::Bytes(std::span<const uint8_t>(info).subspan(32)));
        EXPECT_EQ(lines[3], "keys: 104");
        EXPECT_EQ(lines[4], "macro capacity: 4096 bytes");
    }
    EXPECT_NE(RunCtl({kAllDevices, "--device", "mouse", "info"}).out.find("keys: 8\nmacro capacity: 4096 bytes\n"),
              std::string::npos);
    EXPECT_NE(RunCtl({kAllDevices, "--device", "headset", "info"}).out.find("keys: 0\n"), std::string::npos);
}

TEST_F(OwnBusTest, ConfigReadsTheActiveEntryAndAnyRangeInHex) {
    set_.PlugAll({SimDeviceKind::Keyboard, SimDeviceKind::Receiver});
    set_.Keyboard()->SwitchLightingEntry(3);
    for (const char* device : {"keyboard", "receiver-keyboard"}) {
        const Result r = RunCtl({"--device", device, "config", "0", "1"});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, "0x0000: 03\n") << device;
    }
    const std::vector<uint8_t> config = set_.Keyboard()->Config();
    const Result r = RunCtl({"--device", "receiver-keyboard", "config", "0x4b", "26"});  // entry 3 at 3 × 25
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "0x004b: " + HexText::Bytes(std::span<const uint8_t>(config).subspan(75, 16)) + "\n" +
                         "0x005b: " + HexText::Bytes(std::span<const uint8_t>(config).subspan(91, 10)) + "\n");
}

TEST_F(OwnBusTest, StatusIsDecoded) {
    set_.PlugAll({SimDeviceKind::Keyboard, SimDeviceKind::MousePad, SimDeviceKind::Headset});
    set_.Keyboard()->SetStatusBlock({42, 1, 0, 1, 0x7E, 0});
    std::static_pointer_cast<sim::SimMousePad>(set_.Device(SimDeviceKind::MousePad))->SetPhoneType(2);
    EXPECT_EQ(RunCtl({"--device", "keyboard", "status"}).out,
              "status: 2a 01 00 01 7e 00\nbattery: 42%\ncharge: charging\nwireless: yes (0x01)\nbyte 4: 0x7e\n"
              "phone: none\n");
    const Result pad = RunCtl({"--device", "mousepad", "status"});
    EXPECT_NE(pad.out.find("battery: 100%\ncharge: charged\nwireless: no (0x00)\n"), std::string::npos) << pad.out;
    EXPECT_NE(pad.out.find("phone: type 2\n"), std::string::npos);
    set_.Keyboard()->SetStatusBlock({0, 9, 0, 0, 0, 0});
    EXPECT_NE(RunCtl({"status"}).out.find("charge: unknown (0x09)\n"), std::string::npos);
    EXPECT_EQ(RunCtl({"--device", "headset", "status"}).code, 0);
}

TEST_F(OwnBusTest, LinkDecodesTheReceiverAndNamesTheCable) {
    set_.PlugAll({SimDeviceKind::Keyboard, SimDeviceKind::Receiver});
    EXPECT_EQ(RunCtl({"--device", "keyboard", "link"}).out, "wired: directly attached\n");
    EXPECT_EQ(RunCtl({"--device", "receiver-keyboard", "link"}).out, "keyboard: linked\nmouse: linked\n");
    set_.Receiver()->SetLinked(SimDeviceKind::Mouse, false);
    EXPECT_EQ(RunCtl({"--device", "receiver-mouse", "link"}).out, "keyboard: linked\nmouse: not linked\n");
    // Both gone is an answer, not a failure.
    set_.Receiver()->SetLinked(SimDeviceKind::Keyboard, false);
    const Result r = RunCtl({"--slot", "4", "link"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "keyboard: not linked\nmouse: not linked\n");
}

TEST_F(ProtocolCommandsTest, TraceShowsEveryReportAsSixtyFourHexBytes) {
    const Result wired = RunCtl({kAllDevices, "--trace", "--device", "keyboard", "info"});
    ASSERT_EQ(wired.code, 0);
    const std::vector<std::string> wiredLines = Lines(wired.err);
    ASSERT_EQ(wiredLines.size(), 2u) << wired.err;  // one report of 34 bytes there and back
    for (const std::string& l : wiredLines) EXPECT_TRUE(IsTraceLine(l)) << l;
    EXPECT_FALSE(IsTraceLine("> 04 25"));
    EXPECT_EQ(wiredLines[0].substr(0, 26), "> 04 25 00 03 22 00 00 00 ");  // checksum 0x03 + 0x22
    EXPECT_EQ(wiredLines[1].substr(0, 2), "< ");
    EXPECT_EQ(Lines(wired.out).back(), "macro capacity: 4096 bytes");  // stdout keeps only the result

    const Result receiver = RunCtl({kAllDevices, "--trace", "--device", "receiver-mouse", "keymap"});
    ASSERT_EQ(receiver.code, 0) << receiver.err;
    size_t sent = 0;
    for (const std::string& l : Lines(receiver.err)) {
        EXPECT_TRUE(IsTraceLine(l)) << l;
        if (l[0] != '>') continue;
        ++sent;
        EXPECT_EQ(l.substr(2 + 32 * 3, 2), "02") << l;  // the mouse behind the receiver
    }
    // BeginConfig, info in 24 + 10, 24 key-map bytes in one report, EndConfig.
    EXPECT_EQ(sent, 5u);
}

TEST_F(OwnBusTest, FailedCommandsPrintTheResultAndExitTwo) {
    set_.PlugAll({SimDeviceKind::Keyboard, SimDeviceKind::Receiver});
    set_.Keyboard()->faults().statusBadChecksum = FaultCounter::kAlways;
    Result r = RunCtl({"--device", "keyboard", "info"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "error: read device information: result -103 (the device answered status 0xFE)\n");
    r = RunCtl({"--device", "keyboard", "status"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "error: read status: result -103 (the device answered status 0xFE)\n");
    set_.Keyboard()->faults().statusBadChecksum = 0;

    set_.Receiver()->faults().linkLoss = FaultCounter::kAlways;
    r = RunCtl({"--device", "receiver-keyboard", "keymap"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "error: begin configuration: result -101 (the receiver cannot reach the device)\n");
    EXPECT_EQ(RunCtl({"--device", "receiver-keyboard", "config", "0", "1"}).code, 2);
    set_.Receiver()->faults().linkLoss = 0;

    set_.Receiver()->faults().statusRefused = 1;  // the QueryLink answer itself refused
    r = RunCtl({"--device", "receiver-keyboard", "link"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "error: query link: result -102 (the device answered status 0xFF)\n");

    // The device refuses a range past its setting area.
    r = RunCtl({"--device", "keyboard", "config", "65535", "1"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("result -102"), std::string::npos);
}

TEST_F(OwnBusTest, KeyMapSessionIsClosedEvenWhenTheKeyCountIsRefused) {
    set_.PlugAll({SimDeviceKind::Mouse});
    const uint8_t tooManyKeys[] = {171};  // 513 key-map bytes
    ASSERT_TRUE(set_.Mouse()->Poke(SimArea::Info, 5, tooManyKeys));
    const uint32_t endsBefore = set_.Mouse()->CommandsSeen(0x02);
    const Result r = RunCtl({"--device", "mouse", "keymap"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("error: set data size: the key count 171 needs 513 key-map bytes"), std::string::npos)
        << r.err;
    EXPECT_EQ(set_.Mouse()->CommandsSeen(0x02), endsBefore + 1);
    EXPECT_FALSE(set_.Mouse()->InConfigSession());
    EXPECT_EQ(set_.Mouse()->CommandsSeen(0x07), 0u);  // the key map was never asked for
}

TEST_F(OwnBusTest, DeviceSelection) {
    set_.PlugAll({SimDeviceKind::Receiver, SimDeviceKind::Headset});
    // Without --device: the first primary slot found, the receiver's, meaning its keyboard.
    Result r = RunCtl({"--trace", "info"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Lines(r.err)[0].substr(2 + 32 * 3, 2), "00");
    EXPECT_EQ(Lines(r.err).size(), 4u);  // two reports of 24 + 10 bytes
    // --slot of the rows behind the receiver goes through the receiver's path.
    r = RunCtl({"--trace", "--slot", "8", "status"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Lines(r.err)[0].substr(2 + 32 * 3, 2), "02");
    EXPECT_EQ(RunCtl({"--slot", "12", "link"}).out, "wired: directly attached\n");

    r = RunCtl({"--device", "keyboard", "info"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "error: no keyboard found (slot 0) on the HID bus\n");
    set_.Unplug(SimDeviceKind::Receiver);
    set_.Unplug(SimDeviceKind::Headset);
    r = RunCtl({"list"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "error: no supported device found on the HID bus\n");
    EXPECT_EQ(RunCtl({"status"}).code, 2);
}

TEST_F(ProtocolCommandsTest, BadArgumentsExitOneWithTheReason) {
    const std::vector<std::vector<std::string>> cases = {
        {"config"},
        {"config", "0"},
        {"config", "x", "1"},
        {"config", "0", "0"},
        {"config", "0", "4097"},
        {"config", "0x", "1"},
        {"config", "65535", "2"},
        {"config", "-1", "2"},
        {"info", "extra"},
        {"--device", "toaster", "info"},
        {"--slot", "13", "info"},
        {"--slot", "1", "info"},  // a secondary interface
        {"--device", "keyboard", "--slot", "0", "info"},
        {"--simulate=keyboard,toaster", "list"},
    };
    for (std::vector<std::string> args : cases) {
        args.insert(args.begin(), "--simulate");
        if (args[1].rfind("--simulate=", 0) == 0) args.erase(args.begin());
        const Result r = RunCtl(args);
        EXPECT_EQ(r.code, 1) << args.back() << " " << r.err;
        EXPECT_EQ(r.err.rfind("q208ctl: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(CtlCommandTable::kHelpPointer), std::string::npos);
        EXPECT_EQ(r.out, "");
    }
    // The largest read that fits the area is accepted.
    EXPECT_EQ(RunCtl({"--simulate", "config", "61440", "4096"}).code, 2);  // valid; the device refuses it
}
