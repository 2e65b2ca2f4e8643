#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "audio/AudioRecorder.h"
#include "audio/LevelFrameBuilder.h"
#include "platform/EndpointMessaging.h"
#include "platform/MessageEndpoint.h"
#include "support/PrivatePulseServer.h"

namespace q208::audio {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The main window as the recorder sees it: an endpoint that keeps every block it is sent.
class WindowStandIn {
public:
    explicit WindowStandIn(const fs::path& folder)
        : endpoint_(kMainWindowClass, kMainWindowTitle,
                    MessageEndpoint::Handler([this](const EndpointMessage& m) { return Keep(m); }),
                    MessageEndpoint::Options{.folder = folder}) {}
    bool Open() { return endpoint_.Open(); }
    void Close() { endpoint_.Close(); }

    std::vector<LevelFrameBuilder::Frame> Frames() {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    std::vector<std::vector<int32_t>> Records() {
        std::lock_guard lock(mutex_);
        return records_;
    }
    // Waits until `count` more frames than now have come; false on the deadline.
    bool WaitForFrames(size_t count, std::chrono::milliseconds limit = 5s) {
        std::unique_lock lock(mutex_);
        const size_t target = frames_.size() + count;
        return arrived_.wait_for(lock, limit, [&] { return frames_.size() >= target; });
    }

private:
    int64_t Keep(const EndpointMessage& message) {
        std::lock_guard lock(mutex_);
        if (message.dwData == kLevelFrameKind && message.data.size() == sizeof(LevelFrameBuilder::Frame)) {
            LevelFrameBuilder::Frame frame;
            std::memcpy(frame.data(), message.data.data(), sizeof frame);
            frames_.push_back(frame);
        } else if (message.dwData == kShortRecordKind) {
            std::vector<int32_t> record(message.data.size() / 4);
            std::memcpy(record.data(), message.data.data(), record.size() * 4);
            records_.push_back(record);
        }
        arrived_.notify_all();
        return 1;
    }

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<LevelFrameBuilder::Frame> frames_;
    std::vector<std::vector<int32_t>> records_;
    MessageEndpoint endpoint_;
};

class AudioRecorderTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("q208-recorder-" + std::to_string(getpid()) + "-" +
                                               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "run");
        fs::permissions(folder_ / "run", fs::perms::owner_all, fs::perm_options::replace);
        server_ = std::make_unique<test::PrivatePulseServer>(folder_ / "pulse");
        if (!server_->Start()) GTEST_SKIP() << server_->SkipReason();
        setenv("PULSE_SERVER", server_->Address().c_str(), 1);
        window_ = std::make_unique<WindowStandIn>(folder_ / "run");
        ASSERT_TRUE(window_->Open());
    }
    void TearDown() override {
        if (recorder_) recorder_->RequestQuit();
        if (exit_.valid()) exit_.wait_for(5s);
        window_.reset();
        server_.reset();
        unsetenv("PULSE_SERVER");
        fs::remove_all(folder_);
    }

    void StartRecorder(int noWindowExitMs = 5000) {
        recorder_ = std::make_unique<AudioRecorder>(
            AudioRecorder::Options{.runtimeFolder = folder_ / "run", .noWindowExitMs = noWindowExitMs});
        exit_ = std::async(std::launch::async, [this] { return recorder_->Run(errors_); });
    }
    std::optional<EndpointAddress> Recorder() {
        for (int i = 0; i < 100; ++i) {
            if (auto found = FindWindow(RecorderClassName(), RecorderWindowName(), folder_ / "run")) return found;
            std::this_thread::sleep_for(20ms);
        }
        return std::nullopt;
    }
    void Command(uint64_t code, int64_t value = 0) {
        const auto recorder = Recorder();
        ASSERT_TRUE(recorder);
        ASSERT_TRUE(SendMessageTo(*recorder, kRecorderCommandName, code, value).Delivered());
    }
    void StartSequence() {
        Command(kCommandConnect, 42);
        Command(kCommandArm);
        Command(kCommandStartSending);
    }
    std::optional<int> ExitCode(std::chrono::milliseconds limit = 5s) {
        if (exit_.wait_for(limit) != std::future_status::ready) return std::nullopt;
        return exit_.get();
    }

