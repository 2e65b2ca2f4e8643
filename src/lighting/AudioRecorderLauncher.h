#pragma once

#include <filesystem>
#include <optional>

namespace q208 {

// Starts the music recorder program, q208-audio-record, which is installed beside q208
// (in the build tree it sits in the audio folder next to the app folder).
class AudioRecorderLauncher {
public:
    static constexpr const char* kProgramName = "q208-audio-record";
    // Between two starts at least this long, so a recorder that ends at once (no audio
    // server) is not started over and over.
    static constexpr int kRetryMs = 10000;

    // `executable` empty: the running program's.
    explicit AudioRecorderLauncher(std::filesystem::path executable = {});

    std::optional<std::filesystem::path> Program() const;
    // Starts it unless a start was tried less than kRetryMs ago; true when started.
    bool Launch(uint64_t nowMs);

private:
    std::filesystem::path executable_;
    std::optional<uint64_t> lastTryMs_;
};

}  // namespace q208
