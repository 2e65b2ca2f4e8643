#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace q208 {

// One audio device as the configuration interface lists it: four 32-bit values, of which
// the device code uses the type (1 playback, 2 recording; other numbers for devices that
// are not the headset's own) and the state (1 present).
struct AudioDeviceRecord {
    int32_t id = -1;
    int32_t type = 0;
    int32_t index = 0;
    int32_t state = 0;
};

// A property value: a number (an integer, or the 0.0 … 1.0 scalar of a level), the same
// value as text for the reads that answer text (levels in dB, feature lists), and the
// channel a level applies to (−1 all channels).
struct AudioValue {
    double number = 0;
    std::string text;
    int32_t channel = -1;
};

// The audio settings of the headset's playback and recording devices, by property name
// and direction. Every call answers 0 on success and non-zero on failure; a property the
// audio server has no counterpart for fails.
class IAudioConfig {
public:
    static constexpr int kPlayback = 0;
    static constexpr int kRecording = 1;
    static constexpr int kRead = 0;
    static constexpr int kWrite = 1;
    static constexpr int kTypePlayback = 1;
    static constexpr int kTypeRecording = 2;
    static constexpr int kStatePresent = 1;

    virtual ~IAudioConfig() = default;

    virtual int Init() = 0;
    virtual int CreateDeviceList() = 0;
    virtual int GetDeviceCount(int direction, int& count) = 0;
    virtual int GetDeviceById(int direction, int index, AudioDeviceRecord& record) = 0;
    virtual int PropertyControl(const AudioDeviceRecord& device, const std::string& property, AudioValue& value,
                                int direction) = 0;

    // Whether the audio server is reachable now. A server that went away is tried again
    // here; each new connection counts up `Generation`, since the server then holds none
    // of the settings it was given before.
    virtual bool Connected() = 0;
    virtual uint64_t Generation() const = 0;
    // Whether the server offers a voice effect on the microphone's path.
    virtual bool OffersVoiceEffects() const = 0;
};

// The backend of the running program: PulseAudio (or a server speaking its protocol);
// Q208_AUDIO=off gives an interface whose calls all fail.
std::unique_ptr<IAudioConfig> MakeDefaultAudioConfig();

}  // namespace q208
