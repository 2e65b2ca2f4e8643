#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "devices/base/DeviceMessages.h"
#include "device/CDeviceCommands.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "devices/keyboard/KeyboardAnimationThread.h"
#include "devices/keyboard/KeyboardAnimator.h"
#include "devices/keyboard/KeyboardCustomLighting.h"
#include "devices/lighting/KeyboardEffectList.h"
#include "devices/keyboard/KeyboardFrameSender.h"
#include "devices/keyboard/KeyboardLightingRecord.h"
#include "devices/keyboard/KeyboardListener.h"
#include "devices/keyboard/KeyboardMemory.h"
#include "profile/CKeyboardProfiledata.h"
#include "ui/UiTypes.h"

namespace q208 {

class CMessageQueue;

// The keyboard of the bundle, on its cable or behind the receiver: its page, its profile,
// what the host knows of its memory, the two input-report listeners and the lighting
// animation thread.
//
// Threads: everything here runs on the UI thread except the listeners (key events go to
// the animator, which is locked; re-sync and entry changes are handed to the UI thread as
// tasks) and the animation thread (animator, per-key colours, frame sender). Removing the
// device (OnDeviceRemoved, or destruction) stops all three.
class CVantorixKeyboardDevice : public CVantorixUSBDevice {
public:
    static constexpr const char* kClassName = "VantorixKeyboardDevice";
    static constexpr int kCustomEffect = KeyboardCustomLighting::kCustomEffect;
    // The lighting panel's custom-mode drop-down; without it the custom colours are not stored.
    static constexpr const char* kCustomModeSelect = "light_combo_custommodeSelect";
    static constexpr UINT kPowerStatusMessage = WM_DEVICE_POWER_STATUS;
    static constexpr int kProfileSection = 0;

    explicit CVantorixKeyboardDevice(std::shared_ptr<IHidBus> bus = DefaultHidBus(), LightRenderer::Clock clock = {});
    ~CVantorixKeyboardDevice() override;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;

    // ---- overridden device operations ----
    bool Initialize() override;
    void SendLightFrame() override;
    bool StreamsLightFrames() const override;
    void ReadDevice() override;
    void RefreshFromDevice() override;
    void RefreshStatus() override;
    bool IsOnline() override;
    uint32_t FirmwareVersion() const override { return FirmwareVersionOf(memory_.Info()); }
    bool LoadProfile() override;
    void AfterLoad() override;
    // Writes the profile's key assignments to bank 0.
    bool WriteKeyMapToDevice() override;
    // Writes the macros the profile's keys play (none: nothing is sent, false).
    bool WriteMacrosToDevice() override;
    // Writes the profile's lighting to the active entry.
    bool WriteLightingToDevice() override;
    // A profile switch: key map, macros and lighting of the loaded profile, in that order;
    // false when one of them failed (the others are still written).
    bool WriteProfileToDevice() override;
    void BuildPage() override;
    void UpdateProfilePaths() override;
    std::string GetProfileFilePath() const override;
    void SaveProfile() override;
    void SetOptionState(int first, int second, int third) override;
    // Music lighting: waves while effect 29 runs its music pattern; the record's first three
    // values colour them.
    void OnAudioFrame(std::span<const int32_t> bands, int count) override;
    void OnAudioRecord(std::span<const int32_t> record, int count) override;
    bool InMusicMode() const { return animator_.InMusicMode(); }
    // Switches to effect 29's music pattern, or back to the lighting it had before.
    void SetMusicMode(bool on);
    const std::array<int32_t, 6>& AudioRecord() const { return audioRecord_; }
    void SetLightState(const LightState& light) override;
    LightInfoRecord GetPanelLight() override { return profile_.GetLightInfo(); }
    bool ApplyPanelLight(const LightInfoRecord& light) override;
    // While synchronised the animation thread rests and each painted step goes out as a
    // host colour frame (the colour change brings the light-frame timer's send).
    void SetSynchronised(bool synchronised) override;
    std::vector<KeyAssignmentRecord> GetKeyAssignments() override;
    bool StoreKeyAssignment(int index, const KeyAssignmentHalf& current) override;

