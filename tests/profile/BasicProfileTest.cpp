#include "profile/CBasicProfiledata.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "profile/JsonFile.h"

using q208::CBasicProfiledata;
using q208::ReadJsonValue;

namespace {

constexpr const char* kDefaultDocument = R"({
  "Device": [
    { "LightInfo": { "SelectItem": 3, "Light": 4, "Speed": 2, "MultiColor": true, "Red": 255 } },
    { "LightInfo": { "SelectItem": 5, "Light": 1 },
      "KeyList": [ { "Assignment": 2097193, "DefaultAssignment": 2097193 } ] }
  ]
})";

class BasicProfile : public testing::Test {
protected:
    void SetUp() override {
        WriteText(dir / "default.Json", kDefaultDocument);
        profile.SetDefaultPath(dir / "default.Json");
        profile.SetPath(profilePath);
    }

    TempFolder dir;
    std::filesystem::path profilePath = dir / "p1.Json";
    CBasicProfiledata profile;
};

}  // namespace

TEST_F(BasicProfile, MissingFileIsCreatedFromTheDefaultSection) {
    profile.LoadSection(profilePath);
    EXPECT_EQ(profile.GetLightInfo().selectItem, 3);
    EXPECT_EQ(profile.GetLightInfo().multiColor, 1);
    EXPECT_EQ(ReadJsonValue(profilePath)["Device"][0]["LightInfo"]["Red"].asInt(), 255);
}

TEST_F(BasicProfile, MissingSectionIsSeededAndOtherSectionsStayUntouched) {
    const std::string mine = R"({"Device":[{"LightInfo":{"SelectItem":9}, "Extra":"kept"}], "profilename":"Mine"})";
    WriteText(profilePath, mine);
    profile.SetSectionIndex(1);
    profile.LoadSection(profilePath);
    EXPECT_EQ(profile.GetLightInfo().selectItem, 5);
    ASSERT_EQ(profile.GetKeyList().size(), 1u);

    const Json::Value file = ReadJsonValue(profilePath);
    EXPECT_EQ(file["Device"][0], Parse(mine)["Device"][0]);
    EXPECT_EQ(file["profilename"].asString(), "Mine");
    EXPECT_EQ(file["Device"][1]["LightInfo"]["SelectItem"].asInt(), 5);
}

TEST_F(BasicProfile, SavingSectionOneIntoAFileWithOnlySectionZero) {
    WriteText(profilePath, R"({"Device":[{"LightInfo":{"SelectItem":9}}]})");
    profile.SetSectionIndex(1);
    Json::Value section;
    section["LightInfo"]["SelectItem"] = 2;
    ASSERT_TRUE(profile.SaveSection(section, profilePath));
    const Json::Value file = ReadJsonValue(profilePath);
    ASSERT_EQ(file["Device"].size(), 2u);
    EXPECT_EQ(file["Device"][0]["LightInfo"]["SelectItem"].asInt(), 9);
    EXPECT_EQ(file["Device"][1]["LightInfo"]["SelectItem"].asInt(), 2);
}

TEST_F(BasicProfile, SaveSeesWhatOthersWroteSinceTheLoad) {
    profile.LoadSection(profilePath);
    CBasicProfiledata other;  // e.g. the keyboard's second section, or the profile list
    other.SetDefaultPath(dir / "default.Json");
    other.SetSectionIndex(1);
    other.LoadSection(profilePath);
    Json::Value renamed = ReadJsonValue(profilePath);
    renamed["profilename"] = "Renamed";
    ASSERT_EQ(q208::WriteJsonFile(renamed, profilePath), 0);

    auto info = profile.GetLightInfo();
    info.red = 1;
    profile.SetLightInfo(info);
    ASSERT_TRUE(profile.Save());
    const Json::Value file = ReadJsonValue(profilePath);
    EXPECT_EQ(file["profilename"].asString(), "Renamed");
    ASSERT_EQ(file["Device"].size(), 2u);
    EXPECT_EQ(file["Device"][0]["LightInfo"]["Red"].asInt(), 1);
    EXPECT_EQ(file["Device"][1]["LightInfo"]["SelectItem"].asInt(), 5);
}

