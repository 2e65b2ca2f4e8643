// Key assignment through the real programs: q208ctl assign builds the record, keeps it in
// the selected profile and writes the key map; on the page a key clicked on the board and a
// key captured from the keyboard end up in the emulated keyboard's key map once saved.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

constexpr size_t kCodeSize = 3;

// The key map bytes of a "state KIND keymap" dump ("0x0000: 20 00 29 ..." lines).
std::vector<int> KeyMapBytes(const std::string& dump) {
    std::vector<int> bytes;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("0x", 0) != 0 || line.find(':') == std::string::npos) continue;
        std::istringstream values(line.substr(line.find(':') + 1));
        for (std::string value; values >> value;) bytes.push_back(std::stoi(value, nullptr, 16));
    }
    return bytes;
}

// The device key holding `code`, -1 when none does.
int KeyWithCode(const std::vector<int>& bytes, const std::vector<int>& code) {
    for (size_t k = 0; k + kCodeSize <= bytes.size(); k += kCodeSize) {
        if (std::vector<int>(bytes.begin() + k, bytes.begin() + k + kCodeSize) == code) return static_cast<int>(k / kCodeSize);
    }
    return -1;
}

std::vector<int> CodeAt(const std::vector<int>& bytes, int key) {
    if (key < 0 || static_cast<size_t>(key + 1) * kCodeSize > bytes.size()) return {};
    return {bytes.begin() + key * kCodeSize, bytes.begin() + (key + 1) * kCodeSize};
}

class KeyAssignE2e : public Q208E2eTest {
protected:
    // Whether a keyboard profile in the user folder holds `value` as an assignment.
    bool KeyboardProfileHolds(int value) const {
        std::error_code ec;
        for (const auto& dir : std::filesystem::recursive_directory_iterator(DataFolder(), ec)) {
            if (dir.path().extension() != ".Json" || dir.path().parent_path().filename() != "Keyboard") continue;
            std::ifstream file(dir.path());
            const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            if (text.find("\"Assignment\" : " + std::to_string(value)) != std::string::npos) return true;
        }
        return false;
    }
};

