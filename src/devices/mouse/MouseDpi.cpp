#include "devices/mouse/MouseDpi.h"

#include <algorithm>
#include <charconv>

namespace q208 {
namespace {

// Above this DPI the two special sensors change scale.
constexpr int kScaleChangeDpi = 5000;
// 0x3325: steps 0 … 48 count `step` DPI each, every further step 200 DPI.
constexpr int kWideLowSteps = 48;
constexpr int kWideHighDpiPerStep = 200;
// 0x8925: 50 DPI per step from 50 DPI; from step 100 on, 100 DPI per step.
constexpr int kDoubleDpiPerStep = 50;
constexpr int kDoubleHighStep = 100;
constexpr int kDoubleHighDpiPerStep = 100;
constexpr int kDoubleHighOffset = 4900;

// An information block with a step of 0 (a mouse that has not said) would divide by zero;
// such a mouse counts one DPI per step.
int StepOf(const MouseSensor& sensor) {
    return std::max<int>(sensor.step, 1);
}

uint16_t Le16(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

}  // namespace

std::optional<MouseSensor> MouseSensor::FromInfo(std::span<const uint8_t> info) {
    if (info.size() < kInfoMinimum + 2) return std::nullopt;
    return MouseSensor{Le16(info, kInfoCode), info[kInfoStep], Le16(info, kInfoMinimum)};
}

int DpiToStep(const MouseSensor& sensor, int dpi) {
    const int d = std::max(dpi, kLowestDpi);
    const int minimum = sensor.minimum;
    int step = 0;
    switch (sensor.code) {
        case MouseSensor::kCodeWideRange:
            step = d > kScaleChangeDpi ? (d - minimum - kScaleChangeDpi) / kWideHighDpiPerStep + kWideLowSteps
                                       : (d - minimum) / StepOf(sensor);
            break;
        case MouseSensor::kCodeDoubleRange:
            step = d > kScaleChangeDpi ? (d / 2 - kDoubleDpiPerStep) / kDoubleDpiPerStep + kDoubleHighStep / 2
                                       : (d - kDoubleDpiPerStep) / kDoubleDpiPerStep;
            break;
        default:
            step = (d - minimum) / StepOf(sensor);
            break;
    }
    return std::clamp(step, 0, kMaxDpiStep);
}

int StepToDpi(const MouseSensor& sensor, int step) {
    const int minimum = sensor.minimum;
    switch (sensor.code) {
        case MouseSensor::kCodeWideRange:
            return step > kWideLowSteps
                       ? minimum + kWideLowSteps * StepOf(sensor) + kWideHighDpiPerStep * (step - kWideLowSteps)
                       : minimum + step * StepOf(sensor);
        case MouseSensor::kCodeDoubleRange:
            return step >= kDoubleHighStep ? kDoubleHighDpiPerStep * step - kDoubleHighOffset
                                           : kDoubleDpiPerStep * step + kDoubleDpiPerStep;
        default:
            return minimum + step * StepOf(sensor);
    }
}

std::optional<int> DpiOfEditText(std::string_view text) {
    if (text.empty()) text = "0";
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return std::max(value, kLowestDpi);
}

}  // namespace q208
