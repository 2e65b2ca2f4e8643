// The headset in the running program with a private sound server: the profile's audio
// settings reach the server at start, q208ctl changes them through the page, and they come
// back after the server restarts. Without a server the audio side stays inactive.
#include <filesystem>
#include <string>

#include "e2e/Q208E2eTest.h"
#include "platform/Paths.h"
#include "profile/JsonFile.h"
#include "support/PulseTestServer.h"

namespace q208::e2e {
namespace {

class HeadsetE2e : public Q208E2eTest {
protected:
    std::filesystem::path Folder() const { return DataFolder() / kProductTitle / "Headset"; }
    Json::Value Stages() const {
        const Json::Value list = ReadJsonValue(Folder() / "ProfileList.ini");
        const auto file = Folder() / (list["profilelist"][0]["profileUUID"].asString() + ".Json");
        return ReadJsonValue(file)["Device"][0]["SystemSetStages"];
    }
    bool ServerHas(const std::string& command, const std::string& text) {
        return Poll([&] { return server_.Pactl(command).find(text) != std::string::npos; }, kWaitTimeoutMs);
    }
    test::PulseTestServer server_;
};

TEST_F(HeadsetE2e, TheAudioSettingsReachTheServerFollowTheToolAndSurviveARestartOfTheServer) {
    if (!test::PulseTestServer::Available()) GTEST_SKIP() << "pulseaudio or pactl is not installed";
    ASSERT_TRUE(server_.Start()) << server_.Log();
    extraEnvironment_["PULSE_SERVER"] = server_.Address();
    ASSERT_TRUE(StartQ208Simulating("headset")) << Q208Log();
    ASSERT_EQ(WaitForOutput({"headset"}, "audio active").exitCode, 0) << Q208Log();
    // The factory profile: microphone on at 80, the flat preset, monitoring off.
    EXPECT_TRUE(ServerHas("get-source-volume headset_mic", "80%")) << Q208Log();
    EXPECT_TRUE(ServerHas("list short modules", "module-ladspa-sink")) << Q208Log();
    EXPECT_TRUE(ServerHas("info", "Default Sink: q208_equaliser_"));

    ProcessResult result = RunCtl({"mic", "level=37"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "mic level 37 mute 0 (-25.91 dB)")) << Describe(result);
    EXPECT_TRUE(ServerHas("get-source-volume headset_mic", "37%"));
    EXPECT_TRUE(Poll([&] { return Stages()["MicInValue"].asInt() == 37; }, kWaitTimeoutMs));
    const ProcessResult label = WaitForOutput({"sim", "text", "hs_mic_db_label"}, "-25.91 dB");
    EXPECT_TRUE(Contains(label, "-25.91 dB")) << Describe(label);

    result = RunCtl({"monitor", "mute=0", "level=40"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(ServerHas("list short modules", "module-loopback"));
    result = RunCtl({"eq", "3"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(ServerHas("list short modules", "control=5.86,"));
    EXPECT_TRUE(Poll([&] { return Stages()["EqType"].asInt() == 3 && Stages()["MicMoniterSelect"].asInt() == 1; },
                     kWaitTimeoutMs));
    result = RunCtl({"eq", "custom", "nothing"});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);

    // The server restarts empty; the running program gives it the settings again.
    server_.Stop();
    ASSERT_TRUE(server_.Start()) << server_.Log();
    EXPECT_TRUE(ServerHas("list short modules", "module-loopback")) << Q208Log();
    EXPECT_TRUE(ServerHas("list short modules", "control=5.86,")) << Q208Log();
    EXPECT_TRUE(ServerHas("get-source-volume headset_mic", "37%"));
    EXPECT_TRUE(Q208Running());
}

TEST_F(HeadsetE2e, WithoutASoundServerTheAudioSideIsInactiveAndTheLightingWorks) {
    extraEnvironment_["PULSE_SERVER"] = "unix:" + (RuntimeFolder() / "no-server").string();
    ASSERT_TRUE(StartQ208Simulating("headset")) << Q208Log();
    // The page joins once the emulated headset is found.
    ProcessResult result = WaitForOutput({"headset"}, "audio ");
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "audio inactive")) << Describe(result);
    result = RunCtl({"mic", "level=10"});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);
    EXPECT_EQ(Stages()["MicInValue"].asInt(), 80) << "nothing stored that the server did not take";
    const ProcessResult status = WaitForOutput({"sim", "text", "hs_audio_status_label"}, "No audio server");
    EXPECT_TRUE(Contains(status, "No audio server reachable")) << Describe(status);
    const ProcessResult click = RunCtl({"sim", "click", "pad_colour_option_5"});
    ASSERT_EQ(click.exitCode, 0) << Describe(click);
    const ProcessResult config = WaitForOutput({"sim", "state", "headset", "config"}, "red=0 green=0 blue=255");
    EXPECT_TRUE(Contains(config, "red=0 green=0 blue=255")) << Describe(config) << Q208Log();
}

}  // namespace
}  // namespace q208::e2e
