// One render step of each base renderer through the device object (light lock and shared
// per-key colours included) over 170 keys, and showing a frame on 170 light buttons.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "devices/base/CVantorixUSBDevice.h"
#include "devices/base/IDeviceKeyButton.h"
#include "devices/keyboard/KeyboardLayout.h"
#include "ui/CButtonUI.h"
#include "ui/CVerticalLayoutUI.h"

using namespace q208;

namespace {

using DeviceRender = void (CVantorixUSBDevice::*)();

void DeviceRenderer(benchmark::State& state, DeviceRender render) {
    CVantorixUSBDevice device(DefaultHidBus(), [] { return 0u; });
    device.SetLightState({.brightnessLevel = 4, .colourCycle = 1});
    for (auto _ : state) {
        (device.*render)();
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(DeviceRenderer, Static, &CVantorixUSBDevice::RenderStatic);
BENCHMARK_CAPTURE(DeviceRenderer, Breathing, &CVantorixUSBDevice::RenderBreathing);
BENCHMARK_CAPTURE(DeviceRenderer, BreathingCycle, &CVantorixUSBDevice::RenderBreathingCycle);
BENCHMARK_CAPTURE(DeviceRenderer, Spectrum, &CVantorixUSBDevice::RenderSpectrum);
BENCHMARK_CAPTURE(DeviceRenderer, Blink, &CVantorixUSBDevice::RenderBlink);
BENCHMARK_CAPTURE(DeviceRenderer, BlinkCycle, &CVantorixUSBDevice::RenderBlinkCycle);
BENCHMARK_CAPTURE(DeviceRenderer, Off, &CVantorixUSBDevice::RenderOff);

class LightButton : public CButtonUI, public IDeviceKeyButton {
public:
    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override {
        return name == kInterfaceName ? static_cast<IDeviceKeyButton*>(this) : CButtonUI::GetInterface(name);
    }
    void SetKeyLight(uint32_t c, int i, bool o) override {
        colour = c;
        intensity = i;
        on = o;
    }
    void SetSelected(bool) override {}
    bool IsSelected() const override { return false; }
    void SetKeySetImageHidden(bool) override {}
    uint32_t colour = 0;
    int intensity = 0;
    bool on = false;
};

class Panel : public CVerticalLayoutUI {
public:
    std::string GetClass() const override { return "SelectPanel"; }
};

void LightFrameOnButtons(benchmark::State& state) {
    CVantorixUSBDevice device;
    device.SetLayoutName("page");
    device.SetButtonCounts(0, kMaxLightKeys);
    auto* panel = device.Add(std::make_unique<Panel>());
    for (int i = 0; i < kMaxLightKeys; ++i) {
        auto button = std::make_unique<LightButton>();
        button->SetName("light_" + std::to_string(i));
        panel->Add(std::move(button));
    }
    device.BindPageControls();
    device.RenderSpectrum();
    for (auto _ : state) {
        device.SendLightFrame();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(LightFrameOnButtons);

}  // namespace

BENCHMARK_MAIN();
