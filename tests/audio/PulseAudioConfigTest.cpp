// The PulseAudio backend against a private server: what the headset's settings become on
// the server, checked with pactl; and the equaliser's band spread.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "audio/AudioProperties.h"
#include "audio/EqBandMap.h"
#include "audio/PulseAudioConfig.h"
#include "devices/headset/HeadsetAudioController.h"
#include "support/PulseTestServer.h"

namespace q208::test {
namespace {

using namespace audioprop;

class PulseAudioConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PulseTestServer::Available()) GTEST_SKIP() << "pulseaudio or pactl is not installed";
        ASSERT_TRUE(server_.Start()) << server_.Log();
        setenv("PULSE_SERVER", server_.Address().c_str(), 1);
    }
    void TearDown() override { unsetenv("PULSE_SERVER"); }
    bool StartConfig(PulseAudioConfig& config) {
        if (config.Init() != 0 || config.CreateDeviceList() != 0) return false;
        return config.GetDeviceById(IAudioConfig::kPlayback, 0, playback_) == 0 &&
               config.GetDeviceById(IAudioConfig::kRecording, 0, recording_) == 0;
    }
    int Set(PulseAudioConfig& config, const AudioDeviceRecord& device, const std::string& property, double value) {
        AudioValue v;
        v.number = value;
        return config.PropertyControl(device, property, v, IAudioConfig::kWrite);
    }
    bool Has(const std::string& command, const std::string& text) {
        return server_.Pactl(command).find(text) != std::string::npos;
    }

    PulseTestServer server_;
    AudioDeviceRecord playback_, recording_;
};

TEST_F(PulseAudioConfigTest, MicrophoneLevelMuteAndMonitoringReachTheHeadsetsSource) {
    PulseAudioConfig config;
    ASSERT_TRUE(StartConfig(config));
    EXPECT_EQ(config.SinkName(), PulseTestServer::kSink);
    EXPECT_EQ(config.SourceName(), PulseTestServer::kSource) << "the source with the ids, not a sink's monitor";

    ASSERT_EQ(Set(config, recording_, kMicScalar, 0.37), 0);
    EXPECT_TRUE(Has("get-source-volume headset_mic", "37%"));
    AudioValue db;
    ASSERT_EQ(config.PropertyControl(recording_, kMicDb, db, IAudioConfig::kRead), 0);
    EXPECT_EQ(db.text, "-25.91");
    ASSERT_EQ(Set(config, recording_, kMicMute, 1), 0);
    EXPECT_TRUE(Has("get-source-mute headset_mic", "yes"));

    ASSERT_EQ(Set(config, recording_, kMonitorScalar, 0.6), 0);
    ASSERT_EQ(Set(config, recording_, kMonitorMute, 0), 0);
    EXPECT_TRUE(Has("list short modules", "module-loopback\tsource=headset_mic sink=headset_out"));
    EXPECT_TRUE(Has("list sink-inputs", "60%"));
    // A second session (the program started again) finds the loopback and its level.
    PulseAudioConfig again;
    ASSERT_TRUE(StartConfig(again));
    AudioValue level;
    ASSERT_EQ(again.PropertyControl(recording_, kMonitorScalar, level, IAudioConfig::kRead), 0);
    EXPECT_NEAR(level.number, 0.6, 0.001);
    ASSERT_EQ(Set(again, recording_, kMonitorMute, 1), 0);
    EXPECT_FALSE(Has("list short modules", "module-loopback"));

    // Nothing of the sort on this server: the start-up's reads fail.
    AudioValue none;
    EXPECT_NE(config.PropertyControl(playback_, kSurround, none, IAudioConfig::kRead), 0);
    EXPECT_NE(config.PropertyControl(recording_, kVoiceEnable, none, IAudioConfig::kRead), 0);
}

TEST_F(PulseAudioConfigTest, TheEqualiserSinkFollowsTheBandsAndLeavesTheDefaultAsItWas) {
    PulseAudioConfig config;
    ASSERT_TRUE(StartConfig(config));
    ASSERT_EQ(Set(config, playback_, "EQ_Slider1", 10), 0);
    ASSERT_EQ(Set(config, playback_, "EQ_Slider2", 10), 0);
    ASSERT_EQ(Set(config, playback_, kEqEnable, 1), 0);
    EXPECT_TRUE(Has("list short modules", "plugin=mbeq_1197 label=mbeq control=10.00,"));
    EXPECT_TRUE(Has("info", "Default Sink: q208_equaliser_"));

    // A band change replaces the equaliser: one stays, with the new gains.
    ASSERT_EQ(Set(config, playback_, "EQ_Slider9", -6), 0);
    ASSERT_EQ(Set(config, playback_, "EQ_Slider10", -6), 0);
    const std::string modules = server_.Pactl("list short modules");
    EXPECT_EQ(modules.find("module-ladspa-sink"), modules.rfind("module-ladspa-sink")) << modules;
    EXPECT_NE(modules.find(",-6.00,-6.00\t"), std::string::npos) << modules;

    // A later session knows the bands of the running equaliser.
    PulseAudioConfig again;
    ASSERT_TRUE(StartConfig(again));
    EXPECT_EQ(again.SinkName(), PulseTestServer::kSink) << "the headset stays the equaliser's master";
    AudioValue band;
    ASSERT_EQ(again.PropertyControl(playback_, "EQ_Slider1", band, IAudioConfig::kRead), 0);
    EXPECT_EQ(band.number, 10);
    ASSERT_EQ(Set(again, playback_, kEqEnable, 0), 0);
    EXPECT_FALSE(Has("list short modules", "module-ladspa-sink"));
    EXPECT_TRUE(Has("info", "Default Sink: headset_out"));
    EXPECT_NE(Set(again, playback_, "EQ_Slider11", 1), 0);
}

