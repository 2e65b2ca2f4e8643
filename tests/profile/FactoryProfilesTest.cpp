#include <gtest/gtest.h>

#include <cstdlib>

#include "TempFolder.h"
#include "profile/CKeyboardProfiledata.h"
#include "profile/CMouseProfiledata.h"
#include "profile/CQv2907Profiledata.h"
#include "profile/JsonFile.h"
#include "profile/ProfilePaths.h"

namespace {

std::filesystem::path FactoryFile(const char* folder) {
    return std::filesystem::path(Q208_DEFAULT_DATA_DIR) / (std::string(folder) + q208::kProfileExtension);
}

// Loads the factory section through a profile object, as a device does on reset.
template <class Profile>
void LoadFactory(Profile& profile, const char* folder) {
    const auto file = FactoryFile(folder);
    ASSERT_TRUE(q208::ReadJsonValue(file).isObject()) << file;
    profile.SetDefaultPath(file);
    profile.LoadSection(file);
    ASSERT_TRUE(profile.Section().isObject()) << file;
}

void ExpectKeys(const Json::Value& section, std::initializer_list<const char*> keys) {
    for (const char* key : keys) EXPECT_TRUE(section.isMember(key)) << key;
}

}  // namespace

TEST(FactoryProfiles, Keyboard) {
    q208::CKeyboardProfiledata k;
    LoadFactory(k, q208::kKeyboardFolder);
    ExpectKeys(k.Section(), {"LightInfo", "LightList", "KeyList", "AudioLightInfo", "SystemStages", "CustomLightMode"});
    const auto keys = k.GetKeyList();
    ASSERT_EQ(keys.size(), 170u);
    // Escape, left Shift and the calculator key as the key table has them.
    EXPECT_EQ(q208::PackAssignment(keys[0].current), 0x200029);
    EXPECT_EQ(q208::PackAssignment(keys[84].current), 0x200200);
    EXPECT_EQ(q208::PackAssignment(keys[127].defaults), 0x309201);
    for (const auto& key : keys) EXPECT_EQ(q208::PackAssignment(key.current), q208::PackAssignment(key.defaults));
    const int group = k.GetCustomLightModeGroupIndex();
    const auto colours = k.GetCustomLightColors(group, 170);
    EXPECT_GT(colours[0].alpha, 0);
    EXPECT_EQ(k.GetLightList().size(), 34u);
    EXPECT_EQ(k.GetAudioLightInfo().sevenColor, 1);
}

TEST(FactoryProfiles, Mouse) {
    q208::CMouseProfiledata m;
    LoadFactory(m, q208::kMouseFolder);
    ExpectKeys(m.Section(), {"LightInfo", "LightList", "KeyList", "DPIStages", "SystemStages", "ReportStages"});
    const auto stages = m.GetDpiStages();
    ASSERT_EQ(stages.size(), 7u);
    for (const auto& stage : stages) {
        EXPECT_EQ(stage.active, 1);
        EXPECT_EQ(stage.dpiX[0], stage.dpiX[1]) << "X and Y steps alike";
    }
    EXPECT_LT(m.GetActiveDpiStage(), 7);
    EXPECT_EQ(m.GetKeyList().size(), 11u);
    const auto settings = m.GetMouseSettings();
    EXPECT_GE(std::min(settings.deviceSleep1, settings.deviceSleep2), 1) << "keep-alive period in minutes";
    EXPECT_LE(settings.pollingIndex, 4);
}

TEST(FactoryProfiles, MousePad) {
    q208::CBasicProfiledata p;
    LoadFactory(p, q208::kMousePadFolder);
    ExpectKeys(p.Section(), {"LightInfo", "LightList"});
    EXPECT_EQ(p.GetLightList().size(), 9u);
}

TEST(FactoryProfiles, Headset) {
    q208::CQv2907Profiledata h;
    LoadFactory(h, q208::kHeadsetFolder);
    ExpectKeys(h.Section(), {"LightInfo", "LightList", "EQHzValueInfo", "CustomEQHzValueInfo", "CustomEQNameInfo",
                             "SystemSetStages"});
    EXPECT_EQ(h.GetEqBands(1), (std::vector<int>{7, 11, 2, -3, -1, 4, 9, 12, 9, 5}));
    EXPECT_EQ(h.GetEqBands(12), (std::vector<int>{2, 1, -2, -4, -8, 4, 12, 16, 18, 15}));
    EXPECT_EQ(h.GetEqBands(5), std::vector<int>(10, 0));
    EXPECT_EQ(h.GetSystemSetStages().eqType, 5);
    EXPECT_TRUE(h.GetCustomEqNames().empty());
}

TEST(ProfilePaths, UserFolderIsCreatedAndIdentifiersAreChecked) {
    TempFolder dir;
    const std::string old = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    const auto folder = q208::DeviceUserFolder(q208::kMouseFolder);
    const auto file = q208::ProfileFile(q208::kMouseFolder, "2024_05_06_07_08_09_010");
    const auto refused = q208::ProfileFile(q208::kMouseFolder, "../../evil");
    setenv("XDG_DATA_HOME", old.c_str(), 1);

    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(folder.filename(), "Mouse");
    EXPECT_EQ(file, folder / "2024_05_06_07_08_09_010.Json");
    EXPECT_TRUE(refused.empty());
    EXPECT_EQ(q208::DefaultProfileFile(q208::kHeadsetFolder).filename(), "Headset.Json");
}
