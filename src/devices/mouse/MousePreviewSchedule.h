#pragma once

#include <cstdint>

namespace q208 {

// When the mouse page's preview runs a renderer step: the preview counts changes of the
// millisecond clock (only those larger than 1 ms, so one count per 2 ms) and steps once the
// count reaches the threshold of the speed level. Modes without a renderer step on every
// pass. WaitMs tells the preview how long it may sleep before the next step is due, so it
// need not wake every millisecond to count.
class MousePreviewSchedule {
public:
    static constexpr int kStepModes = 11;  // modes 0 … 10 have a threshold (mode 9 excepted)
    static constexpr int kUnthresholdedMode = 9;

    static int Threshold(int speedLevel);
    // One pass at `tick`: true when the mode's renderer is due.
    bool Pass(uint32_t tick, int mode, int speedLevel);
    // Milliseconds from `tick` until a pass can step (at least 1).
    int WaitMs(uint32_t tick, int mode, int speedLevel) const;
    static constexpr int kUnthresholdedWaitMs = 16;  // those modes show a still colour
    void Restart() { count_ = 0; }

private:
    uint32_t lastTick_ = 0;
    bool started_ = false;
    int count_ = 0;
};

}  // namespace q208
