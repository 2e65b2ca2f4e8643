// CPU cost of the keyboard's animation thread: effect N animated on the emulated keyboard
// (cable) for S seconds, as the process CPU time over the wall time (percent of one core).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <thread>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "device/SimBus.h"
#include "devices/keyboard/KeyboardAnimationThread.h"
#include "devices/keyboard/KeyboardMemory.h"
#include "sim/SimDeviceSet.h"

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_AnimateOnEmulatedKeyboard(benchmark::State& state) {
    using namespace q208;
    const int effect = static_cast<int>(state.range(0));
    const int seconds = static_cast<int>(state.range(1));
    auto bus = std::make_shared<SimBus>();
    sim::SimDeviceSet devices(bus);
    devices.Plug(sim::SimDeviceKind::Keyboard);
    CDeviceChannel channel(bus);
    CDeviceCommands commands(channel);
    channel.OpenPath(devices.CommandPath(sim::SimDeviceKind::Keyboard), CDeviceChannel::kLinkWired, 0);
    KeyboardMemory memory;
    memory.ReadAll(commands, channel);
    KeyColourBuffer colours(kKeyTableRows);
    KeyboardAnimator animator(colours);
    KeyboardFrameSender sender(commands, colours, memory);
    LightState light;
    light.effect = static_cast<uint8_t>(effect);
    light.speedLevel = 4;
    animator.SetLightState(light);

    for (auto _ : state) {
        KeyboardAnimationThread thread(channel, animator, sender);
        const double cpuBefore = ProcessCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        thread.Start();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        thread.Stop();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        state.counters["cpu_percent"] = 100.0 * (ProcessCpuSeconds() - cpuBefore) / wall;
        state.counters["renders"] = thread.Renders();
        state.counters["frames"] = thread.FramesSent();
    }
}
// Effect 3 (rendered on the keyboard, no frames) and 30 (host colour, streamed), 10 s each.
BENCHMARK(BM_AnimateOnEmulatedKeyboard)->Args({3, 10})->Args({30, 10})->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
