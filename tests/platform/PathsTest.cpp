#include "platform/Paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace {

struct ScopedEnv {
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }
    const char* name_;
    std::string old_;
    bool had_ = false;
};

}  // namespace

TEST(Paths, UserFoldersFollowXdgVariables) {
    ScopedEnv data("XDG_DATA_HOME", "/srv/data");
    ScopedEnv config("XDG_CONFIG_HOME", "/srv/config");
    EXPECT_EQ(q208::UserDataFolder(), std::filesystem::path("/srv/data") / q208::kProductTitle);
    EXPECT_EQ(q208::SettingsFile(), std::filesystem::path("/srv/config") / q208::kProductTitle / "settings.json");
}

TEST(Paths, RelativeOrMissingXdgFallsBackToHome) {
    ScopedEnv home("HOME", "/home/tester");
    ScopedEnv data("XDG_DATA_HOME", "relative/path");
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(q208::UserDataFolder(), std::filesystem::path("/home/tester/.local/share") / q208::kProductTitle);
    EXPECT_EQ(q208::UserConfigFolder(), std::filesystem::path("/home/tester/.config") / q208::kProductTitle);
}

TEST(Paths, RuntimeFolderIsPrivate) {
    const std::string base = testing::TempDir() + "q208-runtime-test";
    ScopedEnv run("XDG_RUNTIME_DIR", base.c_str());
    const auto folder = q208::RuntimeFolder();
    EXPECT_EQ(folder, std::filesystem::path(base) / "q208");
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

// Another user could otherwise place sockets there that pose as our windows.
TEST(Paths, ARuntimeFolderThatIsNotPrivatelyOursIsRefused) {
    const std::filesystem::path base = testing::TempDir() + "q208-runtime-refused";
    std::filesystem::remove_all(base);
    std::filesystem::create_directories(base);
    ScopedEnv run("XDG_RUNTIME_DIR", base.c_str());
    const auto folder = base / "q208";
    auto refused = [&](const std::string& why) {
        const std::string problem = q208::RuntimeFolderProblem();
        EXPECT_NE(problem.find(why), std::string::npos) << problem;
        EXPECT_TRUE(q208::RuntimeFolder().empty());
    };

    std::filesystem::create_directories(folder);
    chmod(folder.c_str(), 0777);
    refused("mode 0777");
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(q208::RuntimeFolderProblem(), "");
    EXPECT_EQ(q208::RuntimeFolder(), folder);

    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(base / "elsewhere");
    chmod((base / "elsewhere").c_str(), 0700);
    std::filesystem::create_directory_symlink(base / "elsewhere", folder);
    refused("not a folder");

    std::filesystem::remove(folder);
    { std::ofstream(folder) << "x"; }
    refused("not a folder");

    if (getuid() == 0) {  // only root can give a folder away
        std::filesystem::remove(folder);
        std::filesystem::create_directory(folder);
        chmod(folder.c_str(), 0700);
        ASSERT_EQ(chown(folder.c_str(), 12345, 12345), 0);
        refused("another user");
    }
    std::filesystem::remove_all(base);
}

TEST(Paths, DataRootOverride) {
    ScopedEnv dir("Q208_DATA_DIR", "/opt/q208data");
    const auto root = q208::FindDataRoot();
    EXPECT_EQ(root.skin, std::filesystem::path("/opt/q208data/skin"));
    EXPECT_EQ(root.defaultData, std::filesystem::path("/opt/q208data/DefaultData"));
    EXPECT_EQ(root.fonts, std::filesystem::path("/opt/q208data/Font"));
}

TEST(Paths, DataRootFromTheSourceTreeHasTheSkin) {
    ScopedEnv dir("Q208_DATA_DIR", nullptr);
    const auto root = q208::FindDataRoot();
    EXPECT_TRUE(std::filesystem::is_directory(root.skin)) << root.skin;
}

// An installed or unpacked tree reads its own share/q208, wherever it was put; a program
// outside the build folder never reads the source tree, even when its own data is missing.
TEST(Paths, DataRootBesideTheExecutable) {
    ScopedEnv dir("Q208_DATA_DIR", nullptr);
    const auto prefix = std::filesystem::temp_directory_path() / ("q208-prefix-" + std::to_string(getpid()));
    std::filesystem::create_directories(prefix / "bin");
    const auto missing = q208::FindDataRootFor(prefix / "bin");
    EXPECT_EQ(missing.origin, "installed (missing)");
    EXPECT_EQ(missing.skin, prefix / "share/q208/skin");

    std::filesystem::create_directories(prefix / "share/q208/skin");
    const auto installed = q208::FindDataRootFor(prefix / "bin");
    EXPECT_EQ(installed.origin, "installed");
    EXPECT_EQ(installed.defaultData, prefix / "share/q208/DefaultData");
    EXPECT_EQ(installed.fonts, prefix / "share/q208/Font");
    std::filesystem::remove_all(prefix);
}

TEST(Paths, DataRootOfAProgramInTheBuildFolderIsTheSourceTree) {
    ScopedEnv dir("Q208_DATA_DIR", nullptr);
    const auto root = q208::FindDataRootFor(q208::ExecutablePath().parent_path());
    EXPECT_EQ(root.origin, "source tree");
    EXPECT_TRUE(std::filesystem::exists(root.defaultData / "Language.config")) << root.defaultData;
}
