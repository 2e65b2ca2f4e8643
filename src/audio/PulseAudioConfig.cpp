#include "audio/PulseAudioConfig.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <strings.h>
#include <algorithm>
#include <vector>

#include "audio/AudioProperties.h"
#include "audio/EqBandMap.h"
#include "platform/Trace.h"

namespace q208 {
namespace {

using namespace audioprop;
using Clock = std::chrono::steady_clock;

constexpr int kFailed = 1;
constexpr int kSliceUs = 20000;
constexpr int kLoopbackLatencyMs = 30;
constexpr const char* kEqPlugin = "mbeq_1197";
constexpr const char* kEqLabel = "mbeq";
constexpr const char* kBandsProperty = "q208.bands";

std::string Text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

double Db(pa_volume_t v) {
    const double db = pa_sw_volume_to_dB(v);
    return std::isfinite(db) ? db : -120.0;  // silence reads as the bottom of the scale
}

pa_volume_t VolumeOf(double scalar) {
    if (!(scalar >= 0)) scalar = 0;  // NaN as 0
    return static_cast<pa_volume_t>(std::lround(std::min(scalar, 1.5) * PA_VOLUME_NORM));
}

// Whether a device's properties carry the headset's USB ids (lower-case hex, four digits).
bool IsHeadset(const pa_proplist* p) {
    const char* vendor = pa_proplist_gets(p, PA_PROP_DEVICE_VENDOR_ID);
    const char* product = pa_proplist_gets(p, PA_PROP_DEVICE_PRODUCT_ID);
    if (!vendor || !product) return false;
    char want[8];
    std::snprintf(want, sizeof want, "%04x", PulseAudioConfig::kHeadsetVendor);
    if (strcasecmp(vendor, want) != 0) return false;
    std::snprintf(want, sizeof want, "%04x", PulseAudioConfig::kHeadsetProduct);
    return strcasecmp(product, want) == 0;
}

struct DeviceScan {
    std::string headsetSink, headsetSource, defaultSink, defaultSource;
    int pending = 0;
};

struct ModuleScan {
    uint32_t loopback = PA_INVALID_INDEX;
    uint32_t equaliser = PA_INVALID_INDEX;
    std::string equaliserSink;
    std::vector<int> bands;
    bool done = false;
};

void OnSuccess(pa_context*, int success, void* data) {
    auto* result = static_cast<std::pair<bool, bool>*>(data);
    *result = {true, success != 0};
}

}  // namespace

PulseAudioConfig::PulseAudioConfig(int timeoutMs)
    : timeoutMs_(timeoutMs), loopback_(PA_INVALID_INDEX), equaliser_(PA_INVALID_INDEX) {}

PulseAudioConfig::~PulseAudioConfig() { Disconnect(); }

// ---- the connection ----

bool PulseAudioConfig::RunUntil(const std::function<bool()>& done) {
    if (!loop_) return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
    while (!done()) {
        if (Clock::now() > deadline) return false;
        if (pa_mainloop_prepare(loop_, kSliceUs) < 0 || pa_mainloop_poll(loop_) < 0 ||
            pa_mainloop_dispatch(loop_) < 0)
            return false;
    }
    return true;
}

bool PulseAudioConfig::Connect() {
    Disconnect();
    loop_ = pa_mainloop_new();
    if (!loop_) return false;
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "q208");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "q208");
    context_ = pa_context_new_with_proplist(pa_mainloop_get_api(loop_), "q208", props);
    pa_proplist_free(props);
    // Never start a server of our own: the desktop runs one or there is none.
    if (!context_ || pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        Disconnect();
        return false;
    }
    const bool settled = RunUntil([this] {
        const pa_context_state_t s = pa_context_get_state(context_);
        return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
    });
    if (!settled || pa_context_get_state(context_) != PA_CONTEXT_READY) {
        Disconnect();
        return false;
    }
    ++generation_;
    loopback_ = equaliser_ = PA_INVALID_INDEX;
    equaliserSink_.clear();
    return true;
}

void PulseAudioConfig::Disconnect() {
    if (context_) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    if (loop_) {
        pa_mainloop_free(loop_);
        loop_ = nullptr;
    }
}

// Whether the connection still stands, after the events that arrived meanwhile.
bool PulseAudioConfig::Ready() {
    if (!context_) return false;
    int dispatched = 0;
    while ((dispatched = pa_mainloop_iterate(loop_, 0, nullptr)) > 0) {
    }
    if (dispatched < 0 || pa_context_get_state(context_) != PA_CONTEXT_READY) {
        Trace("audio: the sound server went away\n");
        Disconnect();
        return false;
    }
    return true;
}

