// The headset's audio settings over an in-memory audio server: what goes to the server,
// what the profile keeps, and what is refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "audio/AudioProperties.h"
#include "audio/MemoryAudioConfig.h"
#include "devices/headset/HeadsetAudioController.h"
#include "platform/Paths.h"
#include "profile/CQv2907Profiledata.h"
#include "profile/ProfilePaths.h"

namespace q208::test {
namespace {

using namespace audioprop;
using Audio = HeadsetAudioController;
constexpr int P = IAudioConfig::kPlayback;
constexpr int R = IAudioConfig::kRecording;

class HeadsetAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile_.LoadSection(DefaultProfileFile(kHeadsetFolder));
        ASSERT_TRUE(audio_.Start());
        audio_.LoadFromProfile();
        server_.ClearWrites();
    }
    std::vector<double> Bands() const {
        std::vector<double> out;
        for (int i = 1; i <= 10; ++i) out.push_back(server_.Value(P, "EQ_Slider" + std::to_string(i)));
        return out;
    }
    std::vector<int> Sliders() const { return {audio_.CurrentBands().begin(), audio_.CurrentBands().end()}; }
    void SaveNamed(const std::string& name, int firstBand) {
        audio_.MoveBand(0, firstBand);
        ASSERT_EQ(audio_.SaveCustomPreset(name), Audio::kSaved);
    }

    MemoryAudioConfig server_;
    CQv2907Profiledata profile_;
    int saves_ = 0;
    Audio audio_{server_, profile_, [this] { ++saves_; }};
};

TEST_F(HeadsetAudioTest, StartUpWritesZeroOnlyWhereTheServerCannotRead) {
    MemoryAudioConfig fresh;
    fresh.SetVoiceEffects(false);
    CQv2907Profiledata profile;
    Audio audio(fresh, profile, {});
    ASSERT_TRUE(audio.Start());
    auto wrote = [&](int side, const std::string& p) {
        return std::any_of(fresh.Writes().begin(), fresh.Writes().end(),
                           [&](const auto& w) { return w.direction == side && w.property == p && w.value == 0; });
    };
    EXPECT_TRUE(wrote(P, kSurround));
    EXPECT_TRUE(wrote(P, kRoomSize));
    EXPECT_TRUE(wrote(R, kNoiseCancel));
    EXPECT_TRUE(wrote(R, kVoiceEnable));
    EXPECT_FALSE(wrote(R, kMicScalar)) << "a readable level is left as it is";
    EXPECT_EQ(audio.MicDbText(), "-18.06");
}

TEST_F(HeadsetAudioTest, BuiltInPresetsGoToTheServerAndTheProfile) {
    audio_.ChooseEqPreset(2);
    EXPECT_EQ(Bands(), std::vector<double>({7, 11, 6, -3, -11, -1, 6, 13, 6, 13}));
    audio_.ChooseEqPreset(5);
    EXPECT_EQ(server_.Value(P, kEqEnable), 1);
    EXPECT_EQ(Bands(), std::vector<double>(10, 0));
    EXPECT_EQ(profile_.GetEqBands(5), std::vector<int>(10, 0));
    EXPECT_EQ(profile_.GetSystemSetStages().eqType, 5);
    const int saved = saves_;
    server_.ClearWrites();
    audio_.ChooseEqPreset(0);
    audio_.ChooseEqPreset(14);
    EXPECT_TRUE(server_.Writes().empty());
    EXPECT_EQ(saves_, saved);
}

TEST_F(HeadsetAudioTest, AnEqualiserTheServerRefusesIsNotStored) {
    server_.Fail("EQ_Slider4");
    audio_.ChooseEqPreset(7);
    EXPECT_TRUE(audio_.LastWriteFailed());
    EXPECT_EQ(profile_.GetSystemSetStages().eqType, 5) << "the stored preset stays";
    EXPECT_EQ(Sliders(), std::vector<int>(10, 0)) << "and the sliders show it";
    server_.Heal("EQ_Slider4");
    audio_.ChooseEqPreset(7);
    EXPECT_FALSE(audio_.LastWriteFailed());
    EXPECT_EQ(profile_.GetSystemSetStages().eqType, 7);
}

TEST_F(HeadsetAudioTest, ABandMovedUnderAPresetSwitchesToCustomWithNoneSelectedAndStoresNothing) {
    audio_.ChooseEqPreset(3);
    audio_.MoveBand(4, 9);
    EXPECT_EQ(audio_.Stages().eqType, Audio::kCustomPreset);
    EXPECT_TRUE(audio_.CustomMode());
    EXPECT_EQ(audio_.SelectedCustom(), -1);
    EXPECT_EQ(server_.Value(P, "EQ_Slider5"), 9);
    EXPECT_EQ(profile_.GetSystemSetStages().eqType, 3);
    EXPECT_EQ(audio_.SaveCustomPreset(""), Audio::kRefused) << "no name and none selected";
}

