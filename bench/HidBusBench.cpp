// One enumeration pass over a fake sysfs tree of 64 hidraw nodes, and a write + read
// round trip on the simulated bus.
#include <benchmark/benchmark.h>

#include <memory>

#include "device/CHidDevice.h"
#include "device/FakeSysfs.h"
#include "device/HidrawBus.h"
#include "device/SimBus.h"
#include "device/TestDescriptors.h"

using namespace q208;

static void BM_HidrawEnumerate64Nodes(benchmark::State& state) {
    test::FakeSysfs sysfs;
    for (int n = 0; n < 64; ++n) {
        test::FakeSysfs::Node node;
        node.number = n;
        node.usbInterface = n % 4;
        node.descriptor = n % 2 ? test::kConsumerAndVendor : test::kBootKeyboard;
        sysfs.Add(node);
    }
    CHidDevice device(std::make_shared<HidrawBus>(sysfs.Root(), sysfs.DevFolder()));
    for (auto _ : state) {
        device.EnumeratePaths();
        benchmark::DoNotOptimize(device.NextPath());
        if (device.PathCount() != 96) state.SkipWithError("wrong path count");
    }
}
BENCHMARK(BM_HidrawEnumerate64Nodes)->Unit(benchmark::kMicrosecond);

static void BM_SimBusWriteReadRoundTrip(benchmark::State& state) {
    auto bus = std::make_shared<SimBus>();
    SimBus* raw = bus.get();
    const int id = bus->Plug({0x4E5B, 0x7C13, 1, 1, test::kConsumerAndVendor},
                             [raw](int from, std::span<const uint8_t> report) { raw->QueueInput(from, report); });
    CHidDevice device(bus);
    if (!device.Open(bus->PathsOf(id)[1], true, true, true, false)) state.SkipWithError("open failed");
    uint8_t command[64] = {4, 0x12};
    uint8_t answer[64];
    uint32_t bytes = 0;
    for (auto _ : state) {
        device.WriteReport(command, 64, &bytes, 1000);
        if (!device.ReadReport(answer, 64, &bytes, 1000)) state.SkipWithError("no answer");
        benchmark::DoNotOptimize(answer[1]);
    }
}
BENCHMARK(BM_SimBusWriteReadRoundTrip)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
