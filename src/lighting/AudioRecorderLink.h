#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "lighting/AudioLightStyles.h"
#include "platform/EndpointMessaging.h"

namespace q208 {

// The main window's side of the conversation with the music recorder: finding it, the
// start and stop sequences, and the colour of the current audio style. With no recorder
// nothing is sent.
class AudioRecorderLink {
public:
    static constexpr int kCommandTimeoutMs = 500;
    static constexpr int kColourTimeoutMs = 1500;

    explicit AudioRecorderLink(std::filesystem::path runtimeFolder = {});

    std::optional<EndpointAddress> Find() const;
    // Connect with `window`, arm, start sending (0, 3, 1). False when no recorder answered.
    bool SendStart(uint64_t window) const;
    // Stop sending, disarm, end (2, 4, 5).
    bool SendStop() const;
    // A colour slider moved: channel 0 red, 1 green, 2 blue (commands 6, 7, 8).
    bool SendChannel(int channel, int value) const;
    // The colour block (kind 10, 40 bytes); a green of 0 goes as 1.
    bool SendColour(const AudioLightInfo::Colour& colour, uint64_t window) const;
    // Whether some recorder holds the presence lock.
    bool RecorderPresent() const;
    const std::filesystem::path& RuntimeFolder() const { return folder_; }

private:
    bool SendCommands(std::initializer_list<std::pair<uint64_t, int64_t>> commands) const;

    std::filesystem::path folder_;
};

}  // namespace q208
