#include "audio/RecorderControl.h"

#include <algorithm>
#include <cstring>

#include "audio/AudioRecorderIdentity.h"
#include "platform/Trace.h"

namespace q208::audio {

int64_t RecorderControl::OnMessage(const EndpointMessage& message) {
    if (message.isCopyData) {
        if (message.dwData != kColourBlockKind || message.data.size() < 3 * sizeof(int32_t)) return 0;
        std::array<int32_t, 3> rgb{};
        std::memcpy(rgb.data(), message.data.data(), sizeof(rgb));
        for (size_t channel = 0; channel < rgb.size(); ++channel) SetChannel(channel, rgb[channel]);
        return 1;
    }
    if (message.name != kRecorderCommandName) return 0;
    OnCommand(message.wParam, message.lParam);
    return 1;
}

void RecorderControl::OnCommand(uint64_t code, int64_t value) {
    switch (code) {
    case kCommandConnect:
        mainWindow_ = static_cast<uint64_t>(value);
        connected_ = true;
        colourChanged_ = true;  // the newly connected window hears the colour once
        break;
    case kCommandStartSending: sending_ = true; break;
    case kCommandStopSending: sending_ = false; break;
    case kCommandArm: armed_ = true; break;
    case kCommandDisarm: armed_ = false; break;
    case kCommandQuit: quit_ = true; break;
    case kCommandRed: SetChannel(0, value); break;
    case kCommandGreen: SetChannel(1, value); break;
    case kCommandBlue: SetChannel(2, value); break;
    default: Trace("audio recorder: unknown command %llu ignored\n", static_cast<unsigned long long>(code)); break;
    }
}

void RecorderControl::SetChannel(size_t channel, int64_t value) {
    const auto clamped = static_cast<int32_t>(std::clamp<int64_t>(value, 0, 255));
    if (colour_[channel].exchange(clamped) != clamped) colourChanged_ = true;
}

std::array<int32_t, 3> RecorderControl::Colour() const {
    return {colour_[0].load(), colour_[1].load(), colour_[2].load()};
}

}  // namespace q208::audio
