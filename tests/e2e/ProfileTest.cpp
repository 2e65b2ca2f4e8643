#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2e/Q208E2eTest.h"
#include "platform/Paths.h"
#include "profile/JsonFile.h"

namespace q208::e2e {
namespace {

constexpr uint8_t kReadConfig = 0x05;

void WriteText(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; }

class Profiles : public Q208E2eTest {
protected:
    std::filesystem::path Folder() const { return DataFolder() / kProductTitle / "Keyboard"; }
    Json::Value List() const { return ReadJsonValue(Folder() / "ProfileList.ini"); }
    std::string IdAt(int index) const { return List()["profilelist"][index]["profileUUID"].asString(); }
};

// Selecting a profile through the running program switches the keyboard to it: the
// emulated keyboard's active lighting record takes the profile's colour.
TEST_F(Profiles, SelectingAProfileWritesItsLightingToTheKeyboard) {
    ProcessResult result = RunCtl({"profile", "create"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    ASSERT_EQ(List()["profilelist"].size(), 2u);
    const std::filesystem::path second = Folder() / (IdAt(1) + ".Json");
    Json::Value document = ReadJsonValue(second);
    document["Device"][0]["LightInfo"]["SelectItem"] = 1;
    document["Device"][0]["LightInfo"]["MultiColor"] = 0;
    document["Device"][0]["LightInfo"]["Red"] = 17;
    document["Device"][0]["LightInfo"]["Green"] = 34;
    document["Device"][0]["LightInfo"]["Blue"] = 51;
    ASSERT_EQ(WriteJsonFile(document, second), 0);

    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    ASSERT_TRUE(WaitForCommandCount("keyboard", kReadConfig, 2)) << Q208Log();
    result = RunCtl({"profile", "create"});
    EXPECT_EQ(result.exitCode, 2) << "the running program owns the list: " << Describe(result);
    EXPECT_NE(result.err.find("q208 is running"), std::string::npos) << Describe(result);

    result = RunCtl({"profile", "select", "1"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    const ProcessResult config = WaitForOutput({"sim", "state", "keyboard", "config"}, "red=17 green=34 blue=51");
    EXPECT_TRUE(Contains(config, "red=17 green=34 blue=51")) << Describe(config) << Q208Log();
    EXPECT_TRUE(Poll([&] { return List()["profileselect"].asInt() == 1; }, kWaitTimeoutMs)) << "the program keeps the choice";
    result = RunCtl({"profile", "list"});
    EXPECT_TRUE(Contains(result, "1\t*\tprofile2\t" + IdAt(1))) << Describe(result);
}

// Without the program the tool works on the files alone, and a refusal speaks the user's
// language and exits 2.
TEST_F(Profiles, TheToolRefusesWhatThePanelRefuses) {
    ProcessResult result = RunCtl({"profile", "rename", "   "});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("The name cannot be blank."), std::string::npos) << Describe(result);
    ASSERT_EQ(RunCtl({"profile", "copy"}).exitCode, 0);
    result = RunCtl({"profile", "rename", "PROFILE1 COPY"});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);
    EXPECT_NE(result.err.find("already in use"), std::string::npos) << Describe(result);
    WriteText(DataFolder() / "not-a-profile.json", "[1, 2, 3]");
    result = RunCtl({"profile", "import", (DataFolder() / "not-a-profile.json").string()});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);
    EXPECT_NE(result.err.find("could not be imported"), std::string::npos) << Describe(result);
    result = RunCtl({"profile", "list"});
    EXPECT_TRUE(Contains(result, "0\t*\tprofile1\t")) << Describe(result);
    EXPECT_TRUE(Contains(result, "1\t \tprofile1 copy\t")) << Describe(result);
}

}  // namespace
}  // namespace q208::e2e
