#include "devices/keyboard/KeyboardFrameSender.h"

#include <chrono>
#include <thread>

#include "device/DeviceResult.h"

namespace q208 {

void KeyboardFrameSender::Build(LiveFrame& frame) const {
    const auto tableToLed = memory_.TableToLedMap();
    colours_.Read([&](std::span<const KeyColour> keys) { BuildLiveFrame(keys, tableToLed, frame); });
}

int KeyboardFrameSender::Send(int effect, const Event* stop) {
    if (!IsStreamed(effect)) return kResultOk;
    Build(frame_);
    const int result = commands_.StreamLightFrame(frame_);
    if (result != kResultOk) {
        if (stop)
            stop->Wait(kFailurePauseMs);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(kFailurePauseMs));
    }
    return result;
}

}  // namespace q208