TEST_F(PulseAudioConfigTest, WithoutTheHeadsetsIdsTheDefaultDevicesStandIn) {
    server_.Stop();
    ASSERT_TRUE(server_.Start(false)) << server_.Log();
    PulseAudioConfig config;
    ASSERT_TRUE(StartConfig(config));
    EXPECT_EQ(config.SinkName(), PulseTestServer::kSink);
    EXPECT_EQ(config.SourceName(), PulseTestServer::kSource);
}

TEST_F(PulseAudioConfigTest, TheSettingsComeBackAfterTheServerRestarts) {
    PulseAudioConfig config;
    CQv2907Profiledata profile;
    profile.LoadSection(std::string(Q208_TEST_HOME) + "/missing.Json");  // an empty section
    HeadsetSettingsRecord stages;
    stages.eqType = 3;
    stages.micInSelect = 1;
    stages.micInValue = 42;
    stages.micMonitorSelect = 1;
    stages.micMonitorValue = 30;
    profile.SetSystemSetStages(stages);
    profile.SetEqBands(3, {10, 4, 0, -3, -4, -3, -2, -1, 0, 0});
    HeadsetAudioController audio(config, profile, {});
    ASSERT_TRUE(audio.Start());
    audio.LoadFromProfile();
    audio.ApplyStored();
    EXPECT_TRUE(Has("get-source-volume headset_mic", "42%"));
    EXPECT_FALSE(audio.Watch()) << "nothing new while the server stays";

    server_.Stop();
    EXPECT_FALSE(audio.Watch());
    EXPECT_FALSE(audio.Active());
    audio.SetMicLevel(50);
    EXPECT_TRUE(audio.LastWriteFailed());
    EXPECT_EQ(audio.Stages().micInValue, 42) << "a level the server did not take is not stored";

    ASSERT_TRUE(server_.Start()) << server_.Log();
    EXPECT_TRUE(audio.Watch());
    EXPECT_TRUE(Has("get-source-volume headset_mic", "42%"));
    EXPECT_TRUE(Has("list short modules", "module-loopback"));
    EXPECT_TRUE(Has("list short modules", "control=5.86,")) << "preset 3's bands again";
}

TEST(PulseAudioAbsentTest, NoServerMeansFailedCallsAndNoHang) {
    setenv("PULSE_SERVER", "unix:/nonexistent/q208/native", 1);
    PulseAudioConfig config(500);
    EXPECT_NE(config.Init(), 0);
    EXPECT_NE(config.CreateDeviceList(), 0);
    int count = 1;
    config.GetDeviceCount(IAudioConfig::kPlayback, count);
    EXPECT_EQ(count, 0);
    AudioValue v;
    EXPECT_NE(config.PropertyControl({0, IAudioConfig::kTypeRecording, 0, 1}, kMicScalar, v, IAudioConfig::kWrite), 0);
    EXPECT_FALSE(config.Connected());
    unsetenv("PULSE_SERVER");
}

TEST(EqBandMapTest, PluginBandsInterpolateOnALogAxisAndHoldTheEnds) {
    const std::array<int, 10> flat{};
    for (const double g : EqBandMap::ToPlugin(flat)) EXPECT_EQ(g, 0);
    const std::array<int, 10> gains{10, 0, 0, 0, 0, 6, 0, 0, 0, -8};
    const auto out = EqBandMap::ToPlugin(gains);
    EXPECT_NEAR(out[0], 10 * (1 - std::log2(50.0 / 31) / std::log2(62.0 / 31)), 1e-9);  // 50 Hz
    EXPECT_NEAR(out[8], 6 * (1 - std::log2(1.25)), 1e-9);                                // 1250 Hz
    EXPECT_EQ(out[14], -8) << "20 kHz takes the top band";
    const std::array<int, 10> loud{99, 99, 99, 99, 99, 99, 99, 99, 99, -99};
    EXPECT_EQ(EqBandMap::ToPlugin(loud)[0], EqBandMap::kPluginMaxDb);
    EXPECT_EQ(EqBandMap::ToPlugin(loud)[14], EqBandMap::kPluginMinDb);
}

}  // namespace
}  // namespace q208::test
