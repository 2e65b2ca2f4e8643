// One scan for supported interfaces over the emulated default set (path filter, read-only
// open, attribute and caps match), and one whole q208ctl keymap run in-process.
#include <benchmark/benchmark.h>

#include <sstream>

#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"
#include "tools/CtlCommandTable.h"
#include "tools/SupportedDeviceFinder.h"

namespace {

void BM_ScanDefaultSimulatedSet(benchmark::State& state) {
    auto bus = std::make_shared<q208::SimBus>();
    q208::sim::SimDeviceSet set(bus);
    set.PlugAll(*q208::sim::SimDeviceSet::ParseList("", nullptr));
    q208::SupportedDeviceFinder finder(bus);
    for (auto _ : state) benchmark::DoNotOptimize(finder.Scan());
}
BENCHMARK(BM_ScanDefaultSimulatedSet)->Unit(benchmark::kMicrosecond);

void BM_CtlKeyMapOverReceiver(benchmark::State& state) {
    const q208::CtlCommandTable table = q208::CtlCommandTable::Standard();
    for (auto _ : state) {
        std::ostringstream out, err;
        benchmark::DoNotOptimize(table.Run({"--simulate", "--device", "receiver-keyboard", "keymap"}, out, err));
    }
}
BENCHMARK(BM_CtlKeyMapOverReceiver)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
