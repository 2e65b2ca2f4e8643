#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e/Q208E2eTest.h"
#include "platform/Paths.h"
#include "profile/JsonFile.h"

namespace q208::e2e {
namespace {

constexpr uint8_t kReadConfig = 0x05;

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The keyboard's profile files as a user leaves them, and what the running program does
// with the ones it cannot use.
class ProfileFiles : public Q208E2eTest {
protected:
    std::filesystem::path Folder() const { return DataFolder() / kProductTitle / "Keyboard"; }
    // The first profile, made by the tool as on a first start; its document's path.
    std::filesystem::path FirstProfile() {
        const ProcessResult made = RunCtl({"profile", "list"});
        EXPECT_EQ(made.exitCode, 0) << Describe(made);
        const Json::Value list = ReadJsonValue(Folder() / "ProfileList.ini");
        return Folder() / (list["profilelist"][0]["profileUUID"].asString() + ".Json");
    }
    int EntriesInFolder() const {
        int n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Folder())) ++n;
        return n;
    }
};

TEST_F(ProfileFiles, AProfileTheUserCannotReadSurvivesARunAndTheUserIsTold) {
    const std::filesystem::path document = FirstProfile();
    ASSERT_TRUE(std::filesystem::exists(document));
    const std::string bytes = Bytes(document);
    std::filesystem::permissions(document, std::filesystem::perms::none);

    ASSERT_TRUE(StartQ208SimulatingAsUser("keyboard"));
    ASSERT_TRUE(WaitForCommandCount("keyboard", kReadConfig, 2)) << Q208Log();
    const std::string shown = "Could not read Keyboard/" + document.filename().string();
    const ProcessResult notice = WaitForOutput({"sim", "text", "file_notice"}, shown);
    EXPECT_TRUE(Contains(notice, shown)) << Describe(notice) << Q208Log();
    // Lighting read back from the keyboard would be saved now; it may not land in that file.
    ASSERT_EQ(RunCtl({"sim", "input", "keyboard", "entry", "2"}).exitCode, 0);
    ASSERT_EQ(RunCtl({"sim", "input", "keyboard", "resync"}).exitCode, 0);
    ASSERT_TRUE(WaitForCommandCount("keyboard", kReadConfig, 3)) << Q208Log();
    StopQ208();

    struct stat st {};
    ASSERT_EQ(::lstat(document.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0u) << "the file keeps its mode";
    std::filesystem::permissions(document, std::filesystem::perms::owner_read);
    EXPECT_EQ(Bytes(document), bytes);
    EXPECT_EQ(EntriesInFolder(), 2) << "the list and the document, nothing beside them";
}

TEST_F(ProfileFiles, ACorruptProfileIsKeptAsideAndTheUserIsTold) {
    const std::filesystem::path document = FirstProfile();
    const std::string broken = "{ \"Device\": [ { \"LightInfo\": { \"Red\": 1";
    std::ofstream(document, std::ios::binary | std::ios::trunc) << broken;

    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    const std::string shown = "kept as " + document.filename().string() + ".bad";
    const ProcessResult notice = WaitForOutput({"sim", "text", "file_notice"}, shown);
    EXPECT_TRUE(Contains(notice, shown)) << Describe(notice) << Q208Log();
    StopQ208();
    EXPECT_EQ(Bytes(document.string() + ".bad"), broken);
    EXPECT_TRUE(ReadJsonValue(document)["Device"][0].isObject()) << "a new profile from the factory settings";
}

// The key buttons show the emulated keyboard's own light: its static entry lights every
// key in one colour at full brightness.
TEST_F(ProfileFiles, TheKeyboardPageShowsTheKeyboardsColours) {
    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    ASSERT_TRUE(WaitForCommandCount("keyboard", kReadConfig, 2)) << Q208Log();
    const int reads = CommandCount("keyboard", kReadConfig);
    ASSERT_EQ(RunCtl({"sim", "input", "keyboard", "entry", "2"}).exitCode, 0);
    ASSERT_EQ(RunCtl({"sim", "input", "keyboard", "resync"}).exitCode, 0);
    ASSERT_TRUE(WaitForCommandCount("keyboard", kReadConfig, reads + 1)) << Q208Log();
    const ProcessResult config = WaitForOutput({"sim", "state", "keyboard", "config"}, "red=0 green=128 blue=255");
    ASSERT_TRUE(Contains(config, "red=0 green=128 blue=255")) << Describe(config);
    for (const char* strip : {"light_0", "light_64", "light_117"}) {
        EXPECT_TRUE(WaitForProbe(strip, [](const std::string& colour) { return colour == "0080ff"; }))
            << strip << ' ' << Probe(strip) << '\n'
            << Q208Log();
    }
}

}  // namespace
}  // namespace q208::e2e