TEST_F(KeyAssignE2e, AssignThroughQ208ctlWritesTheKeyMapAndKeepsItInTheProfile) {
    const std::string script = (DataFolder() / "keymap.sim").string();
    std::ofstream(script) << "@end state keyboard keymap\n";
    ProcessResult result =
        RunCtl({"--simulate=keyboard", "--sim-script", script, "assign", "A", "key", "ctrl+C"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "key A (row 64, device key 59) = 0x20,0x01,0x06")) << Describe(result);
    EXPECT_EQ(CodeAt(KeyMapBytes(result.out), 59), (std::vector<int>{0x20, 0x01, 0x06})) << result.out;
    EXPECT_TRUE(KeyboardProfileHolds(0x200106));

    // Back to the factory function, through the same table logic.
    result = RunCtl({"--simulate=keyboard", "--sim-script", script, "assign", "A", "default"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_EQ(CodeAt(KeyMapBytes(result.out), 59), (std::vector<int>{0x20, 0x00, 0x04})) << result.out;

    result = RunCtl({"--simulate=keyboard", "--sim-script", script, "assign", "A", "disabled"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_EQ(CodeAt(KeyMapBytes(result.out), 59), (std::vector<int>{0, 0, 0})) << result.out;

    // A mistake changes nothing and says why.
    result = RunCtl({"--simulate=keyboard", "assign", "A", "fire", "ten", "2"});
    EXPECT_EQ(result.exitCode, 1) << Describe(result);
    EXPECT_NE(result.err.find("INTERVAL"), std::string::npos) << Describe(result);
    result = RunCtl({"--simulate=keyboard", "assign", "Nokey", "disabled"});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);
}

TEST_F(KeyAssignE2e, AMouseButtonGetsFireWithTheIntervalRaisedToTen) {
    const std::string script = (DataFolder() / "keymap.sim").string();
    std::ofstream(script) << "@end state mouse keymap\n";
    const ProcessResult result =
        RunCtl({"--simulate=mouse", "--sim-script", script, "--device", "mouse", "assign", "4", "fire", "4", "2"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "= 0x14,0x0a,0x02")) << Describe(result);
    EXPECT_NE(KeyWithCode(KeyMapBytes(result.out), {0x14, 0x0A, 0x02}), -1) << result.out;
}

TEST_F(KeyAssignE2e, AKeyCapturedOnThePageIsSavedIntoTheKeyboard) {
    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    ProcessResult state;
    // The page has read the keyboard once its key A shows its record.
    ASSERT_TRUE(WaitUntil({"sim", "click", "key_64"}, [&](const ProcessResult&) {
        return Contains(RunCtl({"sim", "text", "keyset_keyboard_text_edit"}), ": A");
    })) << Q208Log();
    state = RunCtl({"sim", "state", "keyboard", "keymap"});
    const int key = KeyWithCode(KeyMapBytes(state.out), {0x20, 0x00, 0x04});
    ASSERT_GE(key, 0) << state.out;

    ASSERT_EQ(RunCtl({"sim", "click", "keyset_keyboard_text_edit"}).exitCode, 0);
    for (const char* name : {"main/RAlt", "main/B"}) {
        const ProcessResult pressed = RunCtl({"sim", "key", name});
        ASSERT_EQ(pressed.exitCode, 0) << Describe(pressed);
    }
    EXPECT_TRUE(Contains(RunCtl({"sim", "text", "keyset_keyboard_text_edit"}), ": B")) << Q208Log();
    ASSERT_EQ(RunCtl({"sim", "click", "key_butt_keysave"}).exitCode, 0);

    // Right Alt counts as the Alt option: left Alt with B.
    EXPECT_TRUE(WaitUntil({"sim", "state", "keyboard", "keymap"},
                          [&](const ProcessResult& r) {
                              return CodeAt(KeyMapBytes(r.out), key) == std::vector<int>{0x20, 0x04, 0x05};
                          },
                          &state))
        << state.out << Q208Log();
    EXPECT_TRUE(KeyboardProfileHolds(0x200405));

    // Beside the running program q208ctl leaves its profile alone.
    const ProcessResult refused = RunCtl({"--simulate=keyboard", "assign", "A", "disabled"});
    EXPECT_EQ(refused.exitCode, 2) << Describe(refused);
    EXPECT_NE(refused.err.find("q208 is running"), std::string::npos) << Describe(refused);
    EXPECT_TRUE(KeyboardProfileHolds(0x200405));
}

}  // namespace
}  // namespace q208::e2e

namespace q208::e2e {
namespace {

TEST_F(KeyAssignE2e, TheMousePageShowsAndWritesWhatTheProfileHolds) {
    // The back button (function 4) becomes a wheel in the profile; the fresh mouse does not know yet.
    ProcessResult result = RunCtl({"--simulate=mouse", "--device", "mouse", "assign", "4", "wheel", "down", "0", "0", "3"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    ASSERT_TRUE(StartQ208Simulating("mouse"));
    ASSERT_TRUE(WaitUntil({"sim", "click", "key_4"}, [&](const ProcessResult&) {
        return Contains(RunCtl({"sim", "text", "keyset_function_combo"}), ": Wheel");
    })) << Q208Log();
    EXPECT_TRUE(Contains(RunCtl({"sim", "text", "keyset_mousewheel_num_edit"}), ": 3"));
    ASSERT_EQ(RunCtl({"sim", "click", "key_butt_keysave"}).exitCode, 0);
    EXPECT_TRUE(WaitUntil({"sim", "state", "mouse", "keymap"}, [&](const ProcessResult& r) {
        return KeyWithCode(KeyMapBytes(r.out), {0x12, 0x00, 0xFD}) >= 0;
    }, &result)) << result.out << Q208Log();
    // The Fn button is the mouse's own: nothing to edit.
    ASSERT_EQ(RunCtl({"sim", "click", "key_8"}).exitCode, 0);
    EXPECT_NE(RunCtl({"sim", "click", "keyset_function_combo"}).exitCode, 0);
}

}  // namespace
}  // namespace q208::e2e