bool PulseAudioConfig::Connected() { return Ready() || Connect(); }

bool PulseAudioConfig::Finish(pa_operation* op, const bool& ok) {
    if (!op) return false;
    const bool done = RunUntil([op] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; });
    if (!done) pa_operation_cancel(op);
    pa_operation_unref(op);
    return done && ok;
}

// ---- server requests ----

bool PulseAudioConfig::LoadModule(const char* name, const std::string& arguments, uint32_t& index) {
    struct Result {
        bool done = false;
        uint32_t index = PA_INVALID_INDEX;
    } result;
    pa_operation* op = pa_context_load_module(
        context_, name, arguments.c_str(),
        [](pa_context*, uint32_t idx, void* data) {
            auto* r = static_cast<Result*>(data);
            r->done = true;
            r->index = idx;
        },
        &result);
    const bool ok = true;
    if (!Finish(op, ok) || result.index == PA_INVALID_INDEX) {
        Trace("audio: loading %s %s failed\n", name, arguments.c_str());
        return false;
    }
    index = result.index;
    return true;
}

bool PulseAudioConfig::UnloadModule(uint32_t index) {
    std::pair<bool, bool> result{false, false};
    pa_operation* op = pa_context_unload_module(context_, index, OnSuccess, &result);
    return Finish(op, result.second);
}

bool PulseAudioConfig::SetDefaultSink(const std::string& name) {
    std::pair<bool, bool> result{false, false};
    pa_operation* op = pa_context_set_default_sink(context_, name.c_str(), OnSuccess, &result);
    return Finish(op, result.second);
}

std::string PulseAudioConfig::DefaultSink() {
    std::string name;
    pa_operation* op = pa_context_get_server_info(
        context_,
        [](pa_context*, const pa_server_info* info, void* data) {
            if (info && info->default_sink_name) *static_cast<std::string*>(data) = info->default_sink_name;
        },
        &name);
    const bool ok = true;
    Finish(op, ok);
    return name;
}

PulseAudioConfig::Level PulseAudioConfig::SourceLevel() {
    Level level;
    pa_operation* op = pa_context_get_source_info_by_name(
        context_, source_.c_str(),
        [](pa_context*, const pa_source_info* info, int eol, void* data) {
            if (eol || !info) return;
            auto* l = static_cast<Level*>(data);
            l->volume = pa_cvolume_avg(&info->volume);
            l->channels = info->volume.channels;
            l->mute = info->mute != 0;
            l->found = true;
        },
        &level);
    const bool ok = true;
    Finish(op, ok);
    return level;
}

bool PulseAudioConfig::SetSourceVolume(double scalar) {
    const Level level = SourceLevel();
    if (!level.found) return false;
    pa_cvolume volume;
    pa_cvolume_set(&volume, level.channels, VolumeOf(scalar));
    std::pair<bool, bool> result{false, false};
    pa_operation* op = pa_context_set_source_volume_by_name(context_, source_.c_str(), &volume, OnSuccess, &result);
    return Finish(op, result.second);
}

bool PulseAudioConfig::SetSourceMute(bool mute) {
    std::pair<bool, bool> result{false, false};
    pa_operation* op = pa_context_set_source_mute_by_name(context_, source_.c_str(), mute, OnSuccess, &result);
    return Finish(op, result.second);
}

// Our loopback and equaliser survive a restart of this program (not of the server): they
// are found again by the marks in their arguments.
bool PulseAudioConfig::FindOwnModules() {
    ModuleScan scan;
    pa_operation* op = pa_context_get_module_info_list(
        context_,
        [](pa_context*, const pa_module_info* info, int eol, void* data) {
            auto* s = static_cast<ModuleScan*>(data);
            if (eol) {
                s->done = true;
                return;
            }
            if (!info || !info->name || !info->argument) return;
            const std::string name = info->name, argument = info->argument;
            if (name == "module-loopback" && argument.find(kLoopbackMark) != std::string::npos) s->loopback = info->index;
            const auto at = argument.find(std::string("sink_name=") + kEqSinkPrefix);
            if (name == "module-ladspa-sink" && at != std::string::npos) {
                s->equaliser = info->index;
                const auto from = at + 10;
                s->equaliserSink = argument.substr(from, argument.find(' ', from) - from);
                const auto bands = argument.find(std::string(kBandsProperty) + "=");
                if (bands != std::string::npos) {
                    std::string list = argument.substr(bands + std::char_traits<char>::length(kBandsProperty) + 1);
                    list = list.substr(0, list.find_first_of(" \""));
                    s->bands.clear();
                    for (size_t at = 0; at <= list.size();) {
                        const size_t comma = std::min(list.find(',', at), list.size());
                        s->bands.push_back(std::atoi(list.substr(at, comma - at).c_str()));
                        at = comma + 1;
                    }
                }
            }
        },
        &scan);
    const bool ok = true;
    if (!Finish(op, ok)) return false;
    loopback_ = scan.loopback;
    equaliser_ = scan.equaliser;
    equaliserSink_ = scan.equaliserSink;
    eqOn_ = equaliser_ != PA_INVALID_INDEX;
    if (scan.bands.size() == bands_.size()) std::copy(scan.bands.begin(), scan.bands.end(), bands_.begin());
    ReadMonitorLevel();
    return true;
}

