#pragma once

#include <memory>
#include <string>
#include <vector>

namespace q208::audio {

// What the desktop plays, read from the monitor source of the audio server's default
// sink (PipeWire desktops serve the same protocol). Reads block until one hop of sound has
// arrived, so the reader is paced by the audio clock and never spins.
class PulseCapture {
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;
    // 1200 sample frames: 25 ms, 40 level frames a second.
    static constexpr int kHopFrames = 1200;

    PulseCapture();
    ~PulseCapture();
    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    // Connects to the server (PULSE_SERVER, else the user's) and opens the stream; false
    // with the server's reason.
    bool Open(const std::string& applicationName, std::string& error);
    bool IsOpen() const { return stream_ != nullptr; }
    // One hop, mixed down to mono. False when the server went away or the stream broke.
    bool Read(std::vector<float>& mono, std::string& error);
    void Close();

private:
    struct Stream;
    std::unique_ptr<Stream> stream_;
    std::vector<float> interleaved_;
};

}  // namespace q208::audio
