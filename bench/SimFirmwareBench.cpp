// Throughput of the emulated devices: one command round trip, a full keyboard read, and
// live frames through the receiver.

#include <benchmark/benchmark.h>

#include <memory>

#include "sim/SimKeyboard.h"
#include "sim/SimReceiver.h"
#include "sim/TestHost.h"

namespace q208::sim {
namespace {

void BM_CommandRoundTrip(benchmark::State& state) {
    SimKeyboard keyboard;
    test::TestHost host(keyboard);
    const Report request = host.Build(Command::ReadConfig, 0, 26);
    for (auto _ : state) {
        benchmark::DoNotOptimize(keyboard.HandleOutputReport(request));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CommandRoundTrip);

// BeginConfig, information block, key map, LED map, EndConfig over the cable.
void BM_KeyboardReadEverything(benchmark::State& state) {
    SimKeyboard keyboard;
    test::TestHost host(keyboard);
    for (auto _ : state) {
        host.Send(Command::BeginConfig);
        benchmark::DoNotOptimize(host.Read(Command::ReadDeviceInfo, 0, 34));
        benchmark::DoNotOptimize(host.Read(Command::ReadKeyMap, 0, 312));
        benchmark::DoNotOptimize(host.Read(Command::ReadLedMap, 0, 104));
        host.Send(Command::EndConfig);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KeyboardReadEverything);

// A 342-byte live frame in 15 reports of 24 bytes through the receiver.
void BM_LiveFrameThroughReceiver(benchmark::State& state) {
    auto keyboard = std::make_shared<SimKeyboard>();
    SimReceiver receiver(keyboard, nullptr);
    test::TestHost host(receiver, kTargetKeyboard);
    const std::vector<uint8_t> frame(SimKeyboard::kLiveFrameSize, 0x42);
    for (auto _ : state) {
        benchmark::DoNotOptimize(host.Write(Command::StreamLightFrame, 0, frame));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LiveFrameThroughReceiver);

}  // namespace
}  // namespace q208::sim

BENCHMARK_MAIN();