// The loopback's stream, as the server has it (index PA_INVALID_INDEX when there is none).
PulseAudioConfig::Stream PulseAudioConfig::MonitorStream() {
    Stream stream{loopback_};
    if (loopback_ == PA_INVALID_INDEX) return stream;
    pa_operation* op = pa_context_get_sink_input_info_list(
        context_,
        [](pa_context*, const pa_sink_input_info* info, int eol, void* data) {
            auto* s = static_cast<Stream*>(data);
            if (eol || !info || info->owner_module != s->owner) return;
            s->index = info->index;
            s->channels = info->volume.channels;
            s->volume = pa_cvolume_avg(&info->volume);
        },
        &stream);
    const bool ok = true;
    if (!Finish(op, ok)) stream.index = PA_INVALID_INDEX;
    return stream;
}

void PulseAudioConfig::ReadMonitorLevel() {
    const Stream stream = MonitorStream();
    if (stream.index != PA_INVALID_INDEX) monitorLevel_ = double(stream.volume) / PA_VOLUME_NORM;
}

bool PulseAudioConfig::ApplyMonitorLevel() {
    if (loopback_ == PA_INVALID_INDEX) return true;
    const Stream stream = MonitorStream();
    if (stream.index == PA_INVALID_INDEX) return false;
    pa_cvolume volume;
    pa_cvolume_set(&volume, stream.channels, VolumeOf(monitorLevel_));
    std::pair<bool, bool> result{false, false};
    pa_operation* op = pa_context_set_sink_input_volume(context_, stream.index, &volume, OnSuccess, &result);
    return Finish(op, result.second);
}

bool PulseAudioConfig::LoadMonitoring() {
    if (loopback_ != PA_INVALID_INDEX) return true;
    const std::string arguments = "source=" + source_ + " sink=" + sink_ +
                                  " latency_msec=" + std::to_string(kLoopbackLatencyMs) +
                                  " source_dont_move=true sink_dont_move=true"
                                  " sink_input_properties=media.name=" + kLoopbackMark;
    if (!LoadModule("module-loopback", arguments, loopback_)) return false;
    return ApplyMonitorLevel();
}

// The new equaliser is loaded first and made the default, then the old one goes: the
// streams on the old one move to the default as it is unloaded.
bool PulseAudioConfig::LoadEqualiser() {
    std::string controls;
    for (const double gain : EqBandMap::ToPlugin(bands_)) {
        if (!controls.empty()) controls += ',';
        controls += Text(gain);
    }
    const std::string name = std::string(kEqSinkPrefix) + "_" + std::to_string(nextEqName_++ % 2);
    std::string kept;
    for (const int gain : bands_) kept += (kept.empty() ? "" : ",") + std::to_string(gain);
    // The headset's own band values ride along, so a later session finds them again.
    const std::string arguments = "sink_name=" + name + " sink_properties=\"device.description=Q208-equaliser " +
                                  kBandsProperty + "=" + kept + "\" sink_master=" +
                                  sink_ + " plugin=" + kEqPlugin + " label=" + kEqLabel + " control=" + controls;
    uint32_t index = PA_INVALID_INDEX;
    if (!LoadModule("module-ladspa-sink", arguments, index)) return false;
    const std::string current = DefaultSink();
    if (equaliser_ == PA_INVALID_INDEX && !current.starts_with(kEqSinkPrefix)) defaultBeforeEq_ = current;
    if (!SetDefaultSink(name)) Trace("audio: the equaliser %s could not be made the default sink\n", name.c_str());
    if (equaliser_ != PA_INVALID_INDEX && !UnloadModule(equaliser_))
        Trace("audio: the previous equaliser (module %u) stayed loaded\n", equaliser_);
    equaliser_ = index;
    equaliserSink_ = name;
    return true;
}

