// Transactions on the simulated bus against the emulated keyboard, as the program runs them.
#include <benchmark/benchmark.h>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "device/DeviceResult.h"
#include "sim/SimDeviceSet.h"

namespace {

using q208::CDeviceChannel;
using q208::CDeviceCommands;
using q208::sim::SimDeviceKind;

struct Rig {
    explicit Rig(bool receiver) : bus(std::make_shared<q208::SimBus>()), devices(bus), channel(bus), commands(channel) {
        devices.PlugAll({SimDeviceKind::Keyboard, SimDeviceKind::Receiver});
        const auto path = devices.CommandPath(receiver ? SimDeviceKind::Receiver : SimDeviceKind::Keyboard);
        channel.OpenPath(path, receiver ? CDeviceChannel::kLinkReceiver : CDeviceChannel::kLinkWired, 0);
    }
    std::shared_ptr<q208::SimBus> bus;
    q208::sim::SimDeviceSet devices;
    CDeviceChannel channel;
    CDeviceCommands commands;
};

void BM_Transaction(benchmark::State& state) {
    Rig rig(state.range(0) != 0);
    for (auto _ : state) {
        if (rig.commands.BeginConfig() != q208::kResultOk) state.SkipWithError("transaction failed");
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(state.range(0) ? "receiver" : "wired");
}
BENCHMARK(BM_Transaction)->Arg(0)->Arg(1);

// BeginConfig, information block, key map, LED map, EndConfig (its 10 ms pause excluded).
void BM_KeyboardReadEverything(benchmark::State& state) {
    Rig rig(state.range(0) != 0);
    std::array<uint8_t, CDeviceCommands::kDeviceInfoSize> info{};
    std::array<uint8_t, 512> keyMap{}, ledMap{};
    for (auto _ : state) {
        rig.commands.BeginConfig();
        rig.commands.ReadDeviceInfo(info);
        rig.channel.SetDataSize(3u * info[5]);
        rig.commands.ReadKeyMap(keyMap);
        if (rig.commands.ReadLedMap(ledMap) != q208::kResultOk) state.SkipWithError("read failed");
    }
    state.SetLabel(state.range(0) ? "receiver" : "wired");
}
BENCHMARK(BM_KeyboardReadEverything)->Arg(0)->Arg(1);

void BM_LiveFrame342(benchmark::State& state) {
    Rig rig(state.range(0) != 0);
    std::array<uint8_t, 342> frame{};
    for (auto _ : state) {
        frame[0]++;
        if (rig.commands.StreamLightFrame(frame) != q208::kResultOk) state.SkipWithError("frame failed");
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(state.range(0) ? "receiver" : "wired");
}
BENCHMARK(BM_LiveFrame342)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
