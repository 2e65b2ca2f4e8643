// The mouse: one preview step of each of its own renderers over the page's fifteen LEDs,
// and q208ctl's set-dpi end to end on the emulated mouse through the receiver (bus set-up,
// information and settings block read, profile saved, block written and read back).
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "devices/mouse/MouseRenderer.h"
#include "tools/CtlCommandTable.h"

namespace {

using namespace q208;

constexpr size_t kMouseLeds = 15;

template <void (MouseRenderer::*Step)(std::span<KeyColour>)>
void BM_PreviewStep(benchmark::State& state) {
    MouseRenderer renderer;
    renderer.Light().colourCycle = 1;
    renderer.StartReactive([](int led) { return led * 13; });
    std::vector<KeyColour> leds(kMouseLeds);
    for (auto _ : state) {
        (renderer.*Step)(leds);
        benchmark::DoNotOptimize(leds.data());
    }
}
BENCHMARK(BM_PreviewStep<&MouseRenderer::RenderGroups>)->Name("BM_PreviewStep/groups");
BENCHMARK(BM_PreviewStep<&MouseRenderer::RenderRing>)->Name("BM_PreviewStep/ring");
BENCHMARK(BM_PreviewStep<&MouseRenderer::RenderReactive>)->Name("BM_PreviewStep/reactive");

void BM_SetDpiThroughReceiver(benchmark::State& state) {
    const CtlCommandTable table = CtlCommandTable::Standard();
    const std::vector<std::string> args = {"--simulate=receiver", "--device", "receiver-mouse", "set-dpi", "0=1600"};
    for (auto _ : state) {
        std::ostringstream out, err;
        if (table.Run(args, out, err) != 0) state.SkipWithError(err.str().c_str());
    }
}
BENCHMARK(BM_SetDpiThroughReceiver)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