bool PulseAudioConfig::UnloadEqualiser() {
    if (equaliser_ == PA_INVALID_INDEX) return true;
    const std::string back = defaultBeforeEq_.empty() ? sink_ : defaultBeforeEq_;
    if (DefaultSink() == equaliserSink_ && !SetDefaultSink(back)) SetDefaultSink(sink_);
    if (!UnloadModule(equaliser_)) return false;
    equaliser_ = PA_INVALID_INDEX;
    equaliserSink_.clear();
    return true;
}

// ---- the interface ----

int PulseAudioConfig::Init() {
    if (Ready() || Connect()) return 0;
    Trace("audio: no sound server reachable; the headset's audio settings are inactive\n");
    return kFailed;
}

int PulseAudioConfig::CreateDeviceList() {
    sink_.clear();
    source_.clear();
    if (!Ready()) return kFailed;
    DeviceScan scan;
    scan.pending = 3;
    auto onSink = [](pa_context*, const pa_sink_info* info, int eol, void* data) {
        auto* s = static_cast<DeviceScan*>(data);
        if (eol) {
            --s->pending;
            return;
        }
        if (info && s->headsetSink.empty() && IsHeadset(info->proplist)) s->headsetSink = info->name;
    };
    auto onSource = [](pa_context*, const pa_source_info* info, int eol, void* data) {
        auto* s = static_cast<DeviceScan*>(data);
        if (eol) {
            --s->pending;
            return;
        }
        // A sink's monitor carries the sink's ids too; the microphone is a source of its own.
        if (info && info->monitor_of_sink == PA_INVALID_INDEX && s->headsetSource.empty() &&
            IsHeadset(info->proplist))
            s->headsetSource = info->name;
    };
    auto onServer = [](pa_context*, const pa_server_info* info, void* data) {
        auto* s = static_cast<DeviceScan*>(data);
        if (info && info->default_sink_name) s->defaultSink = info->default_sink_name;
        if (info && info->default_source_name) s->defaultSource = info->default_source_name;
        --s->pending;
    };
    std::vector<pa_operation*> ops{pa_context_get_sink_info_list(context_, onSink, &scan),
                                   pa_context_get_source_info_list(context_, onSource, &scan),
                                   pa_context_get_server_info(context_, onServer, &scan)};
    const bool done = RunUntil([&scan] { return scan.pending <= 0; });
    for (pa_operation* op : ops) {
        if (!op) continue;
        if (!done) pa_operation_cancel(op);
        pa_operation_unref(op);
    }
    if (!done || !FindOwnModules()) return kFailed;
    sink_ = scan.headsetSink;
    source_ = scan.headsetSource;
    if (sink_.empty()) {
        // The default sink may be our own equaliser; the headset is then its master.
        sink_ = scan.defaultSink.starts_with(kEqSinkPrefix) ? defaultBeforeEq_ : scan.defaultSink;
        Trace("audio: no sink with the headset's USB ids %04x:%04x; using the default sink %s\n", kHeadsetVendor,
              kHeadsetProduct, sink_.c_str());
    }
    if (source_.empty()) {
        source_ = scan.defaultSource;
        Trace("audio: no source with the headset's USB ids %04x:%04x; using the default source %s\n",
              kHeadsetVendor, kHeadsetProduct, source_.c_str());
    }
    return 0;
}

int PulseAudioConfig::GetDeviceCount(int direction, int& count) {
    count = 0;
    if (!context_) return kFailed;
    if (direction == kPlayback) count = sink_.empty() ? 0 : 1;
    else if (direction == kRecording) count = source_.empty() ? 0 : 1;
    else return kFailed;
    return 0;
}

int PulseAudioConfig::GetDeviceById(int direction, int index, AudioDeviceRecord& record) {
    int count = 0;
    if (GetDeviceCount(direction, count) != 0 || index < 0 || index >= count) return kFailed;
    record = AudioDeviceRecord{direction, direction == kPlayback ? kTypePlayback : kTypeRecording, index, kStatePresent};
    return 0;
}

int PulseAudioConfig::PropertyControl(const AudioDeviceRecord& device, const std::string& p, AudioValue& value,
                                      int direction) {
    if (device.state != kStatePresent || (direction != kRead && direction != kWrite) || !Ready()) return kFailed;
    if (p == kSupportFeature && direction == kRead) {
        value.text = "0,0,0,0,0,0,0";  // none of the vendor's own sound features
        return 0;
    }
    if (device.type == kTypePlayback && !sink_.empty()) return Playback(p, value, direction);
    if (device.type == kTypeRecording && !source_.empty()) return Recording(p, value, direction);
    return kFailed;
}

