// The mouse pad: one preview step of each of its own renderers over the pad's fifteen LEDs,
// and q208ctl's set-pad-lighting end to end on the emulated pad (bus set-up, block read,
// profile saved, block written and read back).
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "devices/mousepad/MousePadRenderer.h"
#include "tools/CtlCommandTable.h"

namespace {

using namespace q208;

constexpr size_t kPadLeds = 15;

template <void (MousePadRenderer::*Step)(std::span<KeyColour>)>
void BM_PadPreviewStep(benchmark::State& state) {
    MousePadRenderer renderer;
    renderer.Light().colourCycle = static_cast<uint8_t>(state.range(0));
    std::vector<KeyColour> leds(kPadLeds);
    for (auto _ : state) {
        (renderer.*Step)(leds);
        benchmark::DoNotOptimize(leds.data());
    }
}
BENCHMARK(BM_PadPreviewStep<&MousePadRenderer::RenderWave>)->Name("BM_PadPreviewStep/wave")->Arg(0)->Arg(1);
BENCHMARK(BM_PadPreviewStep<&MousePadRenderer::RenderMirroredWave>)->Name("BM_PadPreviewStep/mirrored")->Arg(1);
BENCHMARK(BM_PadPreviewStep<&MousePadRenderer::RenderChase>)->Name("BM_PadPreviewStep/chase")->Arg(1);

void BM_SetPadLighting(benchmark::State& state) {
    const CtlCommandTable table = CtlCommandTable::Standard();
    const std::vector<std::string> args = {"--simulate=mousepad", "set-pad-lighting", "effect=3", "rgb=1,2,3"};
    for (auto _ : state) {
        std::ostringstream out, err;
        if (table.Run(args, out, err) != 0) state.SkipWithError(err.str().c_str());
    }
}
BENCHMARK(BM_SetPadLighting)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
