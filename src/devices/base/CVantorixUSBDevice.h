#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "device/CDeviceChannel.h"
#include "device/DeviceSlot.h"
#include "platform/Event.h"
#include "devices/lighting/KeyColourBuffer.h"
#include "devices/lighting/KeyStateBuffer.h"
#include "devices/lighting/LightRenderer.h"
#include "profile/ProfileRecords.h"
#include "ui/CHorizontalLayoutUI.h"
#include "ui/CNotifyPump.h"

namespace q208 {

class CDeviceOptionUI;
class CMessageQueue;
class IDeviceKeyButton;
class IDevicePowerPanel;
class IDeviceProfilePanel;

// The common base of every device object. It is the device's page (a horizontal layout of
// the window layer, built from the model's layout) and the holder of the device logic: the
// command and listener channels, the key and light buttons of the page, the per-key colours
// and the host renderers, the key-state buffer and marquee ring of the reactive effects,
// the function mode and the device's entry and power panel.
//
// The device classes override the operations declared here; the base behaviour is what a
// device without that feature does. Threads: the UI thread calls everything that touches
// controls; the renderers, per-key colours, key states and light state may also be used
// from an animation thread (each is guarded).
class CVantorixUSBDevice : public CHorizontalLayoutUI, public INotifyUI, public CNotifyPump {
public:
    static constexpr const char* kClassName = "VantorixUSBDevice";
    static constexpr size_t kDefaultColourCount = kMaxLightKeys;

    explicit CVantorixUSBDevice(std::shared_ptr<IHidBus> bus = DefaultHidBus(),
                                LightRenderer::Clock clock = {}, size_t colourCount = kDefaultColourCount);
    // A device class with renderers of its own hands the base its renderer: the device
    // then has one light state and one key-state buffer.
    CVantorixUSBDevice(std::shared_ptr<IHidBus> bus, std::unique_ptr<LightRenderer> renderer, size_t colourCount);
    ~CVantorixUSBDevice() override;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;
    void Notify(TNotifyUI& msg) override;