int PulseAudioConfig::Playback(const std::string& p, AudioValue& value, int direction) {
    const bool write = direction == kWrite;
    if (p == kEqEnable) {
        if (!write) {
            value.number = eqOn_ ? 1 : 0;
            return 0;
        }
        const bool on = value.number != 0;
        if (!(on ? (eqOn_ || LoadEqualiser()) : UnloadEqualiser())) return kFailed;
        eqOn_ = on;
        return 0;
    }
    if (p.starts_with(kEqSliderPrefix)) {
        const int band = std::atoi(p.c_str() + std::char_traits<char>::length(kEqSliderPrefix));
        if (band < 1 || band > kEqBands || p != kEqSliderPrefix + std::to_string(band)) return kFailed;
        int& gain = bands_[static_cast<size_t>(band - 1)];
        if (!write) {
            value.number = gain;
            return 0;
        }
        const int old = gain;
        gain = static_cast<int>(std::lround(value.number));
        if (old == gain || !eqOn_ || LoadEqualiser()) return 0;
        gain = old;
        return kFailed;
    }
    return kFailed;  // surround and room effects: nothing on this server
}

int PulseAudioConfig::Recording(const std::string& p, AudioValue& value, int direction) {
    const bool write = direction == kWrite;
    if (p == kMicScalar || p == kMicDb || p == kMicMute) {
        if (write) {
            if (p == kMicMute) return SetSourceMute(value.number != 0) ? 0 : kFailed;
            const double scalar = p == kMicScalar ? value.number : pa_sw_volume_from_dB(value.number) / double(PA_VOLUME_NORM);
            return SetSourceVolume(scalar) ? 0 : kFailed;
        }
        const Level level = SourceLevel();
        if (!level.found) return kFailed;
        value.number = p == kMicMute ? (level.mute ? 1 : 0)
                       : p == kMicDb ? Db(level.volume)
                                     : double(level.volume) / PA_VOLUME_NORM;
        value.text = Text(value.number);
        return 0;
    }
    if (p == kMonitorScalar || p == kMonitorDb) {
        if (write) {
            monitorLevel_ = p == kMonitorScalar ? value.number : pa_sw_volume_from_dB(value.number) / double(PA_VOLUME_NORM);
            return ApplyMonitorLevel() ? 0 : kFailed;
        }
        value.number = p == kMonitorDb ? Db(VolumeOf(monitorLevel_)) : monitorLevel_;
        value.text = Text(value.number);
        return 0;
    }
    if (p == kMonitorMute) {
        if (!write) {
            value.number = loopback_ == PA_INVALID_INDEX ? 1 : 0;
            return 0;
        }
        if (value.number == 0) return LoadMonitoring() ? 0 : kFailed;
        if (loopback_ != PA_INVALID_INDEX && !UnloadModule(loopback_)) return kFailed;
        loopback_ = PA_INVALID_INDEX;
        return 0;
    }
    if (!write && (p == kMaxVol || p == kMonitorMaxVol)) value.number = Db(PA_VOLUME_NORM);
    else if (!write && (p == kMinVol || p == kMonitorMinVol)) value.number = Db(VolumeOf(0.01));
    else if (!write && (p == kVolStep || p == kMonitorVolStep)) value.number = -Db(VolumeOf(0.99));
    else return kFailed;  // noise cancelling and the voice effect: nothing on this server
    value.text = Text(value.number);
    return 0;
}

// ---- the program's backend ----

namespace {

// The audio side switched off: every call fails.
class NoAudioConfig : public IAudioConfig {
public:
    int Init() override { return kFailed; }
    int CreateDeviceList() override { return kFailed; }
    int GetDeviceCount(int, int& count) override {
        count = 0;
        return kFailed;
    }
    int GetDeviceById(int, int, AudioDeviceRecord&) override { return kFailed; }
    int PropertyControl(const AudioDeviceRecord&, const std::string&, AudioValue&, int) override { return kFailed; }
    bool Connected() override { return false; }
    uint64_t Generation() const override { return 0; }
    bool OffersVoiceEffects() const override { return false; }
};

}  // namespace

std::unique_ptr<IAudioConfig> MakeDefaultAudioConfig() {
    const char* choice = std::getenv("Q208_AUDIO");
    if (choice && std::string(choice) == "off") return std::make_unique<NoAudioConfig>();
    return std::make_unique<PulseAudioConfig>();
}

}  // namespace q208
