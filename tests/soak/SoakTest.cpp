// The real program for minutes (Q208_SOAK_SECONDS, default 600) while devices come and go,
// the receiver links and unlinks, faults are injected and profiles switch. Afterwards it
// still answers, its threads and memory are back where they were, and no user file is
// truncated or gone.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "e2e/Q208E2eTest.h"
#include "profile/JsonFile.h"

namespace q208::e2e {
namespace {

namespace fs = std::filesystem;

// "Threads:" and "VmRSS:" (kB) of /proc/PID/status.
std::map<std::string, long> ProcStatus(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::map<std::string, long> values;
    std::string key;
    long value = 0;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        if (fields >> key >> value) values[key] = value;
    }
    return values;
}

// Sizes of every regular file under the program's user folders.
std::map<fs::path, uintmax_t> UserFiles(const fs::path& root) {
    std::map<fs::path, uintmax_t> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && it->path().filename().string().front() != '.') {
            files[it->path()] = it->file_size(ec);
        }
    }
    return files;
}

int SoakSeconds() {
    const char* text = std::getenv("Q208_SOAK_SECONDS");
    return text && std::atoi(text) > 0 ? std::atoi(text) : 600;
}

class SoakTest : public Q208E2eTest {};

TEST_F(SoakTest, DevicesComeAndGoFaultsHitAndNothingIsLostOrLeaked) {
    ASSERT_TRUE(StartQ208Simulating("keyboard,mouse,mousepad,headset,receiver")) << Q208Log();
    // One round first, so that what the program keeps for good (caches, pools) is in place.
    const std::vector<std::vector<std::string>> round = {
        {"sim", "unplug", "keyboard"},      {"sim", "plug", "keyboard"},
        {"sim", "unplug", "mouse"},         {"sim", "plug", "mouse"},
        {"sim", "unplug", "mousepad"},      {"sim", "plug", "mousepad"},
        {"sim", "unplug", "headset"},       {"sim", "plug", "headset"},
        {"sim", "unlink", "receiver-mouse"}, {"sim", "link", "receiver-mouse"},
        {"sim", "fault", "keyboard", "stale=2", "1"}, {"sim", "unplug", "keyboard"},
        {"sim", "plug", "keyboard"},        {"sim", "fault", "mouse", "no-answer", "1"},
        {"profile", "select", "0"},
        {"set-lighting", "effect=1", "brightness=3"},
    };
    auto runRound = [&] {
        for (const auto& args : round) RunCtl(args);
        RunCtl({"sim", "unplug", "mouse"});
        RunCtl({"sim", "plug", "mouse"});
    };
    runRound();
    ::sleep(3);
    const auto before = ProcStatus(Q208Pid());
    const auto filesBefore = UserFiles(DataFolder());

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(SoakSeconds());
    int rounds = 0;
    while (std::chrono::steady_clock::now() < end) {
        runRound();
        ++rounds;
        ASSERT_TRUE(Q208Running()) << "after " << rounds << " rounds\n" << Q208Log();
    }
    ::sleep(5);  // what the last round started settles
    ProcessResult answer = RunCtl({"send", "Bogus"});
    EXPECT_NE(answer.exitCode, 3) << Describe(answer);  // the program still answers
    const auto after = ProcStatus(Q208Pid());
    EXPECT_LE(after.at("Threads:"), before.at("Threads:") + std::max(1L, before.at("Threads:") / 20))
        << rounds << " rounds";
    EXPECT_LE(after.at("VmRSS:"), before.at("VmRSS:") * 105 / 100) << rounds << " rounds";
    for (const auto& [file, size] : filesBefore) {
        std::error_code ec;
        ASSERT_TRUE(fs::exists(file, ec)) << file << " is gone";
        const std::string ext = file.extension().string();
        if (ext == ".Json" || ext == ".json" || file.filename() == "ProfileList.ini") {
            EXPECT_EQ(ReadJsonFile(file).status, JsonReadStatus::Ok) << file << " is not a whole document";
        } else if (size > 0) {
            EXPECT_GT(fs::file_size(file, ec), 0u) << file << " truncated";
        }
    }
}

}  // namespace
}  // namespace q208::e2e
