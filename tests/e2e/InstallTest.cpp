// What installing gives a user, through the real programs: the autostart switch of the
// settings window and q208ctl doctor on a machine tree of its own.
#include <fstream>

#include "device/FakeSysfs.h"
#include "device/TestDescriptors.h"
#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

class InstallTest : public Q208E2eTest {};

TEST_F(InstallTest, StartWithTheDesktopWritesAndRemovesTheAutostartEntry) {
    ASSERT_TRUE(StartQ208Simulating(""));
    const auto entry = ConfigFolder() / "autostart" / "org.q208.Q208.desktop";
    // A click that comes while the window is still being laid out finds no button yet: ask
    // again until the settings window shows.
    ASSERT_TRUE(Poll(
        [&] {
            if (RunCtl({"sim", "window", "settings"}).out.find("shown 1") != std::string::npos) return true;
            RunCtl({"sim", "click", "setbtn"});
            return false;
        },
        kWaitTimeoutMs))
        << Q208Log();
    const ProcessResult text = RunCtl({"sim", "text", "settings/autostart_option"});
    EXPECT_TRUE(Contains(text, "Start with the desktop")) << Describe(text);

    ASSERT_EQ(RunCtl({"sim", "click", "settings/autostart_option"}).exitCode, 0);
    ASSERT_TRUE(Poll([&] { return std::filesystem::exists(entry); }, kWaitTimeoutMs));
    std::ifstream in(entry);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(written.find("\nExec=" + std::string(Q208_EXE) + "\n"), std::string::npos) << written;

    ASSERT_EQ(RunCtl({"sim", "click", "settings/autostart_option"}).exitCode, 0);
    EXPECT_TRUE(Poll([&] { return !std::filesystem::exists(entry); }, kWaitTimeoutMs));
}

TEST_F(InstallTest, DoctorFindsOurNodeAndTheRuleItPrints) {
    test::FakeSysfs sysfs;
    test::FakeSysfs::Node headset;
    headset.number = 7;
    headset.vendorId = 0x2A91;
    headset.productId = 0x3E48;
    headset.usbInterface = 3;
    headset.descriptor = test::kVendorNoIds;
    sysfs.Add(headset);
    const std::string rules = sysfs.Root() + "/rules";
    const std::vector<std::string> doctor{"doctor", "--sysfs", sysfs.Root(), "--dev", sysfs.DevFolder(),
                                          "--rules-root", rules};
    ProcessResult before = RunCtl(doctor);
    EXPECT_EQ(before.exitCode, 2) << Describe(before);
    EXPECT_TRUE(Contains(before, "/hidraw7: headset vendor interface (slot 12)")) << Describe(before);
    EXPECT_TRUE(Contains(before, "install the rule")) << Describe(before);

    const ProcessResult rule = RunCtl({"doctor", "rule"});
    ASSERT_EQ(rule.exitCode, 0);
    std::filesystem::create_directories(rules + "/etc/udev/rules.d");
    std::ofstream(rules + "/etc/udev/rules.d/70-q208.rules") << rule.out;
    const ProcessResult after = RunCtl(doctor);
    EXPECT_EQ(after.exitCode, 0) << Describe(after);
    EXPECT_TRUE(Contains(after, "nothing to do")) << Describe(after);
}

}  // namespace
}  // namespace q208::e2e
