#pragma once

namespace q208 {

// When the pad page's preview runs a renderer step: after 8, 6, 4, 2 or 1 rounds of 1 ms for
// speed levels 0 … 4, in every mode. The preview thread sleeps those rounds in one wait.
class MousePadPreviewSchedule {
public:
    static constexpr int kRoundMs = 1;

    // Rounds per step of a speed level (levels outside 0 … 4 count as the nearest).
    static int Threshold(int speedLevel);
    // The wait before the next step.
    static int WaitMs(int speedLevel) { return Threshold(speedLevel) * kRoundMs; }
};

}  // namespace q208
