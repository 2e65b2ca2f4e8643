#include <gtest/gtest.h>
#include <json/value.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <mutex>
#include <vector>

#include "audio/AudioRecorderIdentity.h"
#include "devices/keyboard/KeyboardMusicWaves.h"
#include "lighting/AudioLightStyles.h"
#include "lighting/AudioRecorderLink.h"
#include "platform/MessageEndpoint.h"
#include "platform/SingleInstanceLock.h"
#include "profile/JsonFile.h"

namespace q208 {
namespace {

namespace fs = std::filesystem;

fs::path Folder(const char* name) {
    const fs::path folder = fs::temp_directory_path() / ("q208-lighting-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
    return folder;
}

TEST(AudioLightStyles, AMissingRecordIsStyleZeroBlackAndOddValuesAreHeld) {
    EXPECT_EQ(AudioLightInfo::FromJson(Json::Value()), AudioLightInfo{});
    Json::Value info;
    info["nAudioStyle"] = 9;
    info["nStyleR1"] = 300;
    info["nStyleG1"] = -4;
    info["nStyleName2"] = "Bass";
    const auto read = AudioLightInfo::FromJson(info);
    EXPECT_EQ(read.style, 0);
    EXPECT_EQ(read.colours[1], (AudioLightInfo::Colour{255, 0, 0}));
    EXPECT_EQ(read.names[1], "Bass");
}

TEST(AudioLightStyles, TheDefaultCopyServesUntilTheUserSavesAndOtherMembersSurvive) {
    const fs::path folder = Folder("styles");
    fs::create_directories(folder / "default");
    Json::Value document;
    document["Device"]["AudioLightInfo"]["nAudioStyle"] = 2;
    document["Device"]["AudioLightInfo"]["nStyleB2"] = 200;
    document["Other"] = "kept";
    ASSERT_EQ(WriteJsonFile(document, folder / "default" / "AudioFile.json"), 0);
    AudioLightStyles styles(folder / "user", folder / "default");
    AudioLightInfo info = styles.Load();
    EXPECT_EQ(info.style, 2);
    EXPECT_EQ(info.Current().blue, 200);

    info.style = 3;
    info.names[3] = "Mine";
    info.colours[3] = {1, 2, 3};
    ASSERT_TRUE(styles.Save(info));
    EXPECT_EQ(styles.Load(), info);
    EXPECT_EQ(ReadJsonValue(styles.UserFile())["Other"].asString(), "kept");
    fs::remove_all(folder);
}

// A recorder stand-in that notes what the main window sends it.
struct RecorderStandIn {
    explicit RecorderStandIn(const fs::path& folder)
        : endpoint(audio::RecorderClassName(), audio::RecorderWindowName(),
                   MessageEndpoint::Handler([this](const EndpointMessage& m) {
                       std::lock_guard lock(mutex);
                       seen.push_back(m);
                       return int64_t{1};
                   }),
                   MessageEndpoint::Options{.folder = folder}) {}
    std::vector<EndpointMessage> Seen() {
        std::lock_guard lock(mutex);
        return seen;
    }
    std::mutex mutex;
    std::vector<EndpointMessage> seen;
    MessageEndpoint endpoint;
};

TEST(AudioRecorderLink, SequencesAndColourReachTheRecorderInOrder) {
    const fs::path folder = Folder("link");
    AudioRecorderLink link(folder);
    EXPECT_FALSE(link.SendStart(7)) << "no recorder: nothing sent";
    EXPECT_FALSE(link.RecorderPresent());

    RecorderStandIn recorder(folder);
    ASSERT_TRUE(recorder.endpoint.Open());
    ASSERT_TRUE(link.SendStart(7));
    ASSERT_TRUE(link.SendStop());
    ASSERT_TRUE(link.SendChannel(1, 99));
    ASSERT_TRUE(link.SendColour({10, 0, 30}, 7));
    const auto seen = recorder.Seen();
    ASSERT_EQ(seen.size(), 8u);
    const std::vector<uint64_t> codes{0, 3, 1, 2, 4, 5, 7};
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(seen[i].name, audio::kRecorderCommandName);
        EXPECT_EQ(seen[i].wParam, codes[i]) << i;
    }
    EXPECT_EQ(seen[0].lParam, 7);
    EXPECT_EQ(seen[6].lParam, 99);
    ASSERT_TRUE(seen[7].isCopyData);
    EXPECT_EQ(seen[7].dwData, audio::kColourBlockKind);
    ASSERT_EQ(seen[7].data.size(), audio::kColourBlockBytes);
    int32_t rgb[3];
    std::memcpy(rgb, seen[7].data.data(), sizeof rgb);
    EXPECT_EQ(rgb[0], 10);
    EXPECT_EQ(rgb[1], 1) << "green 0 goes as 1";
    EXPECT_EQ(rgb[2], 30);

    SingleInstanceLock presence(audio::RecorderLockFile(folder));
    ASSERT_TRUE(presence.Acquire());
    EXPECT_TRUE(link.RecorderPresent());
    presence.Release();
    EXPECT_FALSE(link.RecorderPresent());
    recorder.endpoint.Close();
    fs::remove_all(folder);
}

TEST(KeyboardMusicWaves, LouderChangesStepFasterAndTheSumStartsAWavePast70) {
    std::array<int32_t, 25> bands{};
    EXPECT_EQ(KeyboardMusicWaves::StepFor(bands), 0) << "no change never advances";
    bands.fill(2000);
    EXPECT_EQ(KeyboardMusicWaves::StepFor(bands), 25);
    bands.fill(1000);  // x 300, y 300: step 25 - 300 × 25 / 600
    EXPECT_EQ(KeyboardMusicWaves::StepFor(bands), 13);
    bands.fill(5000);  // beyond the full level y is 500
    EXPECT_EQ(KeyboardMusicWaves::StepFor(bands), 5);

    KeyboardMusicWaves::ResetAccumulator();
    EXPECT_FALSE(KeyboardMusicWaves::Accumulate(35));
    EXPECT_FALSE(KeyboardMusicWaves::Accumulate(35));  // 70 is not past the limit
    EXPECT_TRUE(KeyboardMusicWaves::Accumulate(1));
    EXPECT_EQ(KeyboardMusicWaves::Accumulator(), 0);
}

}  // namespace
}  // namespace q208
