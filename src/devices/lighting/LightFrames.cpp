#include "devices/lighting/LightFrames.h"

#include <algorithm>

namespace q208 {

namespace {

void OrNibble(CustomFrame& frame, int led, int value) {
    if (led < 0 || led >= kCustomFrameLeds || value < 0 || value > kMaxPaintNumber) return;
    const int shift = (led % 2) ? 4 : 0;
    frame[led / 2] = static_cast<uint8_t>(frame[led / 2] | (value << shift));
}

}  // namespace

const std::array<Rgb, 13> kDefaultPalette = {
    Rgb{255, 0, 0},   Rgb{255, 128, 0}, Rgb{255, 255, 0}, Rgb{128, 255, 0}, Rgb{0, 255, 0},
    Rgb{0, 255, 255}, Rgb{0, 128, 255}, Rgb{0, 0, 255},   Rgb{128, 0, 255}, Rgb{255, 0, 255},
    Rgb{255, 0, 128}, Rgb{255, 255, 255}, Rgb{255, 192, 128}};

int FindPaletteIndex(std::span<const Rgb> palette, Rgb colour) {
    const auto found = std::find(palette.begin(), palette.end(), colour);
    return found == palette.end() ? 0 : static_cast<int>(found - palette.begin());
}

void BuildLiveFrame(std::span<const KeyColour> colours, std::span<const uint8_t> tableToLed, LiveFrame& out) {
    out.fill(0);
    const size_t rows = std::min(colours.size(), tableToLed.size());
    for (size_t row = 0; row < rows; ++row) {
        const uint8_t led = tableToLed[row];
        if (led >= kLiveFrameLeds) continue;
        const KeyColour& c = colours[row];
        uint8_t* bytes = &out[led * 3];
        bytes[0] = static_cast<uint8_t>((unsigned{c.red} * c.intensity) >> 8);
        bytes[1] = static_cast<uint8_t>((unsigned{c.green} * c.intensity) >> 8);
        bytes[2] = static_cast<uint8_t>((unsigned{c.blue} * c.intensity) >> 8);
    }
}

LiveFrame BuildLiveFrame(std::span<const KeyColour> colours, std::span<const uint8_t> tableToLed) {
    LiveFrame frame;
    BuildLiveFrame(colours, tableToLed, frame);
    return frame;
}

CustomFrame BuildCustomFrame(std::span<const KeyColour> colours, std::span<const uint8_t> tableToLed,
                             std::span<const Rgb> palette, std::optional<PaintedKey> painted) {
    CustomFrame frame{};
    const size_t rows = std::min(colours.size(), tableToLed.size());
    for (size_t row = 0; row < rows; ++row) {
        const uint8_t led = tableToLed[row];
        if (led == kNoLed) continue;
        const KeyColour& c = colours[row];
        const int value = c.IsBlack() ? 0 : FindPaletteIndex(palette, {c.red, c.green, c.blue}) + 1;
        OrNibble(frame, led, value);
    }
    if (painted && painted->row >= 0 && static_cast<size_t>(painted->row) < tableToLed.size()) {
        const uint8_t led = tableToLed[painted->row];
        if (led != kNoLed) OrNibble(frame, led, painted->paintNumber);
    }
    return frame;
}

std::optional<CustomFrame> BuildUniformCustomFrame(int paintNumber) {
    if (paintNumber < 0 || paintNumber > kMaxPaintNumber) return std::nullopt;
    CustomFrame frame;
    frame.fill(static_cast<uint8_t>(paintNumber * 17));
    return frame;
}

}  // namespace q208
