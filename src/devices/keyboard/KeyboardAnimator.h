#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "devices/lighting/KeyColourBuffer.h"
#include "devices/keyboard/KeyboardEffectTable.h"
#include "devices/keyboard/KeyboardRenderer.h"

namespace q208 {

// Runs the keyboard's current effect: the animation thread calls Step once per pass with
// the milliseconds since the last pass; listener threads pass key events; the UI changes
// the light state. All of it is serialised by one lock; rendering writes the shared
// per-key colours under their own lock (always taken after this one).
//
// On its own the animator keeps its renderer and lock (effect previews, benchmarks); the
// keyboard device hands it the device's renderer and light lock, so the device has one
// light state and one key-state buffer whoever changes them.
class KeyboardAnimator {
public:
    // The effect intervals count ticks of this length. They were chosen for a tick
    // counter that advances about every 16 ms; counting single milliseconds would run
    // every effect many times too fast.
    static constexpr uint32_t kDefaultCountPeriodMs = 16;

    explicit KeyboardAnimator(KeyColourBuffer& colours, LightRenderer::Clock clock = {},
                              uint32_t countPeriodMs = kDefaultCountPeriodMs);
    // Shares `renderer` and `lock` with their owner, which outlives the animator.
    KeyboardAnimator(KeyColourBuffer& colours, KeyboardRenderer& renderer, std::mutex& lock,
                     uint32_t countPeriodMs = kDefaultCountPeriodMs);
    KeyboardAnimator(const KeyboardAnimator&) = delete;
    KeyboardAnimator& operator=(const KeyboardAnimator&) = delete;

    // Takes a new light state; when the effect number changed, or is 18, the animation
    // state is reset and the effect's preparation step runs.
    void SetLightState(const LightState& light);
    LightState GetLightState() const;
    void SetHostColour(Rgb colour);
    // The first option-state value: the pattern of effect 29.
    void SetOptionState(int first);
    // Effect 29 with its music pattern: the keyboard follows the music.
    bool InMusicMode() const;
    // A wave from key-table row `row` over the music pattern, and the waves' colour.
    void StartMusicWave(int row);
    void SetMusicColour(Rgb colour);

    // One pass of the animation loop. True when the renderer ran.
    bool Step(uint32_t elapsedMs);
    // Milliseconds of passes until Step renders again; 0 when the next pass renders (or
    // there is no effect to render).
    uint32_t MsUntilDue() const;
    // Runs the current renderer once, whatever the counters say. False when the effect has
    // no renderer.
    bool RenderNow();
    // A key event (row of the key table, kind 1 press or 2 release) for the current
    // effect's key handler; effects without one ignore it.
    void OnKeyEvent(int row, int kind);

    // Runs fn(KeyboardRenderer&) under the lock (inspection and tests).
    template <typename Fn>
    auto WithRenderer(Fn&& fn) {
        std::lock_guard lock(mutex_);
        return fn(renderer_);
    }

private:
    void RenderLocked();

    KeyColourBuffer& colours_;
    const uint32_t countPeriodMs_;
    std::unique_ptr<std::mutex> ownMutex_;
    std::unique_ptr<KeyboardRenderer> ownRenderer_;
    std::mutex& mutex_;
    KeyboardRenderer& renderer_;
    const KeyboardEffect* effect_ = nullptr;
    bool haveEffect_ = false;  // false until the first light state
    uint32_t counter_ = 0;
    uint32_t pendingMs_ = 0;
};

}  // namespace q208