    // ---- the device's own operations, in this order ----
    virtual void BindPageControls();
    virtual bool Initialize();
    virtual void RenderBreathing();
    virtual void RenderBreathingCycle();
    virtual void RenderStatic();
    virtual void RenderSpectrum();
    virtual void RenderBlink();
    virtual void RenderBlinkCycle();
    virtual void RenderOff();
    // Shows the per-key colours on the light buttons; the device classes also send them.
    virtual void SendLightFrame();
    // True while the light-frame timer has frames to send to the device; when it has none the
    // timer rests and a change of the colours alone brings the light buttons up to date.
    virtual bool StreamsLightFrames() const { return false; }
    virtual void SetKeyColour(int index, uint32_t value);
    virtual uint32_t GetKeyColour(int index) const;
    virtual void ReadDevice() {}
    virtual void RefreshFromDevice() {}
    virtual void Reserved15() {}
    virtual void Reserved16() {}
    virtual void RefreshStatus() {}
    virtual bool IsOnline() { return true; }
    // The firmware version from the device's information block (bytes 0 and 1, low byte
    // first); 0 while the block has not been read or the device has none.
    virtual uint32_t FirmwareVersion() const { return 0; }
    static uint32_t FirmwareVersionOf(std::span<const uint8_t> infoBlock) {
        return infoBlock.size() < 2 ? 0u : infoBlock[0] | static_cast<uint32_t>(infoBlock[1]) << 8;
    }
    // Period of the keep-alive sequence in minutes.
    virtual int KeepAliveMinutes() const { return 1; }
    virtual bool LoadProfile() { return false; }
    virtual void AfterLoad() {}
    virtual void ApplyLighting() {}
    virtual void ApplyExtra() {}
    virtual std::vector<std::string> GetMacroList() { return {}; }
    virtual bool WriteKeyMapToDevice() { return false; }
    virtual bool WriteProfileToDevice() { return false; }
    virtual bool WriteMacrosToDevice() { return false; }
    virtual bool WriteLightingToDevice() { return false; }
    virtual void BuildPage() {}
    virtual void SetKeyGroups(const std::map<int, int>& groups);
    virtual uint8_t FadeStep(int key, int mode);
    virtual void MarkRing();
    virtual void RotateRing(bool up);
    virtual void ClearKeyStates();
    virtual void SetFunctionMode(int mode);
    virtual int GetFunctionMode() const { return functionMode_.load(); }
    virtual void UpdateProfilePaths() {}
    // The profile the device loads next (a plain identifier; see UpdateProfilePaths).
    virtual void SetProfileId(std::string /*id*/) {}
    virtual std::string GetProfileId() const { return {}; }
    virtual std::string GetProfileFilePath() const { return {}; }
    virtual void SaveProfile() {}
    // The device's list number: which effect list of the effect file is the device's.
    virtual void SetLanguage(int language) { language_ = language; }
    virtual int GetLanguage() const { return language_.load(); }
    virtual void SetLightParams(uint32_t first, uint32_t second, uint32_t word1, uint32_t word2);
    virtual void SetOptionState(int first, int second, int third);
    virtual void GetOptionState(int& first, int& second, int& third) const;
    virtual void SetStatusIndex(int index) { statusIndex_ = index; }
    // Music lighting: the 25 band values of a level frame (count 500, the frame's size), and
    // the recorder's short record (count 6). Devices without music lighting ignore them.
    virtual void OnAudioFrame(std::span<const int32_t> /*bands*/, int /*count*/) {}
    virtual void OnAudioRecord(std::span<const int32_t> /*record*/, int /*count*/) {}
    // ---- lighting as the page's lighting panel edits it ----
    // The lighting setting the profile keeps for the device.
    virtual LightInfoRecord GetPanelLight() { return {}; }
    // Stores the setting in the profile, saves it, shows it and sends it to the device;
    // false when the device has no lighting of its own.
    virtual bool ApplyPanelLight(const LightInfoRecord& /*light*/) { return false; }
    // Same-mode lighting: while synchronised the device shows the colours the light
    // synchronisation thread paints instead of rendering its own effect.
    virtual void SetSynchronised(bool synchronised) { synchronised_ = synchronised; }
    bool IsSynchronised() const { return synchronised_.load(); }
    // The colour word of one synchronised step on all lights of the device, in one update.
    void PaintSyncColour(uint32_t word);
    // Called on the UI thread each time the page shows a newly loaded or read setting, so
    // that the page's lighting panel can follow.
    void SetPageLoadedListener(std::function<void()> listener) { pageLoaded_ = std::move(listener); }

    // ---- input-report listeners and removal (devices with listeners override them) ----
    // kind 1: the device's own vendor interface, 9: the receiver's.
    virtual bool AttachListener(const std::string& /*path*/, int /*kind*/) { return false; }
    virtual void DetachListener(int /*kind*/) {}
    virtual bool IsListening(int /*kind*/) const { return false; }
    // The device went away: its threads stop and its channels close.
    virtual void OnDeviceRemoved() { commandChannel_.CloseAll(); }
    // ---- key assignments (devices with a key map override them) ----
    // The profile's assignments; entry i is what key button "key_" i of the page does.
    virtual std::vector<KeyAssignmentRecord> GetKeyAssignments() { return {}; }
    // Entry `index` gets `current` in the profile, which is saved; false when there is no
    // such entry. WriteKeyMapToDevice then sends it.
    virtual bool StoreKeyAssignment(int /*index*/, const KeyAssignmentHalf& /*current*/) { return false; }
    // Each key button shows the key-set marker while its key does not do what it does from
    // the factory.
    void ShowKeySetMarks();

    // A notification of a control on the device's page, passed on by the main window;
    // false when the device has no use for it.
    virtual bool OnPageNotify(TNotifyUI& msg) { return OnPageTab(msg); }
    // The page's function options ("device_page_tab_N") show page N of the function switch.
    bool OnPageTab(TNotifyUI& msg);

    // ---- plain accessors ----
    CDeviceChannel& CommandChannel() { return commandChannel_; }
    CDeviceChannel& ListenerChannel() { return listenerChannel_; }
    int GetKind() const { return kind_.load(); }
    int GetSubKind() const { return subKind_.load(); }
    void SetKind(int kind, int subKind) {
        kind_ = kind;
        subKind_ = subKind;
    }
    const DeviceSlot& GetSlot() const { return slot_; }
    void SetSlot(const DeviceSlot& slot) { slot_ = slot; }

