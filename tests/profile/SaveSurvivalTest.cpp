// Saving must leave every file whole: a writer killed at any moment leaves the old file or
// the new one, and a disk that is full keeps the old file and says so.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "profile/FileNotices.h"
#include "profile/JsonFile.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> Temporaries(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().front() == '.') found.push_back(entry.path());
    }
    return found;
}

TEST(SaveSurvivalTest, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    TempFolder folder;
    const fs::path file = folder / "profile.Json";
    const std::string oldText(256 * 1024, 'o'), newText(300 * 1024, 'n');
    ASSERT_TRUE(q208::WriteFileAtomically(oldText, file));
    std::mt19937 random(208);
    for (int round = 0; round < 200; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) q208::WriteFileAtomically(i % 2 ? oldText : newText, file);
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = ReadAll(file);
        ASSERT_TRUE(now == oldText || now == newText) << "round " << round << ": " << now.size() << " bytes";
    }
    // What the killed writers left behind goes with the next save.
    ASSERT_TRUE(q208::WriteFileAtomically(oldText, file));
    EXPECT_TRUE(Temporaries(folder.Path()).empty());
}

TEST(SaveSurvivalTest, AFullDiskKeepsTheOldFileAndTellsTheUser) {
    TempFolder folder;
    const fs::path mountPoint = folder / "tiny";
    fs::create_directories(mountPoint);
    if (::mount("q208-tiny", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tiny tmpfs here (needs root): " << std::strerror(errno);
    }
    struct Unmount {
        fs::path at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{mountPoint};
    const fs::path file = mountPoint / "settings.json";
    const std::string oldText(20 * 1024, 'o');
    ASSERT_TRUE(q208::WriteFileAtomically(oldText, file));

    std::vector<q208::FileNotice> told;
    q208::FileNotices::Reset();
    q208::FileNotices::SetListener([&](const q208::FileNotice& notice) { told.push_back(notice); });
    const bool written = q208::WriteFileAtomically(std::string(100 * 1024, 'n'), file);
    q208::FileNotices::SetListener(nullptr);
    q208::FileNotices::Reset();

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadAll(file), oldText);
    EXPECT_TRUE(Temporaries(mountPoint).empty());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].kind, q208::FileNoticeKind::Unwritable);
    EXPECT_EQ(told[0].file, file);
}

}  // namespace
