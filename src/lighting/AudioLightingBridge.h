#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "lighting/AudioBandReducer.h"
#include "lighting/AudioLightStyles.h"
#include "lighting/AudioRecorderLauncher.h"
#include "lighting/AudioRecorderLink.h"
#include "lighting/AudioRecorderWatch.h"
#include "platform/MessageEndpoint.h"

namespace q208 {

class CVantorixUSBDevice;

// The main window's music lighting: it talks to the recorder, turns the recorder's frames
// into band values for the keyboards, keeps the audio colour styles, and starts the
// recorder while a keyboard runs its music pattern (stopping the one it started when no
// keyboard does any more). Everything but the watch runs on the main window's thread.
class AudioLightingBridge {
public:
    struct Settings {
        std::filesystem::path runtimeFolder;  // empty: the user's
        std::filesystem::path userFolder;
        std::filesystem::path defaultFolder;
        std::filesystem::path executable;  // where the recorder is looked for; empty: ours
    };
    using ForEachDevice = std::function<void(const std::function<void(CVantorixUSBDevice&)>&)>;

    AudioLightingBridge(Settings settings, ForEachDevice forEachKeyboard);

    void SetWindow(uint64_t window) { window_ = window; }
    // The window is up: a recorder that runs already is connected and started.
    void Announce();
    // The program ends: the recorder is told to stop.
    void Shutdown();
    // A data block of the recorder (kinds 1 and 2; empty blocks are ignored).
    void OnCopyData(const EndpointMessage& message);
    // Called periodically with whether some keyboard runs the music pattern.
    void FollowMusicMode(bool wanted, uint64_t nowMs);

    const AudioLightInfo& Styles() const { return styles_; }
    // The music window's OK: stores the styles and sends the colour to the recorder.
    void ApplyStyles(const AudioLightInfo& styles);
    // A colour slider of the lighting page moved (0 red, 1 green, 2 blue).
    void OnSlider(int channel, int value) { link_.SendChannel(channel, value); }
    void SendColour() { link_.SendColour(styles_.Current(), window_); }

    AudioBandReducer& Reducer() { return reducer_; }
    AudioRecorderWatch& Watch() { return watch_; }
    const AudioRecorderLink& Link() const { return link_; }
    bool Connected() const { return connected_; }
    uint64_t FramesTaken() const { return framesTaken_; }

private:
    bool Connect();

    AudioRecorderLink link_;
    AudioLightStyles store_;
    AudioLightInfo styles_;
    AudioRecorderLauncher launcher_;
    AudioRecorderWatch watch_;
    AudioBandReducer reducer_;
    ForEachDevice forEachKeyboard_;
    uint64_t window_ = 0;
    bool connected_ = false;
    bool launchedByUs_ = false;
    uint64_t framesTaken_ = 0;
};

}  // namespace q208
