#include <gtest/gtest.h>

#include "TempFolder.h"
#include "profile/CKeyboardProfiledata.h"
#include "profile/CMouseProfiledata.h"
#include "profile/CQv2907Profiledata.h"
#include "profile/JsonFile.h"

using q208::ReadJsonValue;

namespace {

// Loads a profile of the given class from one document text.
template <class Profile>
struct Loaded {
    explicit Loaded(const std::string& text) {
        WriteText(path, text);
        profile.SetPath(path);
        profile.LoadSection(path);
    }
    Json::Value Saved() {
        EXPECT_TRUE(profile.Save());
        return ReadJsonValue(path)["Device"][0];
    }
    TempFolder dir;
    std::filesystem::path path = dir / "p.Json";
    Profile profile;
};

}  // namespace

TEST(MouseProfile, StageDpiXHoldsBothStepsLowByteFirst) {
    Loaded<q208::CMouseProfiledata> m(R"({"Device":[{"DPIStages":{"StageActive":1,"StageDPIs":[
        {"StageActive":1,"StageXY":0,"StageDPIX":2570,"StageDPIY":772,"StageColorR":255}]}}]})");
    auto stages = m.profile.GetDpiStages();
    ASSERT_EQ(stages.size(), 1u);
    EXPECT_EQ(stages[0].dpiX[0], 0x0A);
    EXPECT_EQ(stages[0].dpiX[1], 0x0A);
    EXPECT_EQ(stages[0].dpiY[0], 0x04);
    EXPECT_EQ(stages[0].dpiY[1], 0x03);
    EXPECT_EQ(stages[0].red, 255);
    EXPECT_EQ(m.profile.GetActiveDpiStage(), 1);

    stages[0].SetSteps(10, 10);
    stages.push_back(stages[0]);
    stages[1].SetSteps(7, 9);
    m.profile.SetDpiStages(stages);
    m.profile.SetActiveDpiStage(1);
    const Json::Value saved = m.Saved()["DPIStages"];
    EXPECT_EQ(saved["StageDPIs"][0]["StageDPIX"].asInt(), 2570);
    EXPECT_EQ(saved["StageDPIs"][0]["StageDPIY"].asInt(), 772) << "carried through";
    EXPECT_EQ(saved["StageDPIs"][1]["StageDPIX"].asInt(), 7 + 9 * 256);
    EXPECT_EQ(saved["StageActive"].asInt(), 1);
}

TEST(MouseProfile, ShortStageListUpdatesOnlyTheFirstStages) {
    Loaded<q208::CMouseProfiledata> m(R"({"Device":[{"DPIStages":{"StageDPIs":[
        {"StageDPIX":1},{"StageDPIX":2},{"StageDPIX":3}]}}]})");
    ASSERT_EQ(m.profile.GetDpiStages().size(), 3u);
    WriteText(m.path, R"({"Device":[{"DPIStages":{"StageDPIs":[{"StageDPIX":11}]}}]})");
    m.profile.LoadSection(m.path);
    const auto stages = m.profile.GetDpiStages();
    ASSERT_EQ(stages.size(), 3u);
    EXPECT_EQ(stages[0].DpiX(), 11);
    EXPECT_EQ(stages[1].DpiX(), 2);
    EXPECT_EQ(stages[2].DpiX(), 3);
}

TEST(MouseProfile, SettingsSpanTwoObjects) {
    Loaded<q208::CMouseProfiledata> m(R"({"Device":[{"SystemStages":{"DoubleClickTime":500,"Logoledmode":2},
        "ReportStages":{"StageActive":3,"device_sleep2":10}}]})");
    auto s = m.profile.GetMouseSettings();
    EXPECT_EQ(s.doubleClickTime, 500);
    EXPECT_EQ(s.logoLedMode, 2);
    EXPECT_EQ(s.pollingIndex, 3);
    EXPECT_EQ(s.deviceSleep2, 10);
    s.bleSleep1 = 5;
    s.wheelLines = 3;
    m.profile.SetMouseSettings(s);
    const Json::Value saved = m.Saved();
    EXPECT_EQ(saved["ReportStages"]["ble_sleep1"].asInt(), 5);
    EXPECT_EQ(saved["SystemStages"]["WheelScorlllinse"].asInt(), 3);
    EXPECT_EQ(saved["SystemStages"]["DoubleClickTime"].asInt(), 500);
}

TEST(KeyboardProfile, MissingCustomGroupIsCreatedWithZeros) {
    Loaded<q208::CKeyboardProfiledata> k(R"({"Device":[{"CustomLightMode":{"CustomLightModeGroupIndex":1,
        "LightColorInfo":[[{"Red":1,"Green":2,"Blue":3,"Alpha":4}, null]]}}]})");
    EXPECT_EQ(k.profile.GetCustomLightModeGroupIndex(), 1);
    auto first = k.profile.GetCustomLightColors(0, 3);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].red, 1);
    EXPECT_EQ(first[0].alpha, 4);
    EXPECT_EQ(first[1].red, 0);
    EXPECT_EQ(k.profile.GetCustomLightColors(2, 4).size(), 4u);

    const Json::Value saved = k.Saved()["CustomLightMode"]["LightColorInfo"];
    EXPECT_EQ(saved[0].size(), 3u);
    EXPECT_EQ(saved[0][1]["Alpha"].asInt(), 0);
    EXPECT_TRUE(saved[1].isNull());
    EXPECT_EQ(saved[2].size(), 4u);
    EXPECT_EQ(saved[2][3]["Red"].asInt(), 0);
}

