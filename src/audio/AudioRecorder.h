#pragma once

#include <atomic>
#include <filesystem>
#include <iosfwd>
#include <optional>

#include "audio/RecorderControl.h"
#include "platform/EndpointMessaging.h"

namespace q208::audio {

// The recorder program: holds the presence lock, listens on its endpoint for the main
// window's commands, captures the desktop's sound and sends one level frame per hop to
// the main window while sending is on. It ends when told to (command 5 or a signal), when
// the main window is gone, or when the audio server goes away.
class AudioRecorder {
public:
    struct Options {
        std::filesystem::path runtimeFolder;  // empty: RuntimeFolder()
        // With no main window endpoint for this long the recorder ends.
        int noWindowExitMs = 5000;
        int sendTimeoutMs = 500;
    };

    explicit AudioRecorder(Options options);
    // The exit code (kExit…); what went wrong is written to `err`.
    int Run(std::ostream& err);
    // From a signal handler or another thread.
    void RequestQuit() { control_.RequestQuit(); }

private:
    enum class SendOutcome { Sent, WindowGone, Skipped };
    SendOutcome SendFrame(std::span<const int32_t> values, uint64_t kind);
    bool MainWindowPresent();

    Options options_;
    RecorderControl control_;
    std::optional<EndpointAddress> mainWindow_;
};

}  // namespace q208::audio
