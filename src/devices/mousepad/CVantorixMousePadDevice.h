#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devices/base/CVantorixUSBDevice.h"
#include "devices/base/DeviceMessages.h"
#include "devices/mousepad/MousePadController.h"
#include "devices/mousepad/MousePadListener.h"
#include "devices/mousepad/MousePadPreviewSchedule.h"
#include "devices/mousepad/MousePadRenderer.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"
#include "profile/CBasicProfiledata.h"
#include "ui/UiTypes.h"

namespace q208 {

class CMessageQueue;
struct TNotifyUI;

// The lighted mouse pad on its cable: its page (a picture of its LEDs with the preview, the
// profile panel and the lighting controls), its profile, its listener and the preview
// thread. The pad has lighting only; its logic is the toolkit-free MousePadController.
//
// What the page shows is the controller's copy of the pad's settings block: the profile's
// lighting after a profile is loaded, the pad's own once its block was read. A change on
// the page goes into the profile, which is saved, fills the block and is written.
//
// Threads: the page and the device sequences run on the UI thread; the listener hands the
// re-sync to the UI thread as a task; the preview thread renders under the light lock and
// the LED buttons are repainted from the guarded colour buffer.
class CVantorixMousePadDevice : public CVantorixUSBDevice {
public:
    static constexpr const char* kClassName = "VantorixMousePadDevice";
    static constexpr size_t kLedCount = 15;
    static constexpr UINT kResyncDelayMs = 500;
    static constexpr int kPreviewStopMs = 1000;
    static constexpr UINT kBlockReadMessage = WM_DEVICE_LIGHTING_READ;
    static constexpr UINT kPowerStatusMessage = WM_DEVICE_POWER_STATUS;
    // Controls of the page.
    static constexpr const char* kStatusLabel = "pad_status_label";
    static constexpr const char* kEffectCombo = "pad_effect_combo";
    static constexpr const char* kBrightnessSlider = "pad_brightness_slider";
    static constexpr const char* kSpeedSlider = "pad_speed_slider";
    static constexpr const char* kColourCycleCheck = "pad_colour_cycle_check";
    static constexpr const char* kColourOptionPrefix = "pad_colour_option_";
    static constexpr const char* kColourButton = "pad_colour_btn";
    static constexpr const char* kCurrentColour = "pad_colour_current";
    static constexpr int kColourOptions = 8;

    explicit CVantorixMousePadDevice(std::shared_ptr<IHidBus> bus = DefaultHidBus(), LightRenderer::Clock clock = {});

    // What a device with the pad's lighting block differs in (the headset is one).
    struct Variant {
        uint16_t kind;
        const char* folder;
        size_t ledCount;
        int listIndex;
    };
    ~CVantorixMousePadDevice() override;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;

    // ---- overridden device operations ----
    void BindPageControls() override;
    bool Initialize() override;
    void ReadDevice() override;
    void RefreshFromDevice() override;
    void RefreshStatus() override;
    bool LoadProfile() override;
    void AfterLoad() override;
    void ApplyExtra() override;
    bool WriteProfileToDevice() override;
    bool WriteLightingToDevice() override;
    void BuildPage() override;
    void UpdateProfilePaths() override;
    std::string GetProfileFilePath() const override;
    void SaveProfile() override;
    void SetLightParams(uint32_t first, uint32_t second, uint32_t word1, uint32_t word2) override;
    void SetLightState(const LightState& light) override;
    void SetProfileId(std::string id) override { profileId_ = std::move(id); }
    std::string GetProfileId() const override { return profileId_; }

    bool AttachListener(const std::string& path, int kind) override;
    void DetachListener(int kind) override;
    bool IsListening(int kind) const override { return listener_.IsAttached(kind); }
    void OnDeviceRemoved() override;
    bool OnPageNotify(TNotifyUI& msg) override;
    LightInfoRecord GetPanelLight() override { return controller_.BlockLight(); }
    bool ApplyPanelLight(const LightInfoRecord& light) override {
        ApplyLight(light);
        return true;
    }

    // The settings block at block `block` (every caller gives 0); the device result.
    int WriteLightingToDevice(uint8_t block);

    // ---- page changes (the dispatcher's targets; also for tests) ----
    void OnEffect(int mode);
    void OnBrightness(int level);
    void OnSpeed(int level);
    void OnColourCycle(bool on);
    void OnColour(uint32_t argb);

    // ---- state ----
    MousePadController& Controller() { return controller_; }
    CBasicProfiledata& Profile() { return profile_; }
    void SetMainWindow(HWND hwnd) { mainWindow_ = hwnd; }
    using ColourChooser = std::function<std::optional<uint32_t>(uint32_t initial)>;
    void SetColourChooser(ColourChooser chooser) { colourChooser_ = std::move(chooser); }
    bool IsPreviewRunning() const { return preview_.IsRunning(); }
    uint32_t PreviewSteps() const { return previewSteps_.load(); }
    // The last write was refused or not answered; the page says so.
    bool ShowsWriteFailed() const { return writeFailed_; }
    const std::vector<std::string>& MacroNames() const { return macroNames_; }
    const std::vector<std::string>& CustomLightNames() const { return customLightNames_; }
    // One preview step of mode `mode` (the preview thread's step; also for benchmarks).
    void PreviewStep(int mode);

protected:
    CVantorixMousePadDevice(std::shared_ptr<IHidBus> bus, LightRenderer::Clock clock, const Variant& variant,
                            std::unique_ptr<CBasicProfiledata> profile);

private:
    void RunPreview(const q208::Event& stop);
    void StartPreview();
    void StopPreview();
    void SyncLightState();
    bool ReadSettingsFromDevice();
    // The lighting editor's change: profile, save, block from the profile, write.
    void ApplyLight(const LightInfoRecord& light);
    void NoteWrite(int result);
    void FillEffectCombo();
    void ShowLighting();
    HWND MainWindow() const;
    CControlUI* Find(const std::string& name) const;
    template <typename Fn>
    void RenderPad(Fn&& fn) {
        Render([&](LightRenderer& r, std::span<KeyColour> keys) { fn(static_cast<MousePadRenderer&>(r), keys); });
    }

    Variant variant_;
    std::unique_ptr<CBasicProfiledata> ownedProfile_;
    CBasicProfiledata& profile_;
    MousePadController controller_;
    std::string profileId_;
    std::vector<std::string> macroNames_;
    std::vector<std::string> customLightNames_;
    std::vector<std::string> comboNames_;  // the effect names the combo holds
    HWND mainWindow_ = 0;
    ColourChooser colourChooser_;
    bool writeFailed_ = false;
    std::atomic<int> previewMode_{0};
    std::atomic<int> previewSpeed_{2};
    std::atomic<uint32_t> previewSteps_{0};
    // The threads last: they stop before the members they use go.
    MousePadListener listener_;
    WorkerThread preview_{"mp-preview"};
};

}  // namespace q208
