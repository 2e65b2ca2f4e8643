#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace q208 {

// The sensor facts of the mouse's information block that turn DPI into the steps the
// mouse stores, and back. Two sensors have scales of their own; every other sensor counts
// `step` DPI per step from `minimum`.
struct MouseSensor {
    static constexpr uint16_t kCodeWideRange = 0x3325;    // 200 DPI per step above 5000
    static constexpr uint16_t kCodeDoubleRange = 0x8925;  // 50 DPI per step, doubled above 5000
    static constexpr size_t kInfoCode = 9;                // 16-bit little-endian
    static constexpr size_t kInfoStep = 11;
    static constexpr size_t kInfoMinimum = 14;  // 16-bit little-endian

    uint16_t code = kCodeWideRange;
    uint8_t step = 100;
    uint16_t minimum = 100;

    // The sensor of a 34-byte information block; none for a shorter one.
    static std::optional<MouseSensor> FromInfo(std::span<const uint8_t> info);
};

inline constexpr int kMaxDpiStep = 127;    // the stage slider's range
inline constexpr int kMaxDpiEdit = 12800;  // the stage edit's range
inline constexpr int kLowestDpi = 100;

// DPI to step with the sensor's integer arithmetic; D below 100 counts as 100. The step is
// kept within the slider's 0 … 127 (a DPI below the sensor's minimum gives 0).
int DpiToStep(const MouseSensor& sensor, int dpi);
// The DPI a step stands for.
int StepToDpi(const MouseSensor& sensor, int step);
// The DPI of an edit box's text: empty counts as "0", then below 100 as 100; text that is
// no number gives none.
std::optional<int> DpiOfEditText(std::string_view text);

}  // namespace q208