TEST(KeyboardProfile, ColoursAndOptionsAreWrittenInPlace) {
    Loaded<q208::CKeyboardProfiledata> k(R"({"Device":[{"SystemStages":{"Repeat":2,"Other":1}}]})");
    auto system = k.profile.GetSystemStages();
    EXPECT_EQ(system.repeat, 2);
    system.pollingRate = 3;
    system.winFlag = 1;
    k.profile.SetSystemStages(system);
    k.profile.SetCustomLightColors(1, {{255, 0, 0, 255}, {0, 255, 0, 128}});
    k.profile.SetCustomLightModeGroupIndex(1);
    const Json::Value saved = k.Saved();
    EXPECT_EQ(saved["SystemStages"]["PollingRate"].asInt(), 3);
    EXPECT_EQ(saved["SystemStages"]["Other"].asInt(), 1);
    EXPECT_EQ(saved["CustomLightMode"]["LightColorInfo"][1][1]["Green"].asInt(), 255);
    EXPECT_EQ(saved["CustomLightMode"]["CustomLightModeGroupIndex"].asInt(), 1);
    q208::CKeyboardProfiledata again;
    again.LoadSection(k.path);
    EXPECT_EQ(again.GetCustomLightColors(1, 2)[1].alpha, 128);
}

TEST(HeadsetProfile, EqualiserPresetRules) {
    Loaded<q208::CQv2907Profiledata> h(R"({"Device":[{"EQHzValueInfo":[null,
        [{"value":1},{"value":2},{"value":3},{"value":4},{"value":5},{"value":6},{"value":7},{"value":8},{"value":9},{"value":-10}]]}]})");
    EXPECT_TRUE(h.profile.GetEqBands(13).empty());
    const std::vector<int> first{1, 2, 3, 4, 5, 6, 7, 8, 9, -10};
    EXPECT_EQ(h.profile.GetEqBands(0), first);
    EXPECT_EQ(h.profile.GetEqBands(20), first);
    EXPECT_EQ(h.profile.GetEqBands(-3), first);
    EXPECT_EQ(h.profile.GetEqBands(5), std::vector<int>(10, 0));

    h.profile.SetEqBands(13, std::vector<int>(10, 7));
    h.profile.SetEqBands(3, {3, 3, 3});
    const Json::Value saved = h.Saved()["EQHzValueInfo"];
    EXPECT_EQ(saved.size(), 6u);
    for (int band = 0; band < 10; ++band) EXPECT_EQ(saved[5][band]["value"], Json::Value(0)) << band;
    EXPECT_EQ(saved[3][2]["value"].asInt(), 3);
    EXPECT_EQ(saved[3].size(), 3u);
    EXPECT_EQ(saved[1][9]["value"].asInt(), -10);
}

TEST(HeadsetProfile, CustomPresetsNamesAndSettings) {
    Loaded<q208::CQv2907Profiledata> h(R"({"Device":[{}]})");
    EXPECT_EQ(h.profile.GetCustomEqBands(1), std::vector<int>(10, 0));
    h.profile.SetCustomEqBands(0, {1, -2, 3, -4, 5, -6, 7, -8, 9, -10, 11});
    h.profile.SetCustomEqNames({"Bass", "Voix \xC3\xA9"});
    q208::HeadsetSettingsRecord stages;
    stages.eqType = 13;
    stages.micInValue = 80;
    h.profile.SetSystemSetStages(stages);
    h.Saved();

    q208::CQv2907Profiledata again;
    again.LoadSection(h.path);
    EXPECT_EQ(again.GetCustomEqBands(0), (std::vector<int>{1, -2, 3, -4, 5, -6, 7, -8, 9, -10}));
    EXPECT_EQ(again.GetCustomEqNames(), (std::vector<std::string>{"Bass", "Voix \xC3\xA9"}));
    EXPECT_EQ(again.GetSystemSetStages().eqType, 13);
    EXPECT_EQ(again.GetSystemSetStages().micInValue, 80);
    EXPECT_TRUE(again.GetCustomEqBands(-1) == std::vector<int>(10, 0));
}

TEST(MouseProfile, TheActiveStageIsOneOfTheSevenStages) {
    Loaded<q208::CMouseProfiledata> low(R"({"Device":[{"DPIStages":{"StageActive":-5,"StageDPIs":[{}]}}]})");
    low.profile.GetDpiStages();
    EXPECT_EQ(low.profile.GetActiveDpiStage(), 0);
    Loaded<q208::CMouseProfiledata> high(R"({"Device":[{"DPIStages":{"StageActive":99}}]})");
    high.profile.GetDpiStages();
    EXPECT_EQ(high.profile.GetActiveDpiStage(), 6);
}

TEST(KeyboardProfile, OptionsAndColoursReplaceContainersOfTheWrongType) {
    Loaded<q208::CKeyboardProfiledata> k(R"({"Device":[{"SystemStages":"x","CustomLightMode":{"LightColorInfo":7}}]})");
    q208::KeyboardSystemRecord options;
    options.repeat = 3;
    k.profile.SetSystemStages(options);
    EXPECT_TRUE(k.profile.SetCustomLightColors(1, {q208::CustomLightColor{1, 2, 3, 4}}));
    EXPECT_FALSE(k.profile.SetCustomLightColors(-1, {q208::CustomLightColor{}}));
    const Json::Value saved = k.Saved();
    EXPECT_EQ(saved["SystemStages"]["Repeat"].asInt(), 3);
    EXPECT_EQ(saved["CustomLightMode"]["LightColorInfo"][1][0]["Blue"].asInt(), 3);
}