TEST_F(HeadsetAudioTest, CustomPresetNamesAreUniqueRegardlessOfCaseAndAtMostTwenty) {
    SaveNamed("Evening", 3);
    EXPECT_EQ(profile_.GetCustomEqNames(), std::vector<std::string>{"Evening"});
    EXPECT_EQ(profile_.GetCustomEqBands(0)[0], 3);
    EXPECT_EQ(profile_.GetSystemSetStages().eqType, Audio::kCustomPreset);
    EXPECT_EQ(audio_.SaveCustomPreset("EVENING"), Audio::kNameExists);
    EXPECT_EQ(audio_.Message(), "message_text_5");
    for (int i = 1; i < Audio::kMaxCustomPresets; ++i) SaveNamed("p" + std::to_string(i), i);
    EXPECT_EQ(audio_.CustomNames().size(), 20u);
    EXPECT_EQ(audio_.SaveCustomPreset("one more"), Audio::kRefused);
    EXPECT_EQ(profile_.GetCustomEqNames().size(), 20u);
    // Saved again without a name: the selected preset takes the sliders.
    audio_.MoveBand(9, -4);
    EXPECT_EQ(audio_.SaveCustomPreset(""), Audio::kSaved);
    EXPECT_EQ(profile_.GetCustomEqBands(19)[9], -4);
}

TEST_F(HeadsetAudioTest, DeletingAPresetTakesItsBandsWithItsName) {
    SaveNamed("a", 1);
    SaveNamed("b", 2);
    SaveNamed("c", 3);
    audio_.SetSelectedCustom(0);
    audio_.DeleteCustomPreset();
    EXPECT_EQ(profile_.GetCustomEqNames(), std::vector<std::string>({"b", "c"}));
    EXPECT_EQ(profile_.GetCustomEqBands(0)[0], 2) << "b's bands moved down with b";
    EXPECT_EQ(profile_.GetCustomEqBands(1)[0], 3);
    EXPECT_EQ(audio_.SelectedCustom(), 0);
    EXPECT_EQ(Sliders()[0], 2);
    EXPECT_EQ(server_.Value(P, "EQ_Slider1"), 2) << "the sound follows the sliders";
    audio_.DeleteCustomPreset();
    audio_.DeleteCustomPreset();
    EXPECT_EQ(audio_.Stages().eqType, 1);
    EXPECT_FALSE(audio_.CustomMode());
    EXPECT_EQ(Sliders(), profile_.GetEqBands(1));
    audio_.ChooseCustomPreset(0);  // none left: nothing happens
    EXPECT_EQ(audio_.Stages().eqType, 1);
}

TEST_F(HeadsetAudioTest, MicrophoneAndMonitoringLevelsAndMutes) {
    audio_.SetMicLevel(37);
    EXPECT_DOUBLE_EQ(server_.Value(R, kMicScalar), 0.37);
    EXPECT_EQ(audio_.MicDbText(), "-25.91");
    EXPECT_EQ(profile_.GetSystemSetStages().micInValue, 37);
    audio_.ToggleMonitorMute();  // the factory profile has monitoring off
    EXPECT_EQ(server_.Value(R, kMonitorMute), 0);
    EXPECT_EQ(profile_.GetSystemSetStages().micMonitorSelect, 1);

    server_.Fail(kMicMute);
    server_.Fail(kMonitorScalar);
    audio_.ToggleMicMute();
    EXPECT_FALSE(audio_.MicMuted()) << "the page keeps showing what the server has";
    EXPECT_EQ(profile_.GetSystemSetStages().micInSelect, 1);
    audio_.SetMonitorLevel(80);
    EXPECT_TRUE(audio_.LastWriteFailed());
    EXPECT_EQ(profile_.GetSystemSetStages().micMonitorValue, 50);
}

TEST_F(HeadsetAudioTest, VoiceEffectsAreStoredOnlyWhenTheServerTookThem) {
    audio_.SetVoiceEffectOn(true);
    EXPECT_EQ(server_.Value(R, kVoiceEnable), 1);
    EXPECT_TRUE(std::any_of(server_.Writes().begin(), server_.Writes().end(),
                            [](const auto& w) { return w.property == kEchoEnable && w.value == 0; }));
    audio_.SelectVoiceEffect(3);
    EXPECT_EQ(server_.Value(R, kVoiceSelection), 2);
    EXPECT_EQ(profile_.GetSystemSetStages().magicType, 3);
    audio_.SelectVoiceEffect(5);
    EXPECT_EQ(audio_.Stages().magicType, 3);

    server_.SetVoiceEffects(false);
    audio_.SelectVoiceEffect(1);
    EXPECT_TRUE(audio_.LastWriteFailed());
    EXPECT_EQ(profile_.GetSystemSetStages().magicType, 3);
}

TEST_F(HeadsetAudioTest, WithoutAServerNothingIsStoredAndTheSettingsReturnWithIt) {
    audio_.SetMicLevel(60);
    server_.SetUp(false);
    EXPECT_FALSE(audio_.Watch());
    EXPECT_FALSE(audio_.Active());
    audio_.ChooseEqPreset(9);
    audio_.SetMicLevel(10);
    EXPECT_EQ(profile_.GetSystemSetStages().eqType, 5);
    EXPECT_EQ(profile_.GetSystemSetStages().micInValue, 60);

    server_.SetUp(true);  // a new server knows nothing
    EXPECT_TRUE(audio_.Watch());
    EXPECT_DOUBLE_EQ(server_.Value(R, kMicScalar), 0.6);
    EXPECT_EQ(server_.Value(P, kEqEnable), 1);
    EXPECT_FALSE(audio_.Watch());
}

}  // namespace
}  // namespace q208::test
