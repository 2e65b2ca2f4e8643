#include "devices/lighting/LightSync.h"

#include <algorithm>

#include "devices/lighting/LightTables.h"

namespace q208 {

namespace {

using Effect = LightSync::Effect;

struct ModeRow {
    int kind;
    std::array<int, LightSync::kEffectCount> modeOfEffect;  // by effect type 0 … 4
};

// The mode each kind shows for breathing, static, flashing, spectrum and off. Pads and
// headsets number their modes alike.
constexpr std::array kModeRows{
    ModeRow{LightSync::kKindKeyboard, {4, 5, 23, 3, 19}},
    ModeRow{LightSync::kKindMouse, {1, 0, 10, 3, 6}},
    ModeRow{LightSync::kKindMousePad, {2, 3, 4, 1, 8}},
    ModeRow{LightSync::kKindHeadset, {2, 3, 4, 1, 8}},
};

const ModeRow* RowOf(int kind) {
    for (const ModeRow& row : kModeRows) {
        if (row.kind == kind) return &row;
    }
    return nullptr;
}

int Level(uint8_t level) { return std::min<int>(level, kLevelCount - 1); }

}  // namespace

void LightSync::Store(const Setting& s) {
    brightness_ = s.brightnessLevel;
    speed_ = s.speedLevel;
    direction_ = s.direction;
    multicolour_ = s.multicolour;
    colour_ = (uint32_t{s.red} << 16) | (uint32_t{s.green} << 8) | s.blue;
    effect_ = static_cast<uint8_t>(s.effect);
}

LightSync::Setting LightSync::Load() const {
    const uint32_t colour = colour_.load();
    Setting s;
    s.effect = static_cast<Effect>(std::min<int>(effect_.load(), kEffectCount - 1));
    s.brightnessLevel = brightness_;
    s.speedLevel = speed_;
    s.direction = direction_;
    s.multicolour = multicolour_;
    s.red = static_cast<uint8_t>(colour >> 16);
    s.green = static_cast<uint8_t>(colour >> 8);
    s.blue = static_cast<uint8_t>(colour);
    return s;
}

int LightSync::TicksPerStep() const { return kTicksByLevel[static_cast<size_t>(Level(speed_.load()))]; }

int LightSync::NextPhase(int phase, bool up) {
    if (up) return phase >= kBreathingPhases - 1 ? 0 : phase + 1;
    return phase <= 0 ? kBreathingPhases - 1 : phase - 1;
}

int LightSync::NextWheel(int index, int step) {
    const int next = index + step;
    return next >= kWheelSteps ? 0 : next;
}

uint32_t LightSync::ColourWord(uint8_t red, uint8_t green, uint8_t blue, uint8_t brightness) {
    return red | (uint32_t{green} << 8) | (uint32_t{blue} << 16) | (uint32_t{brightness} << 24);
}

uint32_t LightSync::Step(StepState& st, uint32_t nowMs) const {
    const Setting s = Load();
    const uint8_t level = BrightnessOf(s.brightnessLevel);
    const Rgb fixed{s.red, s.green, s.blue};
    switch (s.effect) {
    case Effect::Breathing: {
        st.phase = NextPhase(st.phase, s.direction != 0);
        // A new colour each time the light has gone dark.
        if (s.multicolour && st.phase < 2) st.wheel = NextWheel(st.wheel, kBreathingWheelStep);
        const Rgb c = s.multicolour ? kColourWheel[static_cast<size_t>(st.wheel)] : fixed;
        const int b = level * kBreathingCurve[static_cast<size_t>(st.phase)] / 256;
        return ColourWord(c.red, c.green, c.blue, static_cast<uint8_t>(b));
    }
    case Effect::Static: return ColourWord(s.red, s.green, s.blue, level);
    case Effect::Flashing: {
        const uint32_t period = uint32_t{kTicksByLevel[static_cast<size_t>(Level(s.speedLevel))]} * kFlashUnitMs;
        if (nowMs - st.lastFlashMs >= period) {
            st.flashOn = !st.flashOn;
            st.lastFlashMs = nowMs;
            st.flashWheel = NextWheel(st.flashWheel, kFlashWheelStep);
        }
        if (!st.flashOn) return 0;
        const Rgb c = s.multicolour ? kColourWheel[static_cast<size_t>(st.flashWheel)] : fixed;
        return ColourWord(c.red, c.green, c.blue, level);
    }
    case Effect::Spectrum: {
        st.wheel = NextWheel(st.wheel, 1);
        const Rgb c = kColourWheel[static_cast<size_t>(st.wheel)];
        return ColourWord(c.red, c.green, c.blue, level);
    }
    case Effect::Off: return 0;
    }
    return 0;
}

std::optional<LightSync::Effect> LightSync::EffectOfMode(int kind, int mode) {
    const ModeRow* row = RowOf(kind);
    if (!row) return std::nullopt;
    for (int type = 0; type < kEffectCount; ++type) {
        if (row->modeOfEffect[static_cast<size_t>(type)] == mode) return static_cast<Effect>(type);
    }
    return std::nullopt;
}

std::optional<int> LightSync::ModeOfEffect(int kind, Effect effect) {
    const ModeRow* row = RowOf(kind);
    if (!row) return std::nullopt;
    return row->modeOfEffect[static_cast<size_t>(effect)];
}

}  // namespace q208
