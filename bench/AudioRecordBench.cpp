// The music lighting's costs per level frame: what the recorder spends on one frame (40 a
// second, so a frame must stay far below 25 ms × 3 % = 750 µs) and what the main window
// spends reducing one. bench/music-record-cpu measures the running programs.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "audio/LevelFrameBuilder.h"
#include "audio/PulseCapture.h"
#include "lighting/AudioBandReducer.h"

namespace {

void BM_RecorderFrame(benchmark::State& state) {
    q208::audio::LevelFrameBuilder builder(q208::audio::PulseCapture::kSampleRate);
    std::vector<float> hop(q208::audio::PulseCapture::kHopFrames);
    int n = 0;
    for (auto _ : state) {
        for (float& sample : hop) sample = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 440 * n++ / 48000));
        builder.Push(hop);
        benchmark::DoNotOptimize(builder.Build());
    }
}
BENCHMARK(BM_RecorderFrame);

void BM_MainWindowReduce(benchmark::State& state) {
    q208::AudioBandReducer reducer;
    std::vector<uint8_t> a(2000), b(2000);
    for (size_t i = 0; i < a.size(); ++i) {
        a[i] = static_cast<uint8_t>(i);
        b[i] = static_cast<uint8_t>(i * 7);
    }
    bool flip = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(reducer.OnFrame((flip = !flip) ? a : b));
    }
}
BENCHMARK(BM_MainWindowReduce);

}  // namespace

BENCHMARK_MAIN();
