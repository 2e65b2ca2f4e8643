#include "audio/AudioRecorder.h"

#include <chrono>
#include <cstring>
#include <ostream>
#include <thread>
#include <vector>

#include "audio/LevelFrameBuilder.h"
#include "audio/PulseCapture.h"
#include "platform/MessageEndpoint.h"
#include "platform/SingleInstanceLock.h"
#include "platform/Trace.h"

namespace q208::audio {

namespace {

constexpr int kHopsPerSecond = PulseCapture::kSampleRate / PulseCapture::kHopFrames;
// A stream stuck in a read (a frozen server) must not keep a told-to-quit recorder alive.
constexpr auto kQuitGrace = std::chrono::seconds(2);

std::vector<uint8_t> Bytes(std::span<const int32_t> values) {
    std::vector<uint8_t> bytes(values.size_bytes());
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

}  // namespace

AudioRecorder::AudioRecorder(Options options) : options_(std::move(options)) {
    if (options_.runtimeFolder.empty()) options_.runtimeFolder = RuntimeFolder();
}

int AudioRecorder::Run(std::ostream& err) {
    if (options_.runtimeFolder.empty()) {
        err << "q208-audio-record: the runtime folder cannot be used: " << RuntimeFolderProblem() << '\n';
        return kExitNoEndpoint;
    }
    SingleInstanceLock presence(RecorderLockFile(options_.runtimeFolder));
    if (!presence.Acquire()) {
        err << "q208-audio-record: another recorder is running\n";
        return kExitAlreadyRunning;
    }
    PulseCapture capture;
    std::string error;
    if (!capture.Open("q208-audio-record", error)) {
        err << "q208-audio-record: no audio server to capture from: " << error << '\n';
        return kExitNoServer;
    }
    MessageEndpoint endpoint(RecorderClassName(), RecorderWindowName(),
                             MessageEndpoint::Handler([this](const EndpointMessage& m) { return control_.OnMessage(m); }),
                             MessageEndpoint::Options{.maxDataBytes = kColourBlockBytes, .folder = options_.runtimeFolder});
    if (!endpoint.Open()) {
        err << "q208-audio-record: its message endpoint could not be opened\n";
        return kExitNoEndpoint;
    }
    std::atomic<bool> finished{false};
    std::thread watchdog([this, &finished] {
        while (!finished && !control_.QuitRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto deadline = std::chrono::steady_clock::now() + kQuitGrace;
        while (!finished && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!finished) std::_Exit(kExitDone);
    });
    struct Join {
        std::atomic<bool>& finished;
        std::thread& thread;
        ~Join() {
            finished = true;
            thread.join();
        }
    } join{finished, watchdog};

    LevelFrameBuilder builder(PulseCapture::kSampleRate);
    std::vector<float> mono;
    int hops = 0;
    int missingWindowMs = 0;
    while (!control_.QuitRequested()) {
        if (!capture.Read(mono, error)) {
            err << "q208-audio-record: the audio server went away: " << error << '\n';
            return kExitServerLost;
        }
        builder.Push(mono);
        if (++hops % kHopsPerSecond == 0) {
            missingWindowMs = MainWindowPresent() ? 0 : missingWindowMs + 1000;
            if (missingWindowMs >= options_.noWindowExitMs) {
                Trace("audio recorder: no main window, ending\n");
                return kExitDone;
            }
        }
        if (!control_.Sending()) continue;
        if (control_.TakeColourChange()) {
            const auto rgb = control_.Colour();
            const std::array<int32_t, kShortRecordValues> record{rgb[0], rgb[1], rgb[2], 0, 0, 0};
            if (SendFrame(record, kShortRecordKind) == SendOutcome::WindowGone) return kExitDone;
        }
        const auto frame = builder.Build();
        if (SendFrame(frame, kLevelFrameKind) == SendOutcome::WindowGone) {
            Trace("audio recorder: the main window went away, ending\n");
            return kExitDone;
        }
    }
    return kExitDone;
}

bool AudioRecorder::MainWindowPresent() {
    mainWindow_ = FindWindow(kMainWindowClass, kMainWindowTitle, options_.runtimeFolder);
    return mainWindow_.has_value();
}

AudioRecorder::SendOutcome AudioRecorder::SendFrame(std::span<const int32_t> values, uint64_t kind) {
    if (!mainWindow_ && !MainWindowPresent()) return SendOutcome::WindowGone;
    const SendResult sent = SendCopyData(*mainWindow_, control_.MainWindow(), kind, Bytes(values), options_.sendTimeoutMs);
    if (sent.status == SendStatus::NoListener) {
        // Gone for good only if it has not come back under a new socket.
        return MainWindowPresent() ? SendOutcome::Skipped : SendOutcome::WindowGone;
    }
    if (!sent.Delivered()) Trace("audio recorder: frame not delivered (%s)\n", SendStatusText(sent.status));
    return sent.Delivered() ? SendOutcome::Sent : SendOutcome::Skipped;
}

}  // namespace q208::audio
