#include "profile/ProfileListFile.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TempFolder.h"
#include "profile/JsonFile.h"

namespace q208 {
namespace {

class ProfileListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        Json::Value factory(Json::objectValue);
        factory["Device"][0]["LightInfo"]["SelectItem"] = 3;
        ASSERT_EQ(WriteJsonFile(factory, defaults_), 0);
    }
    void WriteText(const std::string& text) { std::ofstream(folder_ / ProfileListFile::kFileName) << text; }
    ProfileListFile List() const { return ProfileListFile(folder_.Path(), defaults_); }

    TempFolder folder_;
    std::filesystem::path defaults_ = folder_ / "Factory.Json";
};

TEST_F(ProfileListFileTest, FirstStartMakesProfile1FromTheFactoryDocument) {
    ProfileListFile list = List();
    ASSERT_TRUE(list.Load());
    const std::string id = list.SelectedId();
    ASSERT_TRUE(IsPlainIdentifier(id));
    const Json::Value stored = ReadJsonValue(list.ListPath());
    ASSERT_EQ(stored["profilelist"].size(), 1u);
    EXPECT_EQ(stored["profilelist"][0]["profilename"].asString(), "profile1");
    EXPECT_EQ(stored["profilelist"][0]["profileislink"].asInt(), 0);
    EXPECT_EQ(stored["profilelist"][0]["profilelinkmame"].asString(), "");
    EXPECT_EQ(stored["profileselect"].asInt(), 0);
    const Json::Value document = ReadJsonValue(folder_ / (id + ".Json"));
    EXPECT_EQ(document["profileUUID"].asString(), id);
    EXPECT_EQ(document["profilename"].asString(), "profile1");
    EXPECT_EQ(document["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3) << "a copy of the factory document";

    ProfileListFile again = List();
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.SelectedId(), id) << "a second start takes the same profile";
}

TEST_F(ProfileListFileTest, TheStoredSelectionWinsAndABadOneFallsBackToTheFirstUsableProfile) {
    WriteText(R"({"profilelist": [{"profileUUID": "a"}, {"profileUUID": "b"}], "profileselect": 1})");
    ProfileListFile list = List();
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.SelectedId(), "b");

    WriteText(R"({"profilelist": [{"profileUUID": "../escape"}, {"profileUUID": "b"}], "profileselect": 7})");
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.SelectedId(), "b") << "out of range, and a path is never an identifier";

    WriteText(R"({"profilelist": [{"profileUUID": "a/b"}], "profileselect": 0})");
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.SelectedId(), "");
}

TEST_F(ProfileListFileTest, AListThatCannotBeReadIsKeptBesideTheNewOne) {
    WriteText("{ \"profilelist\": [ broken");
    ProfileListFile list = List();
    ASSERT_TRUE(list.Load());
    EXPECT_FALSE(list.SelectedId().empty());
    std::ifstream kept(folder_ / "ProfileList.ini.bad");
    std::string text((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "{ \"profilelist\": [ broken");
}

}  // namespace
}  // namespace q208

namespace q208 {
namespace {

TEST(SetFileAside, NeverOverwritesAnEarlierCopyNorWritesThroughALink) {
    TempFolder folder;
    const auto file = folder / "list.ini";
    const auto outside = folder / "outside";
    std::ofstream(outside) << "keep";
    std::filesystem::create_symlink(outside, folder / "list.ini.bad");
    std::ofstream(file) << "first";
    EXPECT_EQ(SetFileAside(file), folder / "list.ini.bad.2");
    std::ofstream(file) << "second";
    EXPECT_EQ(SetFileAside(file), folder / "list.ini.bad.3");
    EXPECT_FALSE(std::filesystem::exists(file));
    std::ifstream target(outside), first(folder / "list.ini.bad.2");
    std::string a, b;
    target >> a;
    first >> b;
    EXPECT_EQ(a, "keep");
    EXPECT_EQ(b, "first");
    EXPECT_TRUE(SetFileAside(folder / "missing").empty());
}

}  // namespace
}  // namespace q208
