#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "devices/lighting/KeyStateBuffer.h"
#include "devices/keyboard/KeyboardLayout.h"
#include "devices/lighting/LightRenderer.h"

namespace q208 {

// Key event kinds of the reactive effects.
inline constexpr int kKeyPressed = 1;
inline constexpr int kKeyReleased = 2;

// The keyboard's renderers: the base ones plus every keyboard effect, their key handlers
// and preparation steps. Not thread-safe by itself; KeyboardAnimator serialises access.
class KeyboardRenderer : public LightRenderer {
public:
    static constexpr int kPatternCount = 7;  // host patterns of effect 29
    static constexpr int kWaveLayers = 4;

    explicit KeyboardRenderer(Clock clock = {}, uint32_t seed = 0x2545F491u);

    void SetHostColour(Rgb colour) { hostColour_ = colour; }
    // The first option-state value chooses the pattern of effect 29 (0 … 6).
    void SetPattern(int pattern) { pattern_ = pattern; }
    int Pattern() const { return pattern_; }
    // The pattern of effect 29 that follows the music: waves started by StartMusicWave.
    static constexpr int kMusicPattern = 2;
    // The colour of the music waves; black lets them run through the colour wheel.
    void SetMusicColour(Rgb colour) { musicColour_ = colour; }
    // Starts a wave from key-table row `row` in all four wave layers.
    void StartMusicWave(int row) { KeyWaveLayers(row, kKeyPressed); }
    void Reseed(uint32_t seed) { random_ = seed ? seed : 1; }

    // Preparation steps: the shared one and those of effects 12 … 15 and 18.
    void PrepareShared();
    void PrepareRain();
    void PrepareStars();
    void PrepareFire();
    void PrepareMarquee();
    void PrepareCustom();

    // Effects with behaviour fixed by the keyboard.
    void RenderWave1(std::span<KeyColour> keys);
    void RenderWave2(std::span<KeyColour> keys);
    void RenderKeyboardBreathing(std::span<KeyColour> keys);  // 4
    void RenderKeyboardStatic(std::span<KeyColour> keys);     // 5
    void RenderReactive(std::span<KeyColour> keys);           // 6 and 25
    void RenderWaveLayers(std::span<KeyColour> keys);         // 7
    void RenderColourCycle(std::span<KeyColour> keys);        // 10
    void RenderCustomSlot(std::span<KeyColour> keys);         // 18
    void RenderOffKeys(std::span<KeyColour> keys) { RenderOff(keys); }  // 19
    void RenderHostColour(std::span<KeyColour> keys);         // 30
    void RenderPattern(std::span<KeyColour> keys);            // 29

    // Key handlers: row of the key table, kind 1 press or 2 release.
    void KeyReactive(int row, int kind);            // 6
    void KeyReactiveNeighbours(int row, int kind);  // 25
    void KeyWaveLayers(int row, int kind);          // 7
    void KeyRipple(int row, int kind);              // 8

    // The keyboard's own effects.
    void RenderRipples(std::span<KeyColour> keys);       // 8
    void RenderScanner(std::span<KeyColour> keys);       // 9
    void RenderPlasma(std::span<KeyColour> keys);        // 11
    void RenderRain(std::span<KeyColour> keys);          // 12
    void RenderStars(std::span<KeyColour> keys);         // 13
    void RenderFire(std::span<KeyColour> keys);          // 14
    void RenderMarquee(std::span<KeyColour> keys);       // 15
    void RenderSpin(std::span<KeyColour> keys);          // 16
    void RenderChecker(std::span<KeyColour> keys);       // 17
    void RenderPulse(std::span<KeyColour> keys);         // 21
    void RenderConfetti(std::span<KeyColour> keys);      // 22
    void RenderSnake(std::span<KeyColour> keys);         // 24
    void RenderRowBreathing(std::span<KeyColour> keys);  // 28
    void RenderSerpentine(std::span<KeyColour> keys);    // 33

    // Per-key reactive state of effects 6 and 25.
    enum class PressState : uint8_t { Idle, Pressed, Fading, Neighbour };
    PressState PressStateOf(int row) const;
    uint8_t WheelIndexOf(int row) const;
    uint8_t WaveLayer(int layer, int column) const;

private:
    struct Ripple {
        int column = 0;
        int row = 0;
        int radius = -1;  // quarter cells; below 0 the ripple is free
        uint8_t wheelIndex = 0;
    };

    int Random(int bound);
    // The colour of a key: the wheel at the given index with colour cycle, else the fixed one.
    Rgb ColourOr(int wheelIndex) const;
    // Paints every grid key from its key-state level (keys off the grid go dark).
    template <typename ColourOf>
    void PaintLevels(std::span<KeyColour> keys, ColourOf colourOf);
    void FadeAll(int mode);
    void RenderWave(std::span<KeyColour> keys, bool firstKind);
    // Moves every wave layer one cell and lights the keys the waves reach.
    void AdvanceWaveLayers();
    void FadeMusicWaves();

    std::array<PressState, kKeyTableRows> press_{};
    std::array<uint8_t, kKeyTableRows> wheelIndex_{};
    std::array<std::array<uint8_t, kGridColumns>, kWaveLayers> waveLayers_{};
    std::array<Ripple, 8> ripples_{};
    std::array<int8_t, kGridColumns> drops_{};
    std::array<uint8_t, kGridCells> heat_{};
    std::array<uint8_t, kKeyTableRows> starRising_{};
    Rgb hostColour_{255, 255, 255};
    Rgb musicColour_{0, 0, 0};
    int pattern_ = 0;
    uint32_t random_;
    uint32_t steps_ = 0;  // render calls since the preparation, for the own effects
    int scanPosition_ = 0;
    int scanDirection_ = 1;
    GridPosition snakeHead_{11, 2};
    int snakeHeading_ = 0;  // 0 right, 1 down, 2 left, 3 up
    uint8_t snakeHue_ = 0;
    int serpentineStep_ = 0;
    int lastPatternStep_ = -1;
};

}  // namespace q208
