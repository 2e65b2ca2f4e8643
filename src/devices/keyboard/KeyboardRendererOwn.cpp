// The keyboard's own effects (8, 9, 11 … 17, 21, 22, 24, 28, 33) and the seven host
// patterns of effect 29. Each paints the grid keys; keys off the grid stay dark.
#include <algorithm>

#include "devices/keyboard/GridGeometry.h"
#include "devices/keyboard/KeyboardRenderer.h"

namespace q208 {

namespace {

constexpr int kFadeSteady = 0;
constexpr int kFadeQuick = 1;
constexpr int kFadeSlow = 2;
constexpr int kRippleStep = 3;             // quarter cells per step
constexpr int kRippleWidth = 6;            // quarter cells of the bright ring
constexpr int kRippleLifetime = 4 * 24;    // quarter cells: past the far edge of the grid
constexpr int kFireCooling = 40;
constexpr int kStarBirthChance = 3;        // one new star in this many steps
constexpr int kStarRise = 24;
constexpr int kSnakeTurnChance = 5;
constexpr int kPatternMsPerStep = 16;      // effect 29 runs every pass: its patterns follow the clock

uint8_t Clamp255(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

// Black → red → orange → yellow → white over heat 0 … 255.
Rgb HeatColour(uint8_t heat) {
    if (heat < 96) return {Clamp255(heat * 8 / 3), 0, 0};
    if (heat < 192) return {255, Clamp255((heat - 96) * 8 / 3), 0};
    return {255, 255, Clamp255((heat - 192) * 4)};
}

}  // namespace

template <typename ColourOf>
void KeyboardRenderer::PaintLevels(std::span<KeyColour> keys, ColourOf colourOf) {
    RenderOff(keys);
    const uint8_t brightness = Brightness();
    for (const auto& place : GridKeys())
        if (place.key < keys.size())
            keys[place.key] = Entry(colourOf(place), Scale(brightness, KeyStates().Level(place.key)));
}

// ---- 8: ripples from key presses ---------------------------------------------------

void KeyboardRenderer::KeyRipple(int row, int kind) {
    if (kind != kKeyPressed) return;
    const auto place = GridPositionOf(row);
    if (!place) return;
    // Take a free ripple, else the widest (oldest) one.
    auto slot = std::max_element(ripples_.begin(), ripples_.end(), [](const Ripple& a, const Ripple& b) {
        const int ra = a.radius < 0 ? 1 << 20 : a.radius;
        const int rb = b.radius < 0 ? 1 << 20 : b.radius;
        return ra < rb;
    });
    *slot = Ripple{place->column, place->row, 0, static_cast<uint8_t>(Random(kWheelSteps))};
    KeyStates().SetLevel(row, 255);
}

void KeyboardRenderer::RenderRipples(std::span<KeyColour> keys) {
    for (auto& ripple : ripples_) {
        if (ripple.radius < 0) continue;
        ripple.radius += kRippleStep;
        if (ripple.radius > kRippleLifetime) ripple.radius = -1;
    }
    FadeAll(kFadeQuick);
    std::array<uint8_t, kKeyTableRows> hue{};
    for (const auto& place : GridKeys()) {
        int best = KeyStates().Level(place.key);
        for (const auto& ripple : ripples_) {
            if (ripple.radius < 0) continue;
            const int off = std::abs(DistanceQuarters(place.column, place.row, ripple.column, ripple.row) - ripple.radius);
            if (off >= kRippleWidth) continue;
            // Bright in the ring's middle, weaker as the ring spreads.
            const int level = (255 - off * 255 / kRippleWidth) * (kRippleLifetime - ripple.radius) / kRippleLifetime;
            if (level > best) {
                best = level;
                hue[place.key] = ripple.wheelIndex;
            }
        }
        KeyStates().SetLevel(place.key, Clamp255(best));
    }
    PaintLevels(keys, [&](const GridKeyPlace& p) { return ColourOr(hue[p.key]); });
}

// ---- 9: a bar scanning back and forth with a trail ---------------------------------

void KeyboardRenderer::RenderScanner(std::span<KeyColour> keys) {
    FadeAll(kFadeQuick);
    scanPosition_ += scanDirection_;
    if (scanPosition_ <= 0 || scanPosition_ >= kGridColumns - 1) {
        scanPosition_ = std::clamp(scanPosition_, 0, kGridColumns - 1);
        scanDirection_ = -scanDirection_;
    }
    for (int row = 0; row < kGridRows; ++row) KeyStates().SetLevel(GridKey(scanPosition_, row), 255);
    PaintLevels(keys, [&](const GridKeyPlace& p) { return ColourOr(p.column * 8); });
}

// ---- 11: sine plasma ---------------------------------------------------------------

void KeyboardRenderer::RenderPlasma(std::span<KeyColour> keys) {
    const int t = static_cast<int>(++steps_);
    RenderOff(keys);
    const uint8_t brightness = Brightness();
    for (const auto& p : GridKeys()) {
        const int value = SineByte(p.column * 14 + t * 3) + SineByte(p.row * 37 - t * 2) +
                          SineByte((p.column + p.row) * 9 + t * 5);  // 0 … 765
        // The plasma's hue follows its value; without colour cycle it shapes the fixed colour.
        const KeyColour entry =
            Light().colourCycle
                ? Entry(WheelColour(value / 4 + t), brightness)
                : Entry(ColourOr(0), Scale(brightness, Clamp255(32 + value * 223 / 765)));
        if (p.key < keys.size()) keys[p.key] = entry;
    }
}

// ---- 12: rain falling down the columns ---------------------------------------------

void KeyboardRenderer::PrepareRain() {
    PrepareShared();
    for (int i = 0; i < 4; ++i) drops_[Random(kGridColumns)] = static_cast<int8_t>(Random(kGridRows));
}

void KeyboardRenderer::RenderRain(std::span<KeyColour> keys) {
    ++steps_;
    FadeAll(kFadeSteady);
    for (int column = 0; column < kGridColumns; ++column) {
        auto& head = drops_[column];
        if (head < 0) continue;
        KeyStates().SetLevel(GridKey(column, head), 255);
        head = static_cast<int8_t>(head + 1 < kGridRows ? head + 1 : -1);
    }
    if (Random(2) == 0) {
        const int column = Random(kGridColumns);
        if (drops_[column] < 0) drops_[column] = 0;
    }
    PaintLevels(keys, [&](const GridKeyPlace& p) { return ColourOr(p.column * 8 + static_cast<int>(steps_)); });
}

// ---- 13: twinkling stars -----------------------------------------------------------

void KeyboardRenderer::PrepareStars() {
    PrepareShared();
    for (const auto& place : GridKeys()) {
        if (Random(6) != 0) continue;
        KeyStates().SetLevel(place.key, static_cast<uint8_t>(Random(256)));
        starRising_[place.key] = static_cast<uint8_t>(Random(2));
        wheelIndex_[place.key] = static_cast<uint8_t>(Random(kWheelSteps));
    }
}

void KeyboardRenderer::RenderStars(std::span<KeyColour> keys) {
    for (const auto& place : GridKeys()) {
        const int key = place.key;
        if (starRising_[key]) {
            const int level = KeyStates().Level(key) + kStarRise;
            KeyStates().SetLevel(key, Clamp255(level));
            if (level >= 255) starRising_[key] = 0;
        } else {
            KeyStates().FadeStep(key, kFadeSlow);
        }
    }
    if (Random(kStarBirthChance) == 0) {
        const auto grid = GridKeys();
        const int key = grid[Random(static_cast<int>(grid.size()))].key;
        if (KeyStates().Level(key) == 0) {
            starRising_[key] = 1;
            wheelIndex_[key] = static_cast<uint8_t>(Random(kWheelSteps));
        }
    }
    PaintLevels(keys, [&](const GridKeyPlace& p) { return ColourOr(wheelIndex_[p.key]); });
}

// ---- 14: fire rising from the bottom row -------------------------------------------

void KeyboardRenderer::PrepareFire() {
    PrepareShared();
    heat_.fill(0);
}

void KeyboardRenderer::RenderFire(std::span<KeyColour> keys) {
    ++steps_;
    constexpr int bottom = kGridRows - 1;
    for (int column = 0; column < kGridColumns; ++column)
        heat_[GridCell(column, bottom)] = static_cast<uint8_t>(140 + Random(116));
    // Each cell takes the heat of the cells below it, cooled by a random amount.
    for (int row = 0; row < bottom; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            const int left = heat_[GridCell(std::max(column - 1, 0), row + 1)];
            const int below = heat_[GridCell(column, row + 1)];
            const int right = heat_[GridCell(std::min(column + 1, kGridColumns - 1), row + 1)];
            const int rising = (left + 2 * below + right) / 4;
            heat_[GridCell(column, row)] = Clamp255(rising - Random(kFireCooling));
        }
    }
    RenderOff(keys);
    const uint8_t brightness = Brightness();
    for (const auto& p : GridKeys()) {
        const uint8_t heat = heat_[GridCell(p.column, p.row)];
        Rgb colour = HeatColour(heat);
        if (Light().colourCycle) {
            // A fire whose hue drifts slowly around the wheel.
            const Rgb hue = WheelColour(static_cast<int>(steps_ / 4));
            colour = {Scale(hue.red, heat), Scale(hue.green, heat), Scale(hue.blue, heat)};
        }
        if (p.key < keys.size()) keys[p.key] = Entry(colour, brightness);
    }
}

// ---- 15: marquee running on the ring -----------------------------------------------

void KeyboardRenderer::PrepareMarquee() {
    PrepareShared();
    // Two comets, bright head first.
    constexpr uint8_t comet[] = {255, 190, 130, 80, 40};
    for (int i = 0; i < 5; ++i) {
        KeyStates().SetRingByte(4 - i, comet[i]);
        KeyStates().SetRingByte(15 - i, comet[i]);
    }
}

void KeyboardRenderer::RenderMarquee(std::span<KeyColour> keys) {
    ++steps_;
    KeyStates().RotateRing(Light().direction != 0);
    FadeAll(kFadeQuick);
    KeyStates().MarkRing();  // the top-left keys flash as the comets pass
    // Each ring position lights its grid column.
    for (const auto& p : GridKeys())
        KeyStates().SetLevel(p.key, std::max(KeyStates().Level(p.key), KeyStates().RingByte(p.column)));
    PaintLevels(keys, [&](const GridKeyPlace& p) { return ColourOr(p.column * 8 + static_cast<int>(steps_)); });
}

// ---- 16: a beam spinning around the centre -----------------------------------------

void KeyboardRenderer::RenderSpin(std::span<KeyColour> keys) {
    auto& rotor = Animation().phase;
    rotor = StepPhase(Light().direction, kWheelSteps, rotor, 3);
    RenderOff(keys);
    const uint8_t brightness = Brightness();
    for (const auto& p : GridKeys()) {
        const int angle = CentreAngleStep(p.column, p.row);
        KeyColour entry;
        if (Light().colourCycle) {
            entry = Entry(WheelColour(angle + rotor), brightness);
        } else {
            int apart = std::abs(angle - rotor);
            apart = std::min(apart, kWheelSteps - apart);  // 0 … 96
            entry = Entry(ColourOr(0), Scale(brightness, Clamp255(255 - apart * 5)));
        }
        if (p.key < keys.size()) keys[p.key] = entry;
    }
}

// ---- 17: checkerboard cross-fade ---------------------------------------------------

void KeyboardRenderer::RenderChecker(std::span<KeyColour> keys) {
    auto& phase = Animation().phase;
    phase = StepPhase(1, kBreathingSteps, phase, 2);
    if (phase == 0) Animation().colourIndex = static_cast<uint8_t>((Animation().colourIndex + 24) % kWheelSteps);
    const uint8_t even = kBreathingCurve[phase];
    const uint8_t odd = kBreathingCurve[(phase + kBreathingSteps / 2) % kBreathingSteps];
    const int hue = Animation().colourIndex;
    RenderOff(keys);
    const uint8_t brightness = Brightness();
    for (const auto& p : GridKeys()) {
        const bool isEven = (p.column + p.row) % 2 == 0;
        const Rgb colour = ColourOr(isEven ? hue : hue + kWheelSteps / 2);
        if (p.key < keys.size()) keys[p.key] = Entry(colour, Scale(brightness, isEven ? even : odd));
    }
}

// ---- 21: rings pulsing out of the centre -------------------------------------------

void KeyboardRenderer::RenderPulse(std::span<KeyColour> keys) {
    const int t = static_cast<int>(++steps_) * (Light().direction != 0 ? 1 : -1);
    RenderOff(keys);
    const uint8_t brightness = Brightness();
    for (const auto& p : GridKeys()) {
        const int distance = CentreDistanceQuarters(p.column, p.row);
        const uint8_t wave = SineByte(distance * 12 - t * 8);
        const uint8_t level = Clamp255((wave - 60) * 255 / 195);
        if (p.key < keys.size()) keys[p.key] = Entry(ColourOr(distance * 2 + t), Scale(brightness, level));
    }
}

// ---- 22: confetti ------------------------------------------------------------------

void KeyboardRenderer::RenderConfetti(std::span<KeyColour> keys) {
    FadeAll(kFadeSteady);
    const auto grid = GridKeys();
    for (int i = 0; i < 2; ++i) {
        const int key = grid[Random(static_cast<int>(grid.size()))].key;
        KeyStates().SetLevel(key, 255);
        wheelIndex_[key] = static_cast<uint8_t>(Random(kWheelSteps));
    }
    // Confetti is always many-coloured; without colour cycle it stays near the fixed colour.
    PaintLevels(keys, [&](const GridKeyPlace& p) {
        if (Light().colourCycle) return WheelColour(wheelIndex_[p.key]);
        const Rgb tint = WheelColour(wheelIndex_[p.key]);
        return Rgb{static_cast<uint8_t>((Light().red * 3 + tint.red) / 4),
                   static_cast<uint8_t>((Light().green * 3 + tint.green) / 4),
                   static_cast<uint8_t>((Light().blue * 3 + tint.blue) / 4)};
    });
}

// ---- 24: a snake wandering over the grid -------------------------------------------

void KeyboardRenderer::RenderSnake(std::span<KeyColour> keys) {
    constexpr int dc[] = {1, 0, -1, 0};
    constexpr int dr[] = {0, 1, 0, -1};
    if (Random(kSnakeTurnChance) == 0) snakeHeading_ = (snakeHeading_ + (Random(2) ? 1 : 3)) % 4;
    for (int tries = 0; tries < 4; ++tries) {
        const int column = snakeHead_.column + dc[snakeHeading_];
        const int row = snakeHead_.row + dr[snakeHeading_];
        if (column >= 0 && column < kGridColumns && row >= 0 && row < kGridRows) {
            snakeHead_ = {column, row};
            break;
        }
        snakeHeading_ = (snakeHeading_ + 1) % 4;
    }
    FadeAll(kFadeQuick);
    const uint8_t head = GridKey(snakeHead_.column, snakeHead_.row);
    if (head != kNoKey) {
        KeyStates().SetLevel(head, 255);
        wheelIndex_[head] = snakeHue_;
    }
    snakeHue_ = static_cast<uint8_t>((snakeHue_ + 5) % kWheelSteps);
    PaintLevels(keys, [&](const GridKeyPlace& p) { return ColourOr(wheelIndex_[p.key]); });
}

// ---- 28: rows breathing one after the other ----------------------------------------

void KeyboardRenderer::RenderRowBreathing(std::span<KeyColour> keys) {
    auto& phase = Animation().phase;
    phase = StepPhase(Light().direction, kBreathingSteps, phase, 1);
    if (phase == 0) Animation().colourIndex = static_cast<uint8_t>((Animation().colourIndex + 16) % kWheelSteps);
    RenderOff(keys);
    const uint8_t brightness = Brightness();
    for (const auto& p : GridKeys()) {
        const uint8_t level = kBreathingCurve[(phase + p.row * 21) % kBreathingSteps];
        if (p.key < keys.size())
            keys[p.key] = Entry(ColourOr(Animation().colourIndex + p.row * 32), Scale(brightness, level));
    }
}

// ---- 33: a serpentine fill and empty -----------------------------------------------

void KeyboardRenderer::RenderSerpentine(std::span<KeyColour> keys) {
    const auto walk = SerpentineGridKeys();
    const int length = static_cast<int>(walk.size());
    serpentineStep_ = (serpentineStep_ + 1) % (2 * length);
    if (serpentineStep_ == 0) Animation().colourIndex = static_cast<uint8_t>((Animation().colourIndex + 32) % kWheelSteps);
    RenderOff(keys);
    const uint8_t brightness = Brightness();
    const bool filling = serpentineStep_ < length;
    const int edge = filling ? serpentineStep_ : serpentineStep_ - length;
    for (int i = 0; i < length; ++i) {
        const bool lit = filling ? i <= edge : i > edge;
        if (!lit) continue;
        // The leading key is brightest; the body glows a little dimmer.
        const uint8_t level = (i == edge) ? 255 : 170;
        const auto& p = walk[i];
        if (p.key < keys.size())
            keys[p.key] = Entry(ColourOr(Animation().colourIndex + i), Scale(brightness, level));
    }
}

// ---- 29: seven host patterns -------------------------------------------------------

void KeyboardRenderer::RenderPattern(std::span<KeyColour> keys) {
    const int t = static_cast<int>(Now() / kPatternMsPerStep);
    const uint8_t brightness = Brightness();
    RenderOff(keys);
    if (pattern_ < 0 || pattern_ >= kPatternCount) return;
    if (pattern_ == 6 && t != lastPatternStep_) {
        // Sparkles live on the pattern's clock, not on the (much faster) passes.
        FadeAll(kFadeSteady);
        if (Random(2) == 0) {
            const auto grid = GridKeys();
            KeyStates().SetLevel(grid[Random(static_cast<int>(grid.size()))].key, 255);
        }
    }
    if (pattern_ == kMusicPattern && t != lastPatternStep_) {
        AdvanceWaveLayers();
        FadeMusicWaves();
    }
    lastPatternStep_ = t;
    for (const auto& p : GridKeys()) {
        KeyColour entry;
        switch (pattern_) {
            case 0:  // rainbow scrolling along the columns
                entry = Entry(WheelColour(p.column * 8 + t), brightness);
                break;
            case 1:  // rainbow climbing the rows
                entry = Entry(WheelColour(p.row * 32 + t), brightness);
                break;
            case kMusicPattern: {  // a dim diagonal rainbow with the music's waves running over it
                const int wave = KeyStates().Level(p.key);
                const Rgb back = WheelColour(p.column * 6 + p.row * 12 + t * 2);
                const Rgb lit = musicColour_ == Rgb{} ? WheelColour(p.column * 8 + t) : musicColour_;
                const auto mix = [wave](uint8_t dim, uint8_t bright) {
                    return Clamp255((dim / 4) * (255 - wave) / 255 + bright * wave / 255);
                };
                entry = {mix(back.red, lit.red), mix(back.green, lit.green), mix(back.blue, lit.blue), brightness};
                break;
            }
            case 3: {  // theatre chase in the fixed colour
                const bool lit = (p.column + t / 4) % 3 == 0;
                entry = Entry({Light().red, Light().green, Light().blue}, Scale(brightness, lit ? 255 : 24));
                break;
            }
            case 4: {  // two halves in opposite colours, the border sliding back and forth
                const int span = 2 * (kGridColumns - 1);
                const int border = (t / 3) % span < kGridColumns ? (t / 3) % span : span - (t / 3) % span;
                const int hue = (t / 2) % kWheelSteps;
                entry = Entry(WheelColour(p.column < border ? hue : hue + kWheelSteps / 2), brightness);
                break;
            }
            case 5:  // the whole board breathing through the wheel, never quite dark
                entry = Entry(WheelColour(t / 2),
                              Scale(brightness, static_cast<uint8_t>(16 + kBreathingCurve[t % kBreathingSteps] * 239 / 255)));
                break;
            default: {  // sparkles over a dim drifting background
                const uint8_t sparkle = KeyStates().Level(p.key);
                const Rgb back = WheelColour(t / 8);
                entry = {Clamp255(back.red / 4 + sparkle), Clamp255(back.green / 4 + sparkle),
                         Clamp255(back.blue / 4 + sparkle), brightness};
                break;
            }
        }
        if (p.key < keys.size()) keys[p.key] = entry;
    }
}

}  // namespace q208
