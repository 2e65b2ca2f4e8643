#include "profile/CBasicProfiledata.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "Unprivileged.h"
#include "profile/FileNotices.h"
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

// A profile the user cannot read may hold anything: it is never set aside or replaced, the
// factory settings are used in memory, saving to it fails, and the user hears of it once.
TEST_F(BasicProfile, AnUnreadableProfileIsNeverReplaced) {
    const std::string mine = R"({"Device":[{"LightInfo":{"SelectItem":9}}]})";
    WriteText(profilePath, mine);
    std::filesystem::permissions(profilePath, std::filesystem::perms::none);
    GiveToUnprivileged(dir.Path());
    q208::FileNotices::Reset();
    EXPECT_TRUE(RunUnprivileged([&] {
        std::vector<q208::FileNotice> told;
        q208::FileNotices::SetListener([&](const q208::FileNotice& notice) { told.push_back(notice); });
        profile.LoadSection(profilePath);
        const bool factory = profile.GetLightInfo().selectItem == 3;
        const bool refused = !profile.Save();
        profile.LoadSection(profilePath);  // read again: told once only
        q208::FileNotices::SetListener(nullptr);
        return factory && refused && told.size() == 1 && told[0].kind == q208::FileNoticeKind::Unreadable &&
               told[0].file == profilePath;
    }));
    std::filesystem::permissions(profilePath, std::filesystem::perms::owner_read);
    EXPECT_EQ(ReadText(profilePath), mine);
    EXPECT_EQ(CountEntries(dir.Path()), 2) << "no .bad copy, no temporary file";
}

// Two bad files in a row each keep their own copy, and a ".bad" name that is a link is
// never written through.
TEST_F(BasicProfile, EveryBadFileKeepsItsOwnCopyAndLinksAreNotFollowed) {
    WriteText(dir / "outside", "not yours");
    std::filesystem::create_symlink(dir / "outside", dir / "p1.Json.bad");
    WriteText(profilePath, "{ first");
    profile.LoadSection(profilePath);
    WriteText(profilePath, "[ second");
    profile.LoadSection(profilePath);
    EXPECT_EQ(ReadText(dir / "outside"), "not yours");
    EXPECT_EQ(ReadText(dir / "p1.Json.bad.2"), "{ first");
    EXPECT_EQ(ReadText(dir / "p1.Json.bad.3"), "[ second");
    EXPECT_EQ(ReadJsonValue(profilePath)["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3);
}

// The factory file lives in the program's read-only data: a corrupt one is neither moved
// aside nor written, also when a reset loads it.
TEST_F(BasicProfile, ACorruptFactoryFileIsNeverMovedOrWritten) {
    WriteText(dir / "default.Json", "{ broken factory");
    profile.LoadSection(dir / "default.Json");
    EXPECT_TRUE(profile.Section().isNull());
    EXPECT_FALSE(profile.SaveSection(profile.Section(), dir / "default.Json"));
    profile.LoadSection(profilePath);
    EXPECT_EQ(ReadText(dir / "default.Json"), "{ broken factory");
    EXPECT_FALSE(std::filesystem::exists(dir / "default.Json.bad"));
}

TEST_F(BasicProfile, ASaveThatCannotHappenSaysSo) {
    profile.LoadSection(profilePath);
    const std::string before = ReadText(profilePath);
    for (int index : {-1, 4096, 100000}) {
        profile.SetSectionIndex(index);
        EXPECT_FALSE(profile.Save()) << index;
    }
    EXPECT_EQ(ReadText(profilePath), before);
    profile.SetSectionIndex(0);
    EXPECT_FALSE(profile.SetKeyList(std::vector<q208::KeyAssignmentRecord>(5000)));
}

// A container of the wrong type is replaced by the edit instead of swallowing it.
TEST_F(BasicProfile, AnEditReplacesAContainerOfTheWrongType) {
    WriteText(profilePath, R"({"Device":[{"KeyList":"x", "LightInfo":{"SelectItem":2}}]})");
    profile.LoadSection(profilePath);
    std::vector<q208::KeyAssignmentRecord> keys(2);
    keys[1].current.type = 0x20;
    keys[1].current.param2 = 0x05;
    ASSERT_TRUE(profile.SetKeyList(keys));
    ASSERT_TRUE(profile.Save());
    const Json::Value saved = ReadJsonValue(profilePath)["Device"][0];
    ASSERT_TRUE(saved["KeyList"].isArray());
    EXPECT_EQ(saved["KeyList"][1]["Assignment"].asInt(), 0x200005);
}

TEST_F(BasicProfile, StoredNumbersAreClampedToTheirFieldsRange) {
    WriteText(profilePath, R"({"Device":[{"LightInfo":{"SelectItem":300, "Light":-1, "Red":255, "Blue":256},
        "KeyList":[{"Assignment":-1, "DefaultAssignment":33554432}]}]})");
    profile.LoadSection(profilePath);
    const auto info = profile.GetLightInfo();
    EXPECT_EQ(info.selectItem, 255);
    EXPECT_EQ(info.light, 0);
    EXPECT_EQ(info.red, 255);
    EXPECT_EQ(info.blue, 255);
    const auto keys = profile.GetKeyList();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(q208::PackAssignment(keys[0].current), 0);
    EXPECT_EQ(q208::PackAssignment(keys[0].defaults), 0xFFFFFF);
}

TEST_F(BasicProfile, CustomLightFilesBeyondWhatADeviceHoldsAreRefused) {
    WriteText(profilePath, R"({"Device":[{"LightInfo":{"SelectItem":20}}]})");
    WriteText(dir / "qelin_light.config", R"({"LightInfo":[[{"Guid":"many"},{"Guid":"huge"},{"Guid":"fine"}]]})");
    std::string many = R"({"LEDEffectList":[)";
    for (int i = 0; i < 300; ++i) many += std::string(i ? "," : "") + R"({"red":1,"Time":5})";
    WriteText(dir / "many.light", many + "]}");
    WriteText(dir / "huge.light", R"({"LEDEffectList":[{"red":1}], "pad":")" + std::string(300 << 10, 'x') + "\"}");
    WriteText(dir / "fine.light", R"({"LEDEffectList":[{"red":7,"Time":5,"Cyle":2}]})");
    profile.SetLightConfigPath(dir / "qelin_light.config");
    profile.LoadSection(profilePath);
    profile.LoadLightConfig(dir / "qelin_light.config");
    EXPECT_TRUE(profile.GetCustomLightEffects(20).empty()) << "300 steps";
    EXPECT_TRUE(profile.GetCustomLightEffects(19).empty()) << "300 KiB";
    const auto steps = profile.GetCustomLightEffects(18);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].red, 7);
    EXPECT_EQ(steps[0].cycle, 2);
}
