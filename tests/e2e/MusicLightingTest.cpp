#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include "audio/AudioRecorderIdentity.h"
#include "e2e/Q208E2eTest.h"
#include "platform/EndpointMessaging.h"
#include "support/PrivatePulseServer.h"

namespace q208 {
using namespace e2e;
namespace {

// Without waves the music pattern stays at a quarter of full light.
constexpr int kBackgroundCeiling = 64;

class MusicLightingTest : public e2e::Q208E2eTest {
protected:
    void SetUp() override {
        e2e::Q208E2eTest::SetUp();
        server_ = std::make_unique<test::PrivatePulseServer>(DataFolder().parent_path() / "pulse");
        if (!server_->Start()) GTEST_SKIP() << server_->SkipReason();
        extraEnvironment_["PULSE_SERVER"] = server_->Address();
    }
    void TearDown() override {
        // The server first: the base removes the folders that hold its pid file.
        server_.reset();
        e2e::Q208E2eTest::TearDown();
    }
    bool RecorderRunning() const {
        return FindWindow(audio::RecorderClassName(), audio::RecorderWindowName(), RuntimeFolder() / "q208").has_value();
    }
    // The brightest channel of the page's light button for the key the waves start from.
    int BrightestKey() const {
        const std::string colour = Probe("light_51");
        if (colour.size() < 6) return -1;
        int brightest = 0;
        for (int i = 0; i < 6; i += 2) brightest = std::max(brightest, std::stoi(colour.substr(i, 2), nullptr, 16));
        return brightest;
    }

    std::unique_ptr<test::PrivatePulseServer> server_;
};

TEST_F(MusicLightingTest, TheKeyboardLightsWavesToTheBeatAndTheRecorderFollowsTheMode) {
    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    EXPECT_FALSE(RecorderRunning());
    const auto on = RunCtl({"music", "on"});
    ASSERT_EQ(on.exitCode, 0) << Describe(on);
    ASSERT_TRUE(Poll([&] { return RecorderRunning(); }, kWaitTimeoutMs)) << Q208Log();

    // Silence: the pattern runs, but no wave. (The keyboard's first read applies its stored
    // lighting, so the mode is asked for again until the pattern streams.)
    ASSERT_TRUE(Poll([&] { return RunCtl({"music", "on"}).exitCode == 0 && BrightestKey() >= 0; }, kWaitTimeoutMs)) << Q208Log();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(BrightestKey(), kBackgroundCeiling);

    ASSERT_TRUE(server_->PlayBeats(80, 8, 4));
    EXPECT_TRUE(Poll([&] { return BrightestKey() > 2 * kBackgroundCeiling; }, kWaitTimeoutMs)) << "no wave to the beat";
    server_->StopPlaying();

    const auto off = RunCtl({"music", "off"});
    ASSERT_EQ(off.exitCode, 0) << Describe(off);
    EXPECT_TRUE(Poll([&] { return !RecorderRunning(); }, kWaitTimeoutMs)) << "the recorder q208 started kept running";
}

TEST_F(MusicLightingTest, TheRecorderEndsWithTheProgram) {
    ASSERT_TRUE(StartQ208Simulating(""));
    ASSERT_EQ(RunCtl({"music", "on"}).exitCode, 0);
    ASSERT_TRUE(Poll([&] { return RecorderRunning(); }, kWaitTimeoutMs));
    StopQ208();
    EXPECT_TRUE(Poll([&] { return !RecorderRunning(); }, kWaitTimeoutMs));
}

TEST_F(MusicLightingTest, MusicNeedsTheRunningProgram) {
    const auto result = RunCtl({"music", "on"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("start q208"), std::string::npos) << Describe(result);
}

}  // namespace
}  // namespace q208
