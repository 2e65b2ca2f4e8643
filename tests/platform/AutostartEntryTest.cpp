#include "platform/AutostartEntry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

using q208::AutostartEntry;

namespace {

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

// The test main gives every test private XDG folders.
TEST(AutostartEntry, EnableWritesTheEntryForTheExecutableAndDisableRemovesIt) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(AutostartEntry::File(), std::filesystem::path(config) / "autostart/org.q208.Q208.desktop");
    EXPECT_FALSE(AutostartEntry::IsEnabled());
    ASSERT_TRUE(AutostartEntry::Enable("/opt/q208/bin/q208"));
    EXPECT_TRUE(AutostartEntry::IsEnabled());
    const std::string text = ReadFile(AutostartEntry::File());
    EXPECT_NE(text.find("\nExec=/opt/q208/bin/q208\n"), std::string::npos) << text;
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    ASSERT_TRUE(AutostartEntry::Disable());
    EXPECT_FALSE(std::filesystem::exists(AutostartEntry::File()));
    EXPECT_TRUE(AutostartEntry::Disable()) << "nothing left to remove is done, too";
}

// A path with spaces, quotes or '%' stays one argument, as the desktop entry format reads it.
TEST(AutostartEntry, UnusualPathsAreQuoted) {
    const std::string text = AutostartEntry::Text("/home/a b/100%/q\"208");
    EXPECT_NE(text.find("\nExec=\"/home/a b/100%%/q\\\\\"208\"\n"), std::string::npos) << text;
}

// The desktop switches an entry off with Hidden=true; the window shows that as off.
TEST(AutostartEntry, AnEntryTheDesktopHidIsOff) {
    std::filesystem::create_directories(AutostartEntry::File().parent_path());
    std::ofstream(AutostartEntry::File()) << "[Desktop Entry]\nType=Application\nExec=q208\nHidden=true\n";
    EXPECT_FALSE(AutostartEntry::IsEnabled());
    AutostartEntry::Disable();
}