    // The page layout; empty: the page has no key buttons.
    const std::string& GetLayoutName() const { return layoutName_; }
    void SetLayoutName(std::string name) { layoutName_ = std::move(name); }
    // The three display strings; the last is the model folder of the file paths.
    void SetDisplayStrings(std::string first, std::string second, std::string modelFolder);
    const std::array<std::string, 3>& GetDisplayStrings() const { return displayStrings_; }
    const std::string& GetModelFolder() const { return displayStrings_[2]; }

    // Sizes the key and light button tables (before BindPageControls).
    void SetButtonCounts(int keyCount, int lightCount);
    int GetKeyCount() const { return keyCount_; }
    int GetLightCount() const { return lightCount_; }
    CControlUI* GetKeyButton(int index) const;
    CControlUI* GetLightButton(int index) const;

    std::vector<uint32_t>& KeyFunctions() { return keyFunctions_; }
    std::map<int, int>& TableToKeyMap() { return tableToKey_; }
    std::map<int, int>& TableToLedMap() { return tableToLed_; }
    const std::map<int, int>& KeyGroups() const { return keyGroups_; }

    KeyColourBuffer& KeyColours() { return colours_; }
    LightState GetLightState() const;
    // A device whose renderers prepare each effect overrides this to restart them.
    virtual void SetLightState(const LightState& light);
    AnimationState GetAnimationState() const;
    uint8_t KeyState(int key) const;
    void SetKeyState(int key, uint8_t level);
    uint8_t RingByte(int position) const;
    void SetRingByte(int position, uint8_t value);

    // The device's entry in the device list and its power panel (controls of the window;
    // forgotten automatically when they are destroyed).
    void SetOptionPanel(CDeviceOptionUI* option);
    CDeviceOptionUI* GetOptionPanel() const;
    void SetPowerPanel(CControlUI* panel);
    CControlUI* GetPowerPanel() const;
    IDevicePowerPanel* PowerPanel() const;

    bool IsWirelessCapable() const { return wirelessCapable_.load() != 0; }
    void SetWirelessCapable(bool capable);
    // The model's three configuration values: key buttons and light buttons of the page, and
    // whether the device runs on a battery (its power panel and status polling).
    void Configure(int keyCount, int lightCount, int wirelessCapable);

    // The language the user reads, apart from the list number above.
    void SetDisplayLanguage(int index) { displayLanguage_ = index; }
    int GetDisplayLanguage() const { return displayLanguage_.load(); }

    // What the main window tells its devices: whether it is shown, whether it has the
    // focus (or, without it, the pointer), and whether more than one device entry is
    // visible (lighting several devices together is offered only then). A class that
    // reacts to them overrides the setters and calls these.
    virtual void SetWindowShown(bool shown) { windowShown_ = shown; }
    virtual void SetWindowFocus(bool focused) { windowFocus_ = focused; }
    virtual void SetSeveralDevicesShown(bool several) { severalDevices_ = several; }
    bool IsWindowShown() const { return windowShown_.load(); }
    bool HasWindowFocus() const { return windowFocus_.load(); }
    bool SeveralDevicesShown() const { return severalDevices_.load(); }
    // Whether the device's page is on screen (selected, window shown and not minimised):
    // on-screen previews rest while nobody can see them.
    void SetPageShown(bool shown) {
        if (!pageShown_.exchange(shown) && shown) previewWake_.Set();
    }
    bool IsPageShown() const { return pageShown_.load(); }
    // A resting preview waits on this until its page is shown again or what it shows
    // changed, instead of waking on a short period to look.
    void WakePreview() { previewWake_.Set(); }
    const q208::Event& PreviewWake() const { return previewWake_; }
    // Rests the calling preview thread up to `ms`; true when `stop` was set meanwhile. The
    // bound is a safety net only: showing the page wakes it at once.
    static constexpr int kPreviewRestMs = 1000;
    bool RestPreview(const q208::Event& stop, int ms) const { return q208::Event::WaitAny({&stop, &previewWake_}, ms) == 0; }

