#include "devices/keyboard/KeyboardRenderer.h"

#include <algorithm>

#include "devices/keyboard/GridGeometry.h"

namespace q208 {

namespace {

constexpr int kWave1Spread = 7;         // wheel or curve steps between two columns, effect 1
constexpr int kWave2WheelSpread = 2;    // wheel steps between two columns, effect 2
constexpr int kWave2CurveSpread = 1;    // curve steps between two columns, effect 2
constexpr int kBreathingColumnSpread = 7;
constexpr int kStaticFirstRowIndex = 138;
constexpr int kStaticRowFall = 12;
constexpr int kStaticRestartIndex = 150;
constexpr int kReactiveRise = 15;
constexpr int kReactiveFall = 5;
constexpr int kWaveLayerColourStep = 7;
constexpr int kWaveLayerFadeMode = 1;
constexpr uint8_t kGridRowMask = (1u << kGridRows) - 1;

bool ValidRow(int row) { return row >= 0 && row < kKeyTableRows; }

}  // namespace

KeyboardRenderer::KeyboardRenderer(Clock clock, uint32_t seed)
    : LightRenderer(std::move(clock)), random_(seed ? seed : 1) {
    PrepareShared();
}

int KeyboardRenderer::Random(int bound) {
    // xorshift32: cheap, and a fixed seed makes the own effects repeatable in tests.
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return bound > 0 ? static_cast<int>(random_ % static_cast<uint32_t>(bound)) : 0;
}

Rgb KeyboardRenderer::ColourOr(int wheelIndex) const {
    if (Light().colourCycle) return WheelColour(wheelIndex);
    return {Light().red, Light().green, Light().blue};
}

KeyboardRenderer::PressState KeyboardRenderer::PressStateOf(int row) const {
    return ValidRow(row) ? press_[row] : PressState::Idle;
}

uint8_t KeyboardRenderer::WheelIndexOf(int row) const { return ValidRow(row) ? wheelIndex_[row] : 0; }

uint8_t KeyboardRenderer::WaveLayer(int layer, int column) const {
    if (layer < 0 || layer >= kWaveLayers || column < 0 || column >= kGridColumns) return 0;
    return waveLayers_[layer][column];
}

void KeyboardRenderer::FadeAll(int mode) {
    for (int key = 0; key < kKeyTableRows; ++key) KeyStates().FadeStep(key, mode);
}

// ---- preparation -------------------------------------------------------------------

void KeyboardRenderer::PrepareShared() {
    Animation() = AnimationState{};
    Animation().lastToggleTick = Now();
    KeyStates().ClearKeyStates();
    press_.fill(PressState::Idle);
    for (auto& layer : waveLayers_) layer.fill(0);
    for (auto& ripple : ripples_) ripple.radius = -1;
    drops_.fill(-1);
    heat_.fill(0);
    starRising_.fill(0);
    // Effect 10 starts as a rainbow across the columns; keys off the grid follow their row.
    for (int row = 0; row < kKeyTableRows; ++row) {
        const auto place = GridPositionOf(row);
        wheelIndex_[row] = static_cast<uint8_t>((place ? place->column * 8 : row * 8) % kWheelSteps);
    }
    steps_ = 0;
    scanPosition_ = 0;
    scanDirection_ = 1;
    snakeHead_ = {kGridColumns / 2, kGridRows / 2};
    snakeHeading_ = 0;
    snakeHue_ = 0;
    serpentineStep_ = 0;
}

void KeyboardRenderer::PrepareCustom() {
    // The custom slot shows the painted colours: only the animation restarts.
    Animation() = AnimationState{};
    KeyStates().ClearKeyStates();
    steps_ = 0;
}

// ---- waves 1 and 2 -----------------------------------------------------------------

void KeyboardRenderer::RenderWave(std::span<KeyColour> keys, bool firstKind) {
    const bool cycle = Light().colourCycle != 0;
    const int limit = cycle ? kWheelSteps : kWaveCurveSteps;
    auto& phase = Animation().phase;
    phase = StepPhase(Light().direction, static_cast<uint8_t>(limit), phase, 1);
    const int start = firstKind ? (phase + 1) % limit : phase;
    const uint8_t brightness = Brightness();
    std::array<KeyColour, kGridColumns> columns{};
    for (int column = 0; column < kGridColumns; ++column) {
        if (cycle) {
            const int spread = firstKind ? kWave1Spread : kWave2WheelSpread;
            columns[column] = Entry(WheelColour(start + column * spread), brightness);
        } else {
            const int spread = firstKind ? kWave1Spread : kWave2CurveSpread;
            const auto& curve = firstKind ? kWave1Curve : kWave2Curve;
            const uint8_t level = curve[(start + column * spread) % kWaveCurveSteps];
            columns[column] = Entry({Light().red, Light().green, Light().blue}, Scale(brightness, level));
        }
    }
    RenderOff(keys);
    for (const auto& place : GridKeys())
        if (place.key < keys.size()) keys[place.key] = columns[place.column];
}

void KeyboardRenderer::RenderWave1(std::span<KeyColour> keys) { RenderWave(keys, true); }
void KeyboardRenderer::RenderWave2(std::span<KeyColour> keys) { RenderWave(keys, false); }

// ---- breathing 4, static 5, colour cycle 10, custom 18, host colour 30 --------------

void KeyboardRenderer::RenderKeyboardBreathing(std::span<KeyColour> keys) {
    auto& phase = Animation().phase;
    phase = static_cast<uint8_t>(phase >= kBreathingSteps - 1 ? 0 : phase + 1);
    const uint8_t intensity = Scale(kBreathingCurve[phase], Brightness());
    RenderOff(keys);
    for (const auto& place : GridKeys())
        if (place.key < keys.size())
            keys[place.key] = Entry(ColourOr(kBreathingColumnSpread * place.column), intensity);
}

void KeyboardRenderer::RenderKeyboardStatic(std::span<KeyColour> keys) {
    if (!Light().colourCycle) {
        RenderStatic(keys);
        return;
    }
    RenderOff(keys);
    int wheelIndex = kStaticFirstRowIndex;
    for (int tableRow = 0; tableRow < kPositionTableSide; ++tableRow) {
        const KeyColour entry = Entry(WheelColour(wheelIndex), Brightness());
        for (int column = 0; column < kPositionTableSide; ++column) {
            const uint8_t key = PositionCellToKey(tableRow * kPositionTableSide + column);
            if (key < keys.size()) keys[key] = entry;
        }
        wheelIndex -= kStaticRowFall;
        if (wheelIndex < 0 || wheelIndex >= kWheelSteps) wheelIndex = kStaticRestartIndex;
    }
}

void KeyboardRenderer::RenderColourCycle(std::span<KeyColour> keys) {
    const uint8_t brightness = Brightness();
    for (size_t row = 0; row < keys.size() && row < kKeyTableRows; ++row) {
        if (!KeyboardKeyTable[row].hasKey) {
            keys[row] = {};
            continue;
        }
        auto& index = wheelIndex_[row];
        index = static_cast<uint8_t>(index + 1 >= kWheelSteps ? 0 : index + 1);
        keys[row] = Entry(kColourWheel[index], brightness);
    }
}

void KeyboardRenderer::RenderCustomSlot(std::span<KeyColour> keys) {
    const uint8_t brightness = Brightness();
    for (auto& key : keys) key.intensity = brightness;
}

void KeyboardRenderer::RenderHostColour(std::span<KeyColour> keys) {
    Fill(keys, hostColour_, Brightness());
}

// ---- reactive 6 and 25 -------------------------------------------------------------

void KeyboardRenderer::KeyReactive(int row, int kind) {
    if (!ValidRow(row) || (kind != kKeyPressed && kind != kKeyReleased)) return;
    press_[row] = kind == kKeyPressed ? PressState::Pressed : PressState::Fading;
    KeyStates().SetLevel(row, 255);
    wheelIndex_[row] = static_cast<uint8_t>(Random(kWheelSteps));
}

void KeyboardRenderer::KeyReactiveNeighbours(int row, int kind) {
    KeyReactive(row, kind);
    if (kind != kKeyPressed) return;
    const auto place = GridPositionOf(row);
    if (!place) return;
    // Neighbours light up gradually and then fade by themselves: they get no release.
    for (int dc = -1; dc <= 1; ++dc) {
        for (int dr = -1; dr <= 1; ++dr) {
            const uint8_t neighbour = GridKey(place->column + dc, place->row + dr);
            if (neighbour == kNoKey || neighbour == row || press_[neighbour] == PressState::Pressed)
                continue;
            press_[neighbour] = PressState::Neighbour;
            wheelIndex_[neighbour] = wheelIndex_[row];
        }
    }
}

void KeyboardRenderer::RenderReactive(std::span<KeyColour> keys) {
    int pressedCounted = 0;
    const uint8_t brightness = Brightness();
    for (int row = 0; row < kKeyTableRows; ++row) {
        const int level = KeyStates().Level(row);
        switch (press_[row]) {
            case PressState::Pressed:
                ++pressedCounted;
                if (level < 255)
                    KeyStates().SetLevel(row, static_cast<uint8_t>(std::min(255, level + kReactiveRise)));
                else if (pressedCounted > 1)
                    press_[row] = PressState::Fading;
                break;
            case PressState::Neighbour:
                if (level < 255)
                    KeyStates().SetLevel(row, static_cast<uint8_t>(std::min(255, level + kReactiveRise)));
                else
                    press_[row] = PressState::Fading;
                break;
            case PressState::Fading:
                KeyStates().SetLevel(row, static_cast<uint8_t>(std::max(0, level - kReactiveFall)));
                if (KeyStates().Level(row) == 0) press_[row] = PressState::Idle;
                break;
            case PressState::Idle:
                break;
        }
        if (static_cast<size_t>(row) < keys.size())
            keys[row] = Entry(ColourOr(wheelIndex_[row]), Scale(brightness, KeyStates().Level(row)));
    }
}

// ---- reactive 7: four wave layers --------------------------------------------------

void KeyboardRenderer::KeyWaveLayers(int row, int kind) {
    if (kind != kKeyPressed) return;
    const auto place = GridPositionOf(row);
    if (!place) return;
    for (auto& layer : waveLayers_) layer[place->column] |= static_cast<uint8_t>(1u << place->row);
    KeyStates().SetLevel(row, 255);
}

void KeyboardRenderer::RenderWaveLayers(std::span<KeyColour> keys) {
    AdvanceWaveLayers();
    const uint8_t brightness = Brightness();
    for (int row = 0; row < kKeyTableRows; ++row) {
        const uint8_t level = KeyStates().FadeStep(row, kWaveLayerFadeMode);
        auto& index = wheelIndex_[row];
        index = static_cast<uint8_t>((index + kWaveLayerColourStep) % kWheelSteps);
        if (static_cast<size_t>(row) < keys.size()) keys[row] = Entry(ColourOr(index), Scale(brightness, level));
    }
}

void KeyboardRenderer::AdvanceWaveLayers() {
    // Layer 0 runs right, layer 1 left, layer 2 down and layer 3 up from the pressed key.
    auto& right = waveLayers_[0];
    auto& left = waveLayers_[1];
    std::rotate(right.rbegin(), right.rbegin() + 1, right.rend());
    right[0] = 0;
    std::rotate(left.begin(), left.begin() + 1, left.end());
    left[kGridColumns - 1] = 0;
    for (auto& bits : waveLayers_[2]) bits = static_cast<uint8_t>((bits << 1) & kGridRowMask);
    for (auto& bits : waveLayers_[3]) bits = static_cast<uint8_t>(bits >> 1);
    for (int column = 0; column < kGridColumns; ++column) {
        uint8_t bits = 0;
        for (const auto& layer : waveLayers_) bits |= layer[column];
        for (int row = 0; bits != 0 && row < kGridRows; ++row)
            if (bits & (1u << row)) KeyStates().SetLevel(GridKey(column, row), 255);
    }
}

void KeyboardRenderer::FadeMusicWaves() {
    for (int row = 0; row < kKeyTableRows; ++row) KeyStates().FadeStep(row, kWaveLayerFadeMode);
}

}  // namespace q208
