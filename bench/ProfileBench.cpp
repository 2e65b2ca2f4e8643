// Profile load and save of a full keyboard section: what a device does when the user
// switches profiles (load + getters) and after every edit (save).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "profile/CKeyboardProfiledata.h"
#include "profile/JsonFile.h"
#include "profile/ProfilePaths.h"

namespace {

namespace fs = std::filesystem;

constexpr int kKeyCount = 170;

class Folder {
public:
    Folder() {
        std::string name = (fs::temp_directory_path() / "q208-bench-XXXXXX").string();
        path_ = mkdtemp(name.data());
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// A profile file holding the factory keyboard section with the given number of per-key
// custom colour groups (the factory file has 3; they make up most of the section's size).
fs::path PrepareProfile(const Folder& folder, int groups) {
    const fs::path file = folder.Path() / "bench.Json";
    Json::Value document = q208::ReadJsonValue(q208::DefaultProfileFile(q208::kKeyboardFolder));
    Json::Value& colours = document["Device"][0]["CustomLightMode"]["LightColorInfo"];
    colours.resize(static_cast<Json::ArrayIndex>(groups));
    for (int g = 1; g < groups; ++g) {
        if (colours[g].isNull()) colours[g] = colours[0];
    }
    q208::WriteJsonFile(document, file);
    return file;
}

void ReadEverything(q208::CKeyboardProfiledata& profile) {
    benchmark::DoNotOptimize(profile.GetLightInfo());
    benchmark::DoNotOptimize(profile.GetLightList());
    benchmark::DoNotOptimize(profile.GetKeyList());
    benchmark::DoNotOptimize(profile.GetAudioLightInfo());
    benchmark::DoNotOptimize(profile.GetSystemStages());
    benchmark::DoNotOptimize(profile.GetCustomLightColors(profile.GetCustomLightModeGroupIndex(), kKeyCount));
}

void BM_KeyboardProfileLoad(benchmark::State& state) {
    Folder folder;
    const fs::path file = PrepareProfile(folder, static_cast<int>(state.range(0)));
    q208::CKeyboardProfiledata profile;
    profile.SetPath(file);
    for (auto _ : state) {
        profile.LoadSection(file);
        ReadEverything(profile);
    }
}
BENCHMARK(BM_KeyboardProfileLoad)->Unit(benchmark::kMicrosecond)->ArgName("groups")->Arg(1)->Arg(3);

void BM_KeyboardProfileSave(benchmark::State& state) {
    Folder folder;
    const fs::path file = PrepareProfile(folder, static_cast<int>(state.range(0)));
    q208::CKeyboardProfiledata profile;
    profile.SetPath(file);
    profile.LoadSection(file);
    for (auto _ : state) benchmark::DoNotOptimize(profile.Save());
}
BENCHMARK(BM_KeyboardProfileSave)->Unit(benchmark::kMicrosecond)->ArgName("groups")->Arg(1)->Arg(3);

void BM_KeyboardProfileLoadEditSave(benchmark::State& state) {
    Folder folder;
    const fs::path file = PrepareProfile(folder, static_cast<int>(state.range(0)));
    q208::CKeyboardProfiledata profile;
    profile.SetPath(file);
    int red = 0;
    for (auto _ : state) {
        profile.LoadSection(file);
        ReadEverything(profile);
        auto info = profile.GetLightInfo();
        info.red = static_cast<std::uint8_t>(++red);
        profile.SetLightInfo(info);
        benchmark::DoNotOptimize(profile.Save());
    }
}
BENCHMARK(BM_KeyboardProfileLoadEditSave)->Unit(benchmark::kMicrosecond)->ArgName("groups")->Arg(1)->Arg(3);

// The same with a fresh profile object each time: nothing of the file is known yet, as when
// the user switches to another profile.
void BM_KeyboardProfileColdLoadEditSave(benchmark::State& state) {
    Folder folder;
    const fs::path file = PrepareProfile(folder, static_cast<int>(state.range(0)));
    int red = 0;
    for (auto _ : state) {
        q208::CKeyboardProfiledata profile;
        profile.SetPath(file);
        profile.LoadSection(file);
        ReadEverything(profile);
        auto info = profile.GetLightInfo();
        info.red = static_cast<std::uint8_t>(++red);
        profile.SetLightInfo(info);
        benchmark::DoNotOptimize(profile.Save());
    }
}
BENCHMARK(BM_KeyboardProfileColdLoadEditSave)->Unit(benchmark::kMicrosecond)->ArgName("groups")->Arg(1)->Arg(3);

}  // namespace

BENCHMARK_MAIN();
