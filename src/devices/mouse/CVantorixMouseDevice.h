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
#include "devices/mouse/MouseController.h"
#include "devices/mouse/MouseListener.h"
#include "devices/mouse/MousePreviewSchedule.h"
#include "devices/mouse/MouseRenderer.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"
#include "profile/CMouseProfiledata.h"
#include "ui/UiTypes.h"

namespace q208 {

class CMessageQueue;
struct TNotifyUI;

// The wireless mouse, on its cable or behind the receiver: its page (DPI stages, polling
// rate, sleep times, logo LED, the pointer settings), its profile, the two input-report
// listeners and the lighting preview of its LEDs. The settings logic itself is the
// toolkit-free MouseController; this class moves values between it and the page.
//
// Threads: the page and every device sequence run on the UI thread; the listeners hand
// their work to the UI thread as tasks (the reactive start goes to the renderer under the
// light lock); the preview thread renders under the light lock and the LED buttons are
// repainted from the guarded colour buffer.
class CVantorixMouseDevice : public CVantorixUSBDevice {
public:
    static constexpr const char* kClassName = "VantorixMouseDevice";
    static constexpr UINT kPowerStatusMessage = WM_DEVICE_POWER_STATUS;
    static constexpr int kStageCount = MouseController::kStageCount;
    static constexpr int kPreviewStopMs = 1000;
    static constexpr const char* kStatusLabel = "mouse_status_label";
    static constexpr int kSettingTabs = 2;  // the settings rows, the fire-key editor

    explicit CVantorixMouseDevice(std::shared_ptr<IHidBus> bus = DefaultHidBus(), LightRenderer::Clock clock = {});
    ~CVantorixMouseDevice() override;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;

    // ---- overridden device operations ----
    void BindPageControls() override;
    bool Initialize() override;
    void SendLightFrame() override;
    void ReadDevice() override;
    void RefreshFromDevice() override;
    void RefreshStatus() override;
    bool IsOnline() override;
    uint32_t FirmwareVersion() const override {
        return controller_.Memory().HasInfo() ? FirmwareVersionOf(controller_.Memory().Info()) : 0;
    }
    int KeepAliveMinutes() const override;
    bool LoadProfile() override;
    void AfterLoad() override;
    void ApplyLighting() override;
    void ApplyExtra() override;
    std::vector<std::string> GetMacroList() override;
    bool WriteKeyMapToDevice() override;
    bool WriteProfileToDevice() override;
    bool WriteMacrosToDevice() override;
    // The fire key's gun files: the user's (edited and sent) and the factory copies.
    std::filesystem::path ShootWorkFolder() const { return UserFolder(); }
    static std::filesystem::path ShootFactoryFolder();
    // Sends the four gun files as the shoot block; the page shows a sleeping mouse.
    ShootBlock::Upload WriteShootToDevice();
    bool WriteLightingToDevice() override;
    void BuildPage() override;
    void UpdateProfilePaths() override;
    std::string GetProfileFilePath() const override;
    void SaveProfile() override;
    void SetLightParams(uint32_t first, uint32_t second, uint32_t word1, uint32_t word2) override;
    void SetFunctionMode(int mode) override;
    void SetLightState(const LightState& light) override;
    std::vector<KeyAssignmentRecord> GetKeyAssignments() override { return controller_.Buttons(); }
    bool StoreKeyAssignment(int index, const KeyAssignmentHalf& current) override;

    bool AttachListener(const std::string& path, int kind) override;
    void DetachListener(int kind) override;
    bool IsListening(int kind) const override { return listener_.IsAttached(kind); }
    void OnDeviceRemoved() override;

    // A notification of a control of this page; false when it is not one of the mouse's.
    bool OnPageNotify(TNotifyUI& msg) override;
    LightInfoRecord GetPanelLight() override { return profile_.GetLightInfo(); }
    bool ApplyPanelLight(const LightInfoRecord& light) override;

    // ---- mouse operations with their arguments ----
    int WriteKeyMapToDevice(int bank, int macroCount);
    // The settings block at block `block` with value `value` (every caller passes 0, 0).
    int WriteLightingToDevice(uint8_t block, uint8_t value);

    // ---- page changes (the dispatcher's targets; also for tests) ----
    void OnStageSlider(int stage, int step);
    void OnStageEdit(int stage, const std::string& text);
    void OnStageSelect(int stage);
    void OnStageEnable(int stage, bool enabled);
    void OnStageColour(int stage, uint32_t argb);
    void OnPolling(int option);
    void OnSleepCombo(MouseController::Sleep which, int minutes);
    void OnLogo(int mode);

    // ---- state ----
    MouseController& Controller() { return controller_; }
    CMouseProfiledata& Profile() { return profile_; }
    void SetProfileId(std::string id) override { profileId_ = std::move(id); }
    std::string GetProfileId() const override { return profileId_; }
    void SetMainWindow(HWND hwnd) { mainWindow_ = hwnd; }
    // Opens the colour dialog for a stage's swatch (the main window's); none: cancelled.
    using ColourChooser = std::function<std::optional<uint32_t>(uint32_t initial)>;
    void SetColourChooser(ColourChooser chooser) { colourChooser_ = std::move(chooser); }
    void SetStatusHold(bool hold) { statusHold_ = hold; }
    bool IsPreviewRunning() const { return preview_.IsRunning(); }
    uint32_t PreviewSteps() const { return previewSteps_.load(); }
    uint32_t PageRefreshes() const { return pageRefreshes_.load(); }
    // The last write found the mouse asleep behind the receiver.
    bool ShowsAsleep() const { return asleep_; }
    // One preview step of mode `mode` (the preview thread's step; also for benchmarks).
    void PreviewStep(int mode);
    // The reactive start of a click reported over the receiver (mode 7 only).
    void StartReactivePreview();

private:
    MouseListener::Handlers ListenerHandlers();
    void RunPreview(const q208::Event& stop);
    void StartPreview();
    void StopPreview();
    void SyncLightState();
    // Save, then write the settings block; the page tells when the mouse did not hear it.
    void SaveAndWrite();
    void NoteWrite(int result);
    bool ReadSettingsFromDevice();
    void ShowStages();
    void ShowStage(int stage);
    void ShowEnableChecks();
    void ShowSettings();
    void SelectComboByData(const char* name, int value);
    HWND MainWindow() const;
    CControlUI* Find(const std::string& name) const;
    MouseRenderer& Renderer() { return static_cast<MouseRenderer&>(SharedRenderer()); }

    CMouseProfiledata profile_;
    MouseController controller_;
    std::string profileId_;
    std::vector<std::string> macroNames_;
    HWND mainWindow_ = 0;
    ColourChooser colourChooser_;
    bool statusHold_ = false;
    bool asleep_ = false;
    std::atomic<int> previewMode_{0};
    std::atomic<int> previewSpeed_{2};
    std::atomic<uint32_t> previewSteps_{0};
    std::atomic<uint32_t> pageRefreshes_{0};
    // The threads last: they stop before the members they use go.
    MouseListener listener_;
    WorkerThread preview_{"ms-preview"};
};

}  // namespace q208