TEST_F(BasicProfile, CorruptFileIsKeptAsideAndReseeded) {
    const std::string halfWritten = R"({"Device":[{"LightInfo":{"SelectItem":7, "Li)";
    WriteText(profilePath, halfWritten);
    profile.LoadSection(profilePath);
    EXPECT_EQ(profile.GetLightInfo().selectItem, 3);
    EXPECT_EQ(ReadText(dir / "p1.Json.bad"), halfWritten);
    EXPECT_EQ(ReadJsonValue(profilePath)["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3);
}

TEST_F(BasicProfile, DocumentsOfTheWrongShapeNeverThrow) {
    for (const char* text : {"[1,2,3]", R"({"Device":{"0":1}})", R"({"Device":[5]})", R"({"Device":[[1]]})", "7",
                             R"({"Device":[{"LightInfo":[1], "LightList":{"a":1}, "KeyList":"x"}]})"}) {
        WriteText(profilePath, text);
        profile.LoadSection(profilePath);
        profile.GetLightInfo();
        profile.GetLightList();
        profile.GetKeyList();
        profile.GetAudioLightInfo();
        profile.SetLightInfo({});
        profile.SetKeyList(std::vector<q208::KeyAssignmentRecord>(2));
        EXPECT_TRUE(profile.Save()) << text;
        EXPECT_TRUE(ReadJsonValue(profilePath).isObject()) << text;
    }
}

TEST_F(BasicProfile, WithoutAnyFileEveryGetterReadsZero) {
    profile.SetDefaultPath(dir / "none.Json");
    profile.LoadSection(profilePath);
    EXPECT_TRUE(profile.Section().isNull());
    EXPECT_EQ(profile.GetLightInfo().selectItem, 0);
    EXPECT_TRUE(profile.GetKeyList().empty());
    EXPECT_TRUE(ReadJsonValue(profilePath)["Device"][0].isNull());
}

TEST_F(BasicProfile, MissingKeysAreAddedAsNullAndUnconvertibleValuesReadZero) {
    WriteText(profilePath, R"({"Device":[{"LightInfo":{"SelectItem":"seven", "Light":[1], "Speed":4294967296}}]})");
    profile.LoadSection(profilePath);
    const auto info = profile.GetLightInfo();
    EXPECT_EQ(info.selectItem, 0);
    EXPECT_EQ(info.light, 0);
    EXPECT_EQ(info.speed, 0);
    EXPECT_TRUE(profile.GetAudioLightInfo().audioMode == 0);
    ASSERT_TRUE(profile.Save());
    const Json::Value saved = ReadJsonValue(profilePath)["Device"][0];
    EXPECT_TRUE(saved["LightInfo"].isMember("OldLedmode"));
    EXPECT_TRUE(saved["LightInfo"]["OldLedmode"].isNull());
    EXPECT_TRUE(saved.isMember("AudioLightInfo"));
    EXPECT_EQ(saved["LightInfo"]["SelectItem"].asString(), "seven") << "bad values stay until replaced";
}

TEST_F(BasicProfile, LightInfoRoundTripsAndReplacesTheObject) {
    profile.LoadSection(profilePath);
    q208::LightInfoRecord info;
    info.selectItem = 12;
    info.multiColor = 1;
    info.red = 10;
    info.zzccLedMode = 2;
    info.customGroup = 3;
    info.oldLedMode = 4;
    profile.SetLightInfo(info);
    ASSERT_TRUE(profile.Save());
    CBasicProfiledata other;
    other.LoadSection(profilePath);
    const auto back = other.GetLightInfo();
    EXPECT_EQ(back.selectItem, 12);
    EXPECT_EQ(back.multiColor, 1);
    EXPECT_EQ(back.red, 10);
    EXPECT_EQ(back.speed, 0) << "the old object is replaced, not merged";
    EXPECT_EQ(back.zzccLedMode, 2);
    EXPECT_EQ(back.customGroup, 3);
    EXPECT_EQ(back.oldLedMode, 4);
    EXPECT_TRUE(ReadJsonValue(profilePath)["Device"][0]["LightInfo"]["MultiColor"].isInt());
}

TEST_F(BasicProfile, NullLightListElementIsNotPresent) {
    WriteText(profilePath, R"({"Device":[{"LightList":[
        {"LEDREGMode":1,"LEDBrightness":4,"LEDDirection":true,"red":9}, null, 3]}]})");
    profile.LoadSection(profilePath);
    const auto list = profile.GetLightList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].present, 1);
    EXPECT_EQ(list[0].mode, 1);
    EXPECT_EQ(list[0].direction, 1);
    EXPECT_EQ(list[0].red, 9);
    EXPECT_EQ(list[1].present, 0);
    EXPECT_EQ(list[1].mode, 0);
    EXPECT_EQ(list[1].brightness, 0);
    EXPECT_EQ(list[2].present, 0);
}

