#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/MessageEndpoint.h"

namespace q208::audio {

// What the main window told the recorder: whether it is connected, whether frames should
// flow, the colour of the current audio style, and whether to end. Commands arrive on the
// endpoint's thread; the capture loop reads the state on its own.
class RecorderControl {
public:
    // Handles one message or data block of the endpoint; 1 when taken, 0 when not.
    int64_t OnMessage(const EndpointMessage& message);

    bool Connected() const { return connected_.load(); }
    // The main window's handle that came with the connect command.
    uint64_t MainWindow() const { return mainWindow_.load(); }
    // Frames flow once the capture is armed and sending started.
    bool Sending() const { return connected_.load() && armed_.load() && sending_.load(); }
    bool QuitRequested() const { return quit_.load(); }
    void RequestQuit() { quit_ = true; }

    // Red, green, blue (0 … 255) of the current style.
    std::array<int32_t, 3> Colour() const;
    // True once after each colour change.
    bool TakeColourChange() { return colourChanged_.exchange(false); }

private:
    void OnCommand(uint64_t code, int64_t value);
    void SetChannel(size_t channel, int64_t value);

    std::atomic<bool> connected_{false};
    std::atomic<uint64_t> mainWindow_{0};
    std::atomic<bool> armed_{false};
    std::atomic<bool> sending_{false};
    std::atomic<bool> quit_{false};
    std::array<std::atomic<int32_t>, 3> colour_{};
    std::atomic<bool> colourChanged_{false};
};

}  // namespace q208::audio
