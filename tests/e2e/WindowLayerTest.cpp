// The window layer in the running program, driven as a user would from the keyboard and
// the pointer: a combo's list is a pop-up window of its own and a choice made with keys
// reaches the device; Tab and Shift+Tab move the focus and Space presses what has it; a
// file dialog leaves the program's timers and messages running.
#include <thread>

#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

constexpr uint8_t kReadConfig = 0x05;
constexpr uint8_t kQueryLink = 0xAA;

class WindowLayer : public Q208E2eTest {
protected:
    ProcessResult Sim(const std::string& verb, const std::string& argument) const {
        return RunCtl({"sim", verb, argument});
    }
    std::string Focus() const { return Sim("focus", "main").out; }
    // The first settings block of the emulated mouse, as `sim state` decodes it.
    std::string FirstBlock() const {
        const std::string out = RunCtl({"sim", "state", "mouse", "config"}).out;
        const size_t at = out.find("block 0:");
        return at == std::string::npos ? std::string() : out.substr(at, out.find('\n', at) - at);
    }
};

TEST_F(WindowLayer, AComboListIsAPopupWindowAndAChoiceByKeysReachesTheMouse) {
    ASSERT_TRUE(StartQ208Simulating("mouse"));
    ASSERT_TRUE(WaitForCommandCount("mouse", kReadConfig, 2)) << Q208Log();
    ASSERT_TRUE(Poll([&] { return FirstBlock().ends_with("logo=0"); }, kWaitTimeoutMs)) << FirstBlock();
    EXPECT_NE(Sim("window", "combo").exitCode, 0) << "no list is open yet";

    ASSERT_EQ(Sim("click", "logo_led_mode_combo").exitCode, 0);
    // Four rows of 22 and the border: the whole list, in a window of its own.
    const ProcessResult list = Sim("window", "combo");
    EXPECT_TRUE(Contains(list, "combo 140x90+")) << Describe(list);
    EXPECT_TRUE(Contains(list, "shown 1")) << Describe(list);

    ASSERT_EQ(Sim("key", "combo/down").exitCode, 0);
    ASSERT_EQ(Sim("key", "combo/return").exitCode, 0);
    EXPECT_TRUE(Poll([&] { return Sim("window", "combo").exitCode != 0; }, kWaitTimeoutMs)) << "the choice closes it";
    const ProcessResult text = Sim("text", "logo_led_mode_combo");
    EXPECT_TRUE(Contains(text, "logo_led_mode_combo: Steady")) << Describe(text);
    EXPECT_TRUE(Poll([&] { return FirstBlock().ends_with("logo=1"); }, kWaitTimeoutMs)) << FirstBlock();

    // Escape closes a list without a choice.
    ASSERT_EQ(Sim("click", "logo_led_mode_combo").exitCode, 0);
    ASSERT_EQ(Sim("key", "combo/down").exitCode, 0);
    ASSERT_EQ(Sim("key", "combo/escape").exitCode, 0);
    EXPECT_TRUE(Poll([&] { return Sim("window", "combo").exitCode != 0; }, kWaitTimeoutMs));
    EXPECT_TRUE(Contains(Sim("text", "logo_led_mode_combo"), "Steady"));
}

TEST_F(WindowLayer, TabAndShiftTabMoveTheFocusAndSpacePressesTheFocusedButton) {
    ASSERT_TRUE(StartQ208Simulating("mouse"));
    ASSERT_TRUE(WaitForCommandCount("mouse", kReadConfig, 2)) << Q208Log();
    EXPECT_TRUE(Contains(Sim("focus", "main"), "main: none")) << Focus();
    std::string previous;
    for (int i = 0; i < 30 && !Focus().starts_with("main: skinbtn"); ++i) {
        previous = Focus();
        ASSERT_EQ(Sim("key", "main/tab").exitCode, 0);
        ASSERT_NE(Focus(), previous) << "each Tab moves on";
    }
    ASSERT_TRUE(Focus().starts_with("main: skinbtn")) << Focus();
    ASSERT_EQ(Sim("key", "main/shift+tab").exitCode, 0);
    EXPECT_EQ(Focus(), previous) << "Shift+Tab goes back";
    ASSERT_EQ(Sim("key", "main/tab").exitCode, 0);
    ASSERT_EQ(Sim("key", "main/space").exitCode, 0);
    const ProcessResult skin = Sim("window", "skin");
    EXPECT_TRUE(Contains(skin, "shown 1")) << "Space pressed the skin button\n" << Describe(skin);
}

TEST_F(WindowLayer, DeviceTimersAndMessagesGoOnWhileAFileDialogIsOpen) {
    ASSERT_TRUE(StartQ208Simulating("receiver"));
    ASSERT_TRUE(WaitForCommandCount("receiver-keyboard", kReadConfig, 1)) << Q208Log();
    ASSERT_TRUE(Poll([&] { return Sim("click", "profile_fun_spread_btn").exitCode == 0; }, kWaitTimeoutMs));
    ASSERT_TRUE(Poll([&] { return Sim("window", "main").exitCode == 0 && Sim("text", "device_import_btn").exitCode == 0; },
                     kWaitTimeoutMs));
    // The import button opens the file dialog; the click returns when the dialog is gone.
    ProcessResult click;
    std::thread clicking([this, &click] { click = RunCtl({"sim", "click", "device_import_btn"}, 20000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const int before = CommandCount("receiver", kQueryLink);
    // The receiver is polled every 200 ms by a timer of the main window.
    const bool polled = WaitForCommandCount("receiver", kQueryLink, before + 4);
    const ProcessResult main = Sim("window", "main");
    const ProcessResult closed = Sim("key", "dialog/escape");
    clicking.join();
    EXPECT_EQ(closed.exitCode, 0) << "the dialog was open all along\n" << Describe(closed) << Describe(click);
    EXPECT_TRUE(polled) << "the receiver poll stalled behind the dialog";
    EXPECT_TRUE(Contains(main, "shown 1")) << "the window answered while the dialog was open\n" << Describe(main);
}

}  // namespace
}  // namespace q208::e2e
