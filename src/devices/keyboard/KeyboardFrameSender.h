#pragma once

#include <cstdint>

#include "device/CDeviceCommands.h"
#include "devices/lighting/KeyColourBuffer.h"
#include "devices/keyboard/KeyboardMemory.h"
#include "devices/lighting/LightFrames.h"
#include "platform/Event.h"

namespace q208 {

// Sends the keyboard's live colour frame: 342 bytes built from the per-key colours through
// the table-to-LED map, streamed only while the effect is one the host renders (29, 30).
class KeyboardFrameSender {
public:
    static constexpr int kPatternEffect = 29;
    static constexpr int kHostColourEffect = 30;
    static constexpr int kFailurePauseMs = 200;

    KeyboardFrameSender(CDeviceCommands& commands, const KeyColourBuffer& colours, const KeyboardMemory& memory)
        : commands_(commands), colours_(colours), memory_(memory) {}

    static bool IsStreamed(int effect) { return effect == kPatternEffect || effect == kHostColourEffect; }

    void Build(LiveFrame& frame) const;
    // 1 when the effect is not streamed; else the StreamLightFrame result, after a failure
    // followed by a 200 ms pause (cut short when `stop` is set).
    int Send(int effect, const Event* stop = nullptr);

private:
    CDeviceCommands& commands_;
    const KeyColourBuffer& colours_;
    const KeyboardMemory& memory_;
    LiveFrame frame_{};
};

}  // namespace q208
