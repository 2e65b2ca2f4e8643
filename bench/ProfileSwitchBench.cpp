// The profile list and a profile switch end to end: loading a device's list of 50
// profiles, and switching the emulated keyboard from one profile to another as the main
// window's timer does (profile id, read the document, write key map, macros and lighting).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "device/SimBus.h"
#include "devices/keyboard/CVantorixKeyboardDevice.h"
#include "profile/ProfileList.h"
#include "profile/ProfilePaths.h"
#include "sim/SimDeviceSet.h"

namespace q208 {
namespace {

// The user folders of the run, away from the user's own.
const std::filesystem::path& BenchHome() {
    static const std::filesystem::path home = [] {
        std::string name = (std::filesystem::temp_directory_path() / "q208-profile-bench-XXXXXX").string();
        const std::filesystem::path made = mkdtemp(name.data());
        ::setenv("XDG_DATA_HOME", made.c_str(), 1);
        return made;
    }();
    return home;
}

void LoadFiftyProfiles(benchmark::State& state) {
    const std::filesystem::path folder = BenchHome() / "list50";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    ProfileList make(folder, DefaultProfileFile(kKeyboardFolder));
    make.Load();
    while (make.Count() < ProfileList::kLimit) make.Create();
    for (auto _ : state) {
        ProfileList list(folder, DefaultProfileFile(kKeyboardFolder));
        benchmark::DoNotOptimize(list.Load());
        benchmark::DoNotOptimize(list.SelectedId());
    }
    state.counters["profiles"] = make.Count();
}
BENCHMARK(LoadFiftyProfiles)->Unit(benchmark::kMicrosecond);

void SwitchKeyboardProfile(benchmark::State& state) {
    BenchHome();
    auto bus = std::make_shared<SimBus>();
    sim::SimDeviceSet devices(bus);
    devices.Plug(sim::SimDeviceKind::Keyboard);
    CVantorixKeyboardDevice keyboard(bus);
    keyboard.SetKind(1, 0);
    keyboard.SetDisplayStrings("keyboard", kLightConfigName, kKeyboardFolder);
    ProfileList list(DeviceUserFolder(kKeyboardFolder), DefaultProfileFile(kKeyboardFolder));
    list.Load();
    if (list.Count() < 2) list.Create();
    if (!keyboard.CommandChannel().OpenPath(devices.CommandPath(sim::SimDeviceKind::Keyboard),
                                            CDeviceChannel::kLinkWired, 0)) {
        state.SkipWithError("the emulated keyboard did not open");
        return;
    }
    keyboard.ReadDevice();  // the key map copy a key-map write starts from
    const std::vector<std::string> ids{list.IdAt(0), list.IdAt(1)};
    size_t next = 0;
    for (auto _ : state) {
        keyboard.SetProfileId(ids[next++ % ids.size()]);
        keyboard.LoadProfile();
        benchmark::DoNotOptimize(keyboard.WriteProfileToDevice());
    }
    keyboard.OnDeviceRemoved();
}
BENCHMARK(SwitchKeyboardProfile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace q208

BENCHMARK_MAIN();
