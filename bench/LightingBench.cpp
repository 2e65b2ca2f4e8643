// One render step of every base renderer and keyboard effect over the 170 keys, and the
// live frame build.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "devices/keyboard/KeyboardAnimator.h"
#include "devices/lighting/LightFrames.h"

using namespace q208;

namespace {

using BaseRender = void (LightRenderer::*)(std::span<KeyColour>);

void BaseRenderer(benchmark::State& state, BaseRender render) {
    LightRenderer renderer([] { return 0u; });
    renderer.Light() = {.brightnessLevel = 4, .colourCycle = 1};
    std::vector<KeyColour> keys(kKeyTableRows);
    for (auto _ : state) {
        (renderer.*render)(keys);
        benchmark::DoNotOptimize(keys.data());
    }
}

BENCHMARK_CAPTURE(BaseRenderer, Static, &LightRenderer::RenderStatic);
BENCHMARK_CAPTURE(BaseRenderer, Breathing, &LightRenderer::RenderBreathing);
BENCHMARK_CAPTURE(BaseRenderer, BreathingCycle, &LightRenderer::RenderBreathingCycle);
BENCHMARK_CAPTURE(BaseRenderer, Spectrum, &LightRenderer::RenderSpectrum);
BENCHMARK_CAPTURE(BaseRenderer, Blink, &LightRenderer::RenderBlink);
BENCHMARK_CAPTURE(BaseRenderer, BlinkCycle, &LightRenderer::RenderBlinkCycle);

void Off(benchmark::State& state) {
    std::vector<KeyColour> keys(kKeyTableRows);
    for (auto _ : state) {
        LightRenderer::RenderOff(keys);
        benchmark::DoNotOptimize(keys.data());
    }
}
BENCHMARK(Off);

// One animator render step (locks included) of keyboard effect state.range(0).
void KeyboardEffectStep(benchmark::State& state) {
    const int effect = static_cast<int>(state.range(0));
    uint32_t now = 0;
    KeyColourBuffer colours(kKeyTableRows);
    KeyboardAnimator animator(colours, [&now] { return now; });
    animator.SetLightState({.effect = static_cast<uint8_t>(effect), .brightnessLevel = 4, .colourCycle = 1});
    animator.SetOptionState(static_cast<int>(state.range(1)));
    int presses = 0;
    for (auto _ : state) {
        now += 16;
        if (++presses % 8 == 0) animator.OnKeyEvent(40 + presses % 60, kKeyPressed);
        animator.RenderNow();
    }
}
BENCHMARK(KeyboardEffectStep)
    ->ArgNames({"effect", "pattern"})
    ->ArgsProduct({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 22, 23, 24, 25, 26, 27,
                    28, 30, 33},
                   {0}})
    ->ArgsProduct({{29}, {0, 1, 2, 3, 4, 5, 6}});

void LiveFrameBuild(benchmark::State& state) {
    KeyColourBuffer colours(kKeyTableRows);
    for (size_t row = 0; row < kKeyTableRows; ++row)
        colours.Set(row, {static_cast<uint8_t>(row), 100, 200, 180});
    std::array<uint8_t, kKeyTableRows> leds;
    for (int row = 0; row < kKeyTableRows; ++row) leds[row] = static_cast<uint8_t>(row < kLiveFrameLeds ? row : kNoLed);
    LiveFrame frame;
    for (auto _ : state) {
        colours.Read([&](std::span<const KeyColour> keys) { BuildLiveFrame(keys, leds, frame); });
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(LiveFrameBuild);

}  // namespace

BENCHMARK_MAIN();
