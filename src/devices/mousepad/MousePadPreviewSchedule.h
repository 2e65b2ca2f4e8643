#pragma once

namespace q208 {

// When the pad page's preview runs a renderer step: the preview thread counts its rounds
// (one per 1 ms wait) and steps once the count reaches the threshold of the speed level,
// 8, 6, 4, 2, 1 rounds for levels 0 … 4 in every mode.
class MousePadPreviewSchedule {
public:
    static int Threshold(int speedLevel);
    // One round; true when the renderer is due (the count then starts again).
    bool Round(int speedLevel);

private:
    int count_ = 0;
};

}  // namespace q208
