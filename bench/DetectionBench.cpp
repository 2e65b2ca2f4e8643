// One detection pass (scan while a slot is free, then the removal check) over a fake sysfs
// tree of 64 hidraw nodes and over the emulated default set; and the first pass over the
// default set, which takes every interface it finds.
#include <benchmark/benchmark.h>

#include <memory>

#include "device/CDetectionThread.h"
#include "device/FakeSysfs.h"
#include "device/HidrawBus.h"
#include "device/SimBus.h"
#include "device/TestDescriptors.h"
#include "sim/SimDeviceSet.h"

using namespace q208;

namespace {

class QuietHost : public IDetectionHost {
public:
    void SendArrival(size_t, const Event&) override { ++arrivals; }
    void SendRemoval(size_t, const Event&) override {}
    void PostFirstPassDone() override {}
    int arrivals = 0;
};

void BM_DetectionPass64HidrawNodes(benchmark::State& state) {
    test::FakeSysfs sysfs;
    static constexpr uint16_t kProducts[] = {0x7C13, 0x7C11, 0x5D02, 0x1234};
    for (int n = 0; n < 64; ++n) {
        test::FakeSysfs::Node node;
        node.number = n;
        node.productId = kProducts[n % 4];
        node.usbInterface = n % 4;
        node.descriptor = n % 2 ? test::kConsumerAndVendor : test::kBootKeyboard;
        sysfs.Add(node);
    }
    auto host = std::make_shared<QuietHost>();
    CDetectionThread detection(std::make_shared<DeviceSlotList>(),
                               host, std::make_shared<HidrawBus>(sysfs.Root(), sysfs.DevFolder()));
    for (auto _ : state) {
        if (!detection.RunPass()) state.SkipWithError("enumeration failed");
    }
}
BENCHMARK(BM_DetectionPass64HidrawNodes)->Unit(benchmark::kMicrosecond);

void BM_DetectionPassDefaultSimulatedSet(benchmark::State& state) {
    auto bus = std::make_shared<SimBus>();
    sim::SimDeviceSet devices(bus);
    devices.PlugAll(*sim::SimDeviceSet::ParseList("", nullptr));
    auto host = std::make_shared<QuietHost>();
    CDetectionThread detection(std::make_shared<DeviceSlotList>(), host, bus);
    detection.RunPass();  // takes the set's interfaces; the loop measures the passes after
    if (host->arrivals == 0) state.SkipWithError("nothing detected");
    for (auto _ : state) {
        if (!detection.RunPass()) state.SkipWithError("enumeration failed");
    }
}
BENCHMARK(BM_DetectionPassDefaultSimulatedSet)->Unit(benchmark::kMicrosecond);

void BM_DetectionFirstPassDefaultSimulatedSet(benchmark::State& state) {
    auto bus = std::make_shared<SimBus>();
    sim::SimDeviceSet devices(bus);
    devices.PlugAll(*sim::SimDeviceSet::ParseList("", nullptr));
    auto host = std::make_shared<QuietHost>();
    for (auto _ : state) {
        state.PauseTiming();
        auto detection = std::make_unique<CDetectionThread>(std::make_shared<DeviceSlotList>(), host, bus);
        state.ResumeTiming();
        detection->RunPass();
        state.PauseTiming();
        detection.reset();
        state.ResumeTiming();
    }
    if (host->arrivals != static_cast<int>(state.iterations()) * 7) state.SkipWithError("wrong arrival count");
}
BENCHMARK(BM_DetectionFirstPassDefaultSimulatedSet)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
