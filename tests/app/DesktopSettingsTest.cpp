#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <fstream>

#include "app/DesktopSettings.h"

namespace q208::test {
namespace {

class DesktopSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder of this test process: ctest runs the cases of this file side by side.
        std::string pattern = ::testing::TempDir() + "q208-desktop-settings-XXXXXX";
        folder_ = mkdtemp(pattern.data());
        std::filesystem::create_directories(folder_ / "a");
        std::filesystem::create_directories(folder_ / "b");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    void Program(const std::string& where, const std::string& name, bool executable = true) {
        const auto file = folder_ / where / name;
        std::ofstream(file) << "#!/bin/sh\n";
        chmod(file.c_str(), executable ? 0755 : 0644);
    }
    std::string Path() const { return (folder_ / "a").string() + "::" + (folder_ / "b").string(); }

    std::filesystem::path folder_;
};

TEST_F(DesktopSettingsTest, TheDesktopsOwnSettingsProgramOpensTheKeyboardOrMousePage) {
    EXPECT_FALSE(DesktopSettings::CommandFor(DesktopSettings::Panel::Keyboard, Path()));
    Program("b", "systemsettings");
    Program("a", "gnome-control-center", false);  // not executable: not there
    auto keyboard = DesktopSettings::CommandFor(DesktopSettings::Panel::Keyboard, Path());
    ASSERT_TRUE(keyboard);
    EXPECT_EQ(*keyboard, (std::vector<std::string>{(folder_ / "b" / "systemsettings").string(), "kcm_keyboard"}));
    Program("a", "gnome-control-center");
    const auto mouse = DesktopSettings::CommandFor(DesktopSettings::Panel::Mouse, Path());
    ASSERT_TRUE(mouse);
    EXPECT_EQ(*mouse, (std::vector<std::string>{(folder_ / "a" / "gnome-control-center").string(), "mouse"}));
}

TEST_F(DesktopSettingsTest, OpenStartsTheProgramAndFailsWhenNoneStarts) {
    std::vector<std::string> started;
    bool starts = true;
    const DesktopSettings settings([&](const std::vector<std::string>& argv) {
        started = argv;
        return starts;
    });
    Program("a", "gnome-control-center");
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    ::setenv("PATH", Path().c_str(), 1);
    EXPECT_TRUE(settings.Open(DesktopSettings::Panel::Keyboard));
    EXPECT_EQ(started.back(), "keyboard");
    starts = false;
    EXPECT_FALSE(settings.Open(DesktopSettings::Panel::Mouse));
    ::setenv("PATH", (folder_ / "b").c_str(), 1);
    started.clear();
    EXPECT_FALSE(settings.Open(DesktopSettings::Panel::Mouse));
    EXPECT_TRUE(started.empty());
    ::setenv("PATH", saved.c_str(), 1);
}

}  // namespace
}  // namespace q208::test