    // ---- keyboard operations with their arguments ----
    // 1, 0 with a closed channel, or the device result of the key-map write.
    int WriteKeyMapToDevice(int bank, std::span<const KeyAssignmentRecord> assignments);
    int WriteMacrosToDevice(std::span<const int> macroNumbers);
    // Block place by block place, the macro number there, or -1 for a place no key plays.
    std::vector<int> AssignedMacroPlaces();
    // Lighting record m from the profile with `activeEntry` in byte 0. 1 when written or with
    // a closed channel; a failed write reports its device result.
    int WriteLightingToDevice(uint8_t entry, uint8_t activeEntry);

    // Listeners: kind 1 the wired vendor interface, 9 the receiver's.
    bool AttachListener(const std::string& path, int kind) override;
    void DetachListener(int kind) override;
    bool IsListening(int kind) const override { return listener_.IsAttached(kind); }
    // The device went away: listeners (500 ms each) and animation thread (1000 ms) stopped,
    // command channel closed.
    void OnDeviceRemoved() override;

    // Custom lighting of effect 18.
    void FillCustomColours(bool bright);
    void ReloadCustomColours();
    void PaintKey(int row);
    int GetPaintNumber() const { return custom_.PaintNumber(); }
    void SetPaintNumber(int number) { custom_.SetPaintNumber(number); }

    // ---- state ----
    void SetProfileId(std::string id) override { profileId_ = std::move(id); }
    std::string GetProfileId() const override { return profileId_; }
    CKeyboardProfiledata& Profile() { return profile_; }
    const KeyboardMemory& Memory() const { return memory_; }
    const KeyboardEffectList& Effects() const { return effects_; }
    void SetEffects(KeyboardEffectList effects) { effects_ = std::move(effects); }
    LightState GetKeyboardLight() const { return animator_.GetLightState(); }
    void SetKeyboardLight(const LightState& light);
    void SetHostColour(Rgb colour) { animator_.SetHostColour(colour); }
    KeyboardAnimator& Animator() { return animator_; }
    const KeyboardLightingRecord::Bytes& LightingRecordCopy() const { return recordCopy_; }
    int GetActiveEntry() const { return activeEntry_.load(); }
    int GetLightingSubValue() const { return subValue_.load(); }
    bool IsAnimating() const { return animation_.IsRunning(); }
    uint32_t PageRefreshes() const { return pageRefreshes_.load(); }

    // The main window (receiver of the power-status message); 0: the page's own window.
    void SetMainWindow(HWND hwnd) { mainWindow_ = hwnd; }
    // Set by the main window while it must not poll the power status.
    void SetStatusHold(bool hold) { statusHold_ = hold; }
    // The profile is reloaded by the next RefreshFromDevice.
    void RequestProfileReload() { reloadPending_ = true; }

private:
    KeyboardListener::Handlers ListenerHandlers();
    void OnListenerEvent(uint16_t event);
    // Runs fn on the UI thread while this page exists.
    void ReadLightingSetting();
    void ApplyLightState(const LightState& light);
    int WriteLightingRecord(uint8_t entry, const KeyboardLightingRecord::Bytes& record);
    std::optional<KeyboardCustomLighting::Store> CustomStore();
    HWND MainWindow() const;

    CKeyboardProfiledata profile_;
    std::string profileId_;
    KeyboardMemory memory_;
    KeyboardEffectList effects_;
    CDeviceCommands commands_;
    KeyboardLightingRecord::Bytes recordCopy_{};
    std::atomic<int> activeEntry_{0};
    std::atomic<int> subValue_{0};
    std::vector<KeyAssignmentRecord> keyList_;
    std::vector<int> macroNumbers_;
    HWND mainWindow_ = 0;
    bool statusHold_ = false;
    bool reloadPending_ = false;
    std::atomic<uint32_t> pageRefreshes_{0};
    std::array<int32_t, 6> audioRecord_{};
    std::atomic<bool> musicWanted_{false};
    std::optional<LightState> beforeMusic_;
    int patternBeforeMusic_ = 0;

    KeyboardAnimator animator_;
    KeyboardFrameSender sender_;
    KeyboardCustomLighting custom_;
    // The threads last: they are stopped (destroyed) before what they use.
    KeyboardListener listener_;
    KeyboardAnimationThread animation_;
};

}  // namespace q208
