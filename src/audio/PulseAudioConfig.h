#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "audio/IAudioConfig.h"

struct pa_context;
struct pa_mainloop;
struct pa_operation;

namespace q208 {

// The headset's audio settings on a PulseAudio server (pipewire-pulse serves the same
// protocol). The headset's playback and recording devices are the sink and the source
// that carry its USB ids; without them the default sink and source stand in.
//
// - microphone level and mute: the source's volume (the scalar is the server's volume
//   fraction, 1.0 = 100 %) and mute;
// - monitoring: a loopback module from the source to the sink; unmuted = loaded, its level
//   the loopback stream's volume;
// - equaliser: a LADSPA sink with the multiband equaliser in front of the headset's sink,
//   the default sink while on; a band change loads the new equaliser beside the old one,
//   makes it the default and unloads the old one, so playing streams move over;
// - surround, room effects, noise cancelling and the voice effect have no counterpart and
//   fail.
//
// Every call runs the client's main loop on the calling thread for a bounded time, so a
// server that hangs costs at most the time-out; a server that went away fails every call
// until `Connected` reaches it again.
class PulseAudioConfig : public IAudioConfig {
public:
    static constexpr uint16_t kHeadsetVendor = 0x2A91;
    static constexpr uint16_t kHeadsetProduct = 0x3E48;
    static constexpr const char* kEqSinkPrefix = "q208_equaliser";
    static constexpr const char* kLoopbackMark = "q208_monitoring";

    explicit PulseAudioConfig(int timeoutMs = 2000);
    ~PulseAudioConfig() override;
    PulseAudioConfig(const PulseAudioConfig&) = delete;
    PulseAudioConfig& operator=(const PulseAudioConfig&) = delete;

    int Init() override;
    int CreateDeviceList() override;
    int GetDeviceCount(int direction, int& count) override;
    int GetDeviceById(int direction, int index, AudioDeviceRecord& record) override;
    int PropertyControl(const AudioDeviceRecord& device, const std::string& property, AudioValue& value,
                        int direction) override;
    bool Connected() override;
    uint64_t Generation() const override { return generation_; }
    bool OffersVoiceEffects() const override { return false; }

    const std::string& SinkName() const { return sink_; }
    const std::string& SourceName() const { return source_; }

private:
    struct Level {
        uint32_t volume = 0;  // average over the channels
        uint8_t channels = 0;
        bool mute = false;
        bool found = false;
    };

    struct Stream {
        uint32_t owner;
        uint32_t index = UINT32_MAX;
        uint8_t channels = 0;
        uint32_t volume = 0;
    };

    Stream MonitorStream();
    void ReadMonitorLevel();
    bool Connect();
    void Disconnect();
    bool Ready();
    bool RunUntil(const std::function<bool()>& done);
    bool Finish(pa_operation* op, const bool& ok);
    bool LoadModule(const char* name, const std::string& arguments, uint32_t& index);
    bool UnloadModule(uint32_t index);
    bool SetDefaultSink(const std::string& name);
    std::string DefaultSink();
    Level SourceLevel();
    bool SetSourceVolume(double scalar);
    bool SetSourceMute(bool mute);
    bool FindOwnModules();
    bool ApplyMonitorLevel();
    bool LoadMonitoring();
    bool LoadEqualiser();
    bool UnloadEqualiser();
    int Playback(const std::string& p, AudioValue& value, int direction);
    int Recording(const std::string& p, AudioValue& value, int direction);

    int timeoutMs_;
    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    uint64_t generation_ = 0;
    std::string sink_;
    std::string source_;
    uint32_t loopback_;
    uint32_t equaliser_;
    std::string equaliserSink_;
    std::string defaultBeforeEq_;
    int nextEqName_ = 0;
    double monitorLevel_ = 0.5;
    bool eqOn_ = false;
    std::array<int, 10> bands_{};
};

}  // namespace q208
