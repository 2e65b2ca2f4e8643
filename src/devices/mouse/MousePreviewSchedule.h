#pragma once

#include <cstdint>

namespace q208 {

// When the mouse page's preview runs a renderer step: the preview counts changes of the
// millisecond clock (only those larger than 1 ms) and steps once the count reaches the
// threshold of the speed level. Modes without a renderer step on every pass.
class MousePreviewSchedule {
public:
    static constexpr int kStepModes = 11;  // modes 0 … 10 have a threshold (mode 9 excepted)
    static constexpr int kUnthresholdedMode = 9;

    static int Threshold(int speedLevel);
    // One pass at `tick`: true when the mode's renderer is due.
    bool Pass(uint32_t tick, int mode, int speedLevel);
    void Restart() { count_ = 0; }

private:
    uint32_t lastTick_ = 0;
    bool started_ = false;
    int count_ = 0;
};

}  // namespace q208
