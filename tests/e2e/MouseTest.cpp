// The mouse in the running program and through q208ctl: the page reads the emulated
// settings block and follows the mouse's stage switch; q208ctl converts DPI with the
// mouse's own sensor, writes the block and keeps the profile the page then shows.
#include <fstream>
#include <string>

#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

constexpr uint8_t kReadConfig = 0x05;

class MouseE2e : public Q208E2eTest {
protected:
    // A selected stage's select check is red (#E0353B under its white digit); the others grey.
    static bool IsSelected(const std::string& colour) {
        if (colour.size() != 6) return false;
        const int red = std::stoi(colour.substr(0, 2), nullptr, 16);
        const int green = std::stoi(colour.substr(2, 2), nullptr, 16);
        return red > 0xC0 && green < 0x60;
    }
};

TEST_F(MouseE2e, ThePageShowsTheActiveStageTheMouseReportsAndFollowsItsSwitch) {
    ASSERT_TRUE(StartQ208Simulating("mouse"));
    ASSERT_TRUE(WaitForCommandCount("mouse", kReadConfig, 2)) << Q208Log();
    // The emulated mouse's block has stage 1 active (the factory profile says 2).
    EXPECT_TRUE(WaitForProbe("DPI_select_check_1", IsSelected)) << Probe("DPI_select_check_1") << '\n' << Q208Log();
    EXPECT_FALSE(IsSelected(Probe("DPI_select_check_2")));

    const ProcessResult result = RunCtl({"sim", "input", "mouse", "dpi-stage", "4"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(WaitForProbe("DPI_select_check_4", IsSelected)) << Probe("DPI_select_check_4") << '\n' << Q208Log();
    EXPECT_FALSE(IsSelected(Probe("DPI_select_check_1")));
}

TEST_F(MouseE2e, SetDpiThroughTheReceiverUsesTheMouseSensorAndKeepsTheProfileThePageShows) {
    const std::string script = (DataFolder() / "sensor.sim").string();
    std::ofstream(script) << "set mouse sensor=0x8925\n";
    ProcessResult result = RunCtl(
        {"--simulate=receiver", "--sim-script", script, "--device", "receiver-mouse", "set-dpi", "0=5100,3=400"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "sensor 0x8925")) << Describe(result);
    EXPECT_TRUE(Contains(result, "stage 0 on=1 step=100 dpi=5100")) << Describe(result);
    EXPECT_TRUE(Contains(result, "stage 3 on=1 step=7 dpi=400")) << Describe(result);

    // On the factory sensor 3200 DPI is step 31, the step stage 2 of the factory profile has.
    result = RunCtl({"--simulate=mouse", "set-dpi", "0=3200"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "stage 0 on=1 step=31 dpi=3200")) << Describe(result);
    ASSERT_TRUE(StartQ208Simulating("mouse"));
    ASSERT_TRUE(WaitForCommandCount("mouse", kReadConfig, 2)) << Q208Log();
    // The page shows the profile q208ctl saved: slider 0 now looks as slider 2 does.
    EXPECT_TRUE(
        WaitForProbe("DPI_slider_0", [&](const std::string& c) { return c != "?" && c == Probe("DPI_slider_2"); }))
        << Probe("DPI_slider_0") << " vs " << Probe("DPI_slider_2") << '\n'
        << Q208Log();
    EXPECT_NE(Probe("DPI_slider_0"), Probe("DPI_slider_3"));
}

TEST_F(MouseE2e, MouseCommandsRefuseOtherDevicesAndKeyboardCommandsTheMouse) {
    ProcessResult result = RunCtl({"--simulate=keyboard", "--device", "keyboard", "set-dpi", "0=800"});
    EXPECT_EQ(result.exitCode, 1) << Describe(result);
    EXPECT_NE(result.err.find("works on the mouse only"), std::string::npos) << Describe(result);
    result = RunCtl({"--simulate=mouse", "--device", "mouse", "lighting"});
    EXPECT_EQ(result.exitCode, 1) << Describe(result);
    result = RunCtl({"--simulate=mouse", "set-polling", "4"});
    EXPECT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "polling 4")) << Describe(result);
}

}  // namespace
}  // namespace q208::e2e
