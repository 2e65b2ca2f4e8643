#include "audio/PulseCapture.h"

#include <pulse/error.h>
#include <pulse/simple.h>

namespace q208::audio {

namespace {

// The server's special name for the monitor of whatever sink is the default one.
constexpr const char* kDefaultMonitor = "@DEFAULT_MONITOR@";

}  // namespace

struct PulseCapture::Stream {
    pa_simple* handle = nullptr;
    ~Stream() {
        if (handle) pa_simple_free(handle);
    }
};

PulseCapture::PulseCapture() = default;
PulseCapture::~PulseCapture() = default;

bool PulseCapture::Open(const std::string& applicationName, std::string& error) {
    Close();
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_FLOAT32LE;
    sampleFormat.rate = kSampleRate;
    sampleFormat.channels = kChannels;
    // A fragment of one hop keeps the sound-to-frame delay near one hop.
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.fragsize = static_cast<uint32_t>(kHopFrames * kChannels * sizeof(float));
    int code = 0;
    pa_simple* handle = pa_simple_new(nullptr, applicationName.c_str(), PA_STREAM_RECORD, kDefaultMonitor,
                                      "music lighting", &sampleFormat, nullptr, &attributes, &code);
    if (!handle) {
        error = pa_strerror(code);
        return false;
    }
    stream_ = std::make_unique<Stream>();
    stream_->handle = handle;
    interleaved_.assign(static_cast<size_t>(kHopFrames) * kChannels, 0.0f);
    return true;
}

bool PulseCapture::Read(std::vector<float>& mono, std::string& error) {
    if (!stream_) {
        error = "not open";
        return false;
    }
    int code = 0;
    if (pa_simple_read(stream_->handle, interleaved_.data(), interleaved_.size() * sizeof(float), &code) < 0) {
        error = pa_strerror(code);
        return false;
    }
    mono.resize(kHopFrames);
    for (int i = 0; i < kHopFrames; ++i) {
        mono[i] = 0.5f * (interleaved_[2 * i] + interleaved_[2 * i + 1]);
    }
    return true;
}

void PulseCapture::Close() { stream_.reset(); }

}  // namespace q208::audio