TEST_F(BasicProfile, KeyAssignmentsPackTypeAndParameters) {
    WriteText(profilePath, R"({"Device":[{"KeyList":[
        {"Assignment":1048832,"DefaultAssignment":1048832}, null, {"Assignment":7340289,"DefaultAssignment":2097193}]}]})");
    profile.LoadSection(profilePath);
    auto keys = profile.GetKeyList();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].current.type, 0x10);
    EXPECT_EQ(keys[0].current.param1, 0x01);
    EXPECT_EQ(keys[0].current.param2, 0x00);
    EXPECT_EQ(keys[1].current.index, 1);
    EXPECT_EQ(keys[2].current.index, 2);
    EXPECT_EQ(keys[2].current.type, 0x70);
    EXPECT_EQ(keys[2].current.param1, 0x01);
    EXPECT_EQ(keys[2].current.param2, 0x01);
    EXPECT_EQ(keys[2].defaults.param2, 0x29);

    keys[2].current = keys[2].defaults;
    keys[2].defaults.type = 0x99;  // never written
    profile.SetKeyList(keys);
    const Json::Value& list = profile.Section()["KeyList"];
    EXPECT_EQ(list[2]["Assignment"].asInt(), 0x200029);
    EXPECT_EQ(list[2]["DefaultAssignment"].asInt(), 0x200029);
    EXPECT_FALSE(list[1].isMember("DefaultAssignment"));
}

TEST_F(BasicProfile, ResetFromTheDefaultFileNeverWritesIt) {
    profile.SetSectionIndex(4);  // a section the factory file does not have
    profile.LoadSection(dir / "default.Json");
    EXPECT_TRUE(profile.Section().isNull());
    EXPECT_EQ(ReadText(dir / "default.Json"), kDefaultDocument);
}

TEST_F(BasicProfile, ReferenceSectionIsSeparate) {
    profile.LoadSection(profilePath);
    profile.SetSectionIndex(1);
    profile.LoadReferenceSection(dir / "default.Json");
    EXPECT_EQ(profile.GetReferenceKeyList().size(), 1u);
    EXPECT_TRUE(profile.GetKeyList().empty());
    ASSERT_TRUE(profile.SaveReferenceSection(profilePath));
    EXPECT_EQ(ReadJsonValue(profilePath)["Device"].size(), 2u);
}

TEST_F(BasicProfile, CustomLightEffectsFollowSelectItem) {
    const auto config = dir / "qelin_light.config";
    WriteText(config, R"({"LightInfo":[[{"Guid":"2024_01_01_00_00_00_000","LightName":"Mine"},{"Guid":"sub/../2024_01_01_00_00_00_000"}]]})");
    WriteText(dir / "2024_01_01_00_00_00_000.light", R"({"LEDEffectList":[
        {"LEDREGMode":2,"LEDBrightness":3,"red":200,"Time":1500,"Cyle":4}, {"LEDREGMode":5}]})");
    WriteText(profilePath, R"({"Device":[{"LightInfo":{"SelectItem":3}}]})");
    profile.SetLightConfigPath(config);
    profile.LoadSection(profilePath);

    EXPECT_TRUE(profile.GetCustomLightEffects(3).empty()) << "no light configuration loaded yet";
    profile.LoadLightConfig(config);
    EXPECT_TRUE(profile.GetCustomLightEffects(4).empty()) << "a built-in mode selects no file";

    const auto steps = profile.GetCustomLightEffects(3);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].mode, 2);
    EXPECT_EQ(steps[0].brightness, 3);
    EXPECT_EQ(steps[0].red, 200);
    EXPECT_EQ(steps[0].time, 1500);
    EXPECT_EQ(steps[0].cycle, 4);
    EXPECT_EQ(steps[1].mode, 5);

    // Slot 1 names a path instead of an identifier: refused even though it would resolve.
    std::filesystem::create_directory(dir / "sub");
    EXPECT_TRUE(profile.GetCustomLightEffects(2).empty());
}