    // Stores the value; a keyboard also turns host lighting on (0x1C) when it is not 0.
    // Returns the device result of that command, 1 when nothing had to be sent.
    int SetHostLighting(int value);
    int GetHostLighting() const { return hostLighting_.load(); }

    int GetStatusIndex() const { return statusIndex_.load(); }
    std::array<uint32_t, 4> GetLightParams() const;

    // "<data root>/DefaultData/<model folder>.Json".
    std::filesystem::path DefaultProfilePath() const;
    // "<user data folder>/<model folder>", created level by level.
    std::filesystem::path UserFolder() const;

    // The profile panel of the page, or null.
    IDeviceProfilePanel* ProfilePanel();

    // The first "SelectPanel" of the page, or null.
    CControlUI* FindSelectPanel() const;

protected:
    void BindProfilePanel();
    // The end of AfterLoad: tells the page-loaded listener.
    void TellPageLoaded() {
        if (pageLoaded_) pageLoaded_();
    }
    // Runs fn on the UI thread unless the device is gone by then; false when no UI thread
    // takes it (a device made without a message queue).
    bool PostToUi(std::function<void()> fn);
    // Runs one renderer over the per-key colours under the light lock.
    template <typename Fn>
    void Render(Fn&& fn) {
        std::lock_guard lock(lightMutex_);
        colours_.Update([&](std::span<KeyColour> keys) { fn(*renderer_, keys); });
    }
    // The renderer and the lock that guards it, for a device class that animates itself.
    LightRenderer& SharedRenderer() { return *renderer_; }
    std::mutex& LightMutex() { return lightMutex_; }
    // Sets the selection of a switch control of the page (tab layout or combo).
    void SelectSwitch(std::string_view name, int index);

private:
    template <typename T>
    struct Watched {
        T* control = nullptr;
        std::weak_ptr<int> life;
        T* Get() const { return life.expired() ? nullptr : control; }
    };

    CDeviceChannel commandChannel_;
    CDeviceChannel listenerChannel_;
    std::vector<uint32_t> keyFunctions_;
    std::string layoutName_;
    std::array<std::string, 3> displayStrings_;
    std::atomic<int> kind_{0};
    std::atomic<int> subKind_{0};
    DeviceSlot slot_;
    int keyCount_ = 0;
    int lightCount_ = 0;
    std::vector<CControlUI*> keyButtons_;
    std::vector<CControlUI*> lightButtons_;
    std::map<int, int> tableToKey_;
    std::map<int, int> tableToLed_;
    std::map<int, int> keyGroups_;
    KeyColourBuffer colours_;
    // Posts one "colours changed" to the UI thread at a time, whichever thread renders.
    void OnColoursChanged();
    std::weak_ptr<CMessageQueue> uiQueue_;
    std::atomic<bool> coloursPosted_{false};
    static constexpr uint64_t kNothingShown = ~uint64_t{0};
    uint64_t shownGeneration_ = kNothingShown;  // the colours' generation the light buttons show
    mutable std::mutex lightMutex_;  // renderer (light, animation and key states)
    std::unique_ptr<LightRenderer> renderer_;
    std::array<uint32_t, 4> lightParams_{};
    std::atomic<int> functionMode_{1};
    Watched<CDeviceOptionUI> option_;
    Watched<CControlUI> powerPanel_;
    std::atomic<int> hostLighting_{0};
    std::atomic<int> wirelessCapable_{0};
    std::atomic<int> language_{0};
    std::atomic<int> displayLanguage_{-1};
    std::atomic<bool> windowShown_{false};
    std::atomic<bool> windowFocus_{false};
    std::atomic<bool> severalDevices_{false};
    std::atomic<bool> pageShown_{true};
    q208::Event previewWake_{q208::Event::ResetMode::Auto};
    std::atomic<bool> synchronised_{false};
    std::function<void()> pageLoaded_;
    std::array<int, 3> optionState_{};
    std::atomic<int> statusIndex_{-1};
};

}  // namespace q208
