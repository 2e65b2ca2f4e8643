// Every test program starts here: the user folders point into the build tree, so a test
// never reads or writes the developer's real profiles, settings or runtime sockets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

// Thread-sanitizer builds: Qt's own threads (the D-Bus connection among them) live in
// libraries built without the sanitizer, whose synchronisation it cannot see; the main
// loop under Qt's event dispatcher is glib's, equally uninstrumented.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so\nrace:libQt6DBus.so\nrace:libglib-2.0.so\nrace:libgio-2.0.so\n";
}

namespace {

void UsePrivateUserFolders() {
    const std::filesystem::path home = Q208_TEST_HOME;
    std::error_code ec;
    // ctest runs test processes side by side: each gets its own user folders, so one
    // test's profiles, endpoints and instance lock are never seen by another.
    const std::string process = std::to_string(getpid());
    const std::filesystem::path run = home / "run" / process;
    const std::filesystem::path data = home / "data" / process;
    const std::filesystem::path config = home / "config" / process;
    for (const auto& folder : {data, config, run}) std::filesystem::create_directories(folder, ec);
    std::filesystem::permissions(run, std::filesystem::perms::owner_all, ec);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    unsetenv("Q208_DATA_DIR");
}

}  // namespace

int main(int argc, char** argv) {
    UsePrivateUserFolders();
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
