// Every test program starts here: the user folders point into the build tree, so a test
// never reads or writes the developer's real profiles, settings or runtime sockets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

// Thread-sanitizer builds: Qt's own threads (the D-Bus connection among them) live in
// libraries built without the sanitizer, whose synchronisation it cannot see.
extern "C" const char* __tsan_default_suppressions() { return "race:libQt6Core.so\nrace:libQt6DBus.so\n"; }

namespace {

void UsePrivateUserFolders() {
    const std::filesystem::path home = Q208_TEST_HOME;
    std::error_code ec;
    for (const char* sub : {"data", "config", "run"}) std::filesystem::create_directories(home / sub, ec);
    std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all, ec);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    unsetenv("Q208_DATA_DIR");
}

}  // namespace

int main(int argc, char** argv) {
    UsePrivateUserFolders();
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