    fs::path folder_;
    std::unique_ptr<test::PrivatePulseServer> server_;
    std::unique_ptr<WindowStandIn> window_;
    std::unique_ptr<AudioRecorder> recorder_;
    std::ostringstream errors_;
    std::future<int> exit_;
};

TEST_F(AudioRecorderTest, FramesFollowWhatPlays) {
    StartRecorder();
    StartSequence();
    ASSERT_TRUE(window_->WaitForFrames(5));
    // Silence: frames of zeros, all alike.
    const auto quiet = window_->Frames().back();
    EXPECT_EQ(*std::max_element(quiet.begin(), quiet.end()), 0);

    ASSERT_TRUE(server_->PlayTone(1000, 3.0, 0.5));
    const int band = LevelFrameBuilder::IndexOfHz(1000);
    bool heard = false;
    for (int i = 0; i < 80 && !heard; ++i) {
        ASSERT_TRUE(window_->WaitForFrames(1));
        const auto frame = window_->Frames().back();
        const int peak = static_cast<int>(std::max_element(frame.begin(), frame.end()) - frame.begin());
        heard = std::abs(peak - band) <= 3 && frame[peak] > 1200;
    }
    EXPECT_TRUE(heard) << "no frame peaked at 1 kHz";
}

TEST_F(AudioRecorderTest, SendsNothingBeforeTheStartSequenceAndStopsOnCommand) {
    StartRecorder();
    Command(kCommandConnect, 42);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(window_->Frames().empty()) << "frames before 3 and 1";
    Command(kCommandArm);
    Command(kCommandStartSending);
    ASSERT_TRUE(window_->WaitForFrames(3));
    // The colour comes as a short record once connected and after each change.
    Command(kCommandRed, 300);
    ASSERT_TRUE(window_->WaitForFrames(3));
    const auto records = window_->Records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back(), (std::vector<int32_t>{255, 0, 0, 0, 0, 0}));

    Command(kCommandStopSending);
    Command(kCommandDisarm);
    std::this_thread::sleep_for(100ms);
    const size_t stopped = window_->Frames().size();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(window_->Frames().size(), stopped);
    Command(kCommandQuit);
    EXPECT_EQ(ExitCode(), kExitDone);
    EXPECT_FALSE(FindWindow(RecorderClassName(), RecorderWindowName(), folder_ / "run"));
}

TEST_F(AudioRecorderTest, EndsWhenTheServerGoesAwayMidCapture) {
    StartRecorder();
    StartSequence();
    ASSERT_TRUE(window_->WaitForFrames(3));
    server_->Stop();
    EXPECT_EQ(ExitCode(), kExitServerLost);
    EXPECT_NE(errors_.str().find("went away"), std::string::npos) << errors_.str();
}

TEST_F(AudioRecorderTest, EndsWhenTheMainWindowGoesAway) {
    StartRecorder(1000);
    StartSequence();
    ASSERT_TRUE(window_->WaitForFrames(3));
    window_->Close();
    EXPECT_EQ(ExitCode(), kExitDone);
}

TEST_F(AudioRecorderTest, ASecondRecorderDoesNotStart) {
    StartRecorder();
    ASSERT_TRUE(Recorder());
    AudioRecorder second({.runtimeFolder = folder_ / "run"});
    std::ostringstream err;
    EXPECT_EQ(second.Run(err), kExitAlreadyRunning);
}

TEST(AudioRecorderWithoutServer, SaysSoAndFails) {
    const fs::path folder = fs::temp_directory_path() / ("q208-noserver-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
    setenv("PULSE_SERVER", ("unix:" + (folder / "nobody").string()).c_str(), 1);
    AudioRecorder recorder({.runtimeFolder = folder});
    std::ostringstream err;
    EXPECT_EQ(recorder.Run(err), kExitNoServer);
    EXPECT_NE(err.str().find("no audio server"), std::string::npos);
    unsetenv("PULSE_SERVER");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace q208::audio
