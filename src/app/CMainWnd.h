#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CopyDataInbox.h"
#include "app/DeviceModelTable.h"
#include "app/GameLighting.h"
#include "app/IMainWndShell.h"
#include "app/PowerNotifier.h"
#include "app/ProfileActions.h"
#include "editors/CMacroEditor.h"
#include "app/ThreadTable.h"
#include "device/CDeviceChannel.h"
#include "device/DeviceSlotList.h"
#include "device/HidBus.h"
#include "device/ReceiverLinkPoller.h"
#include "devices/lighting/LightState.h"
#include "platform/MessageEndpoint.h"
#include "ui/WindowImplBase.h"

namespace q208 {

class AudioLightingBridge;
class ChildWindows;
class CDetectionThread;
class CDeviceHook;
class CKeyAssignEditor;
class CMacroEditor;
class CDeviceOptionUI;
class CMpDevicePowerUI;
class CSetWnd;
class CSkinFrame;
class LanguageSettings;
class CVantorixUSBDevice;
class FileNoticeLine;
class MainWndDetectionHost;
class LightSyncGroup;

// How the main window is set up; the defaults are the program's.
struct MainWndSettings {
    std::shared_ptr<IHidBus> bus = DefaultHidBus();
    std::shared_ptr<IMainWndShell> shell = std::make_shared<IMainWndShell>();
    std::vector<DeviceClassStandIn> standIns = DeviceClassStandIns();
    std::string skinFile = "XML_MAIN";
    std::string languageFile = "lan_en.xml";
    // Listen for other programs in the runtime folder and announce the lighting there.
    bool openEndpoint = true;
    // Plugs, unplugs and links emulated devices (a simulating instance only): action, kind.
    std::function<bool(int action, int kind)> simControl;
    // Called once on the window's thread after the first detection pass was shown.
    std::function<void()> onFirstPass;
    // Called once on the window's thread when, after the first detection pass, every shown
    // device has been read once (or `settleLimitMs` passed): what a user first sees.
    std::function<void()> onSettled;
    UINT settleLimitMs = 3000;
    // Called once after the first frame was painted.
    std::function<void()> onFirstPaint;
    // Called instead of the message box when the desktop has no keyboard or mouse settings.
    std::function<void()> onNoDesktopSettings;
    // Language.config (empty: the program's default data), the settings file that keeps
    // the language (empty: the user's), and the folder of main.ini (empty: the user's).
    std::filesystem::path defaultDataFolder;
    std::filesystem::path settingsFile;
    std::filesystem::path userDataFolder;
    // Where suspend and resume notices come from (empty: the system's).
    std::function<std::unique_ptr<PowerNotifier::Source>()> powerSource;
    // How long a game event's lighting stays before the stored lighting returns.
    UINT gameLightRestoreMs = 5000;
    // How the profile panels ask the user (empty members: the message box and file dialogs).
    ProfileDialogs profileDialogs;
    // How the macro page asks the user (empty members: the message box, the file dialogs and
    // the event list's menu).
    MacroDialogs macroDialogs;
};

// Where the input hook's keyboard and mouse-macro events go: the key capture and macro
// recording of the editors. `name` is the registered name of the event.
using HookEventHandler = std::function<void(std::string_view name, WPARAM wParam, LPARAM lParam)>;

// The program's main window: the device list with one hidden page per model, the power
// panels, the no-device notice, the tray icon and menu, the detection thread and the
// receiver poll. Closing hides it to the tray; the tray menu's "exit" ends the program.
class CMainWnd : public WindowImplBase, private IReceiverLinkOwner {
public:
    // The size the window is created with, and the size DpiFit gives it at 96 DPI.
    static constexpr int kWindowWidth = 800;
    static constexpr int kWindowHeight = 572;
    static constexpr int kFitWidth = 1000;
    static constexpr int kFitHeight = 640;
    static constexpr UINT kReceiverFirstPollMs = 1000;
    static constexpr UINT kReceiverPollMs = 200;
    static constexpr UINT kDpiFitDelayMs = 100;
    static constexpr UINT kTrayMenuDelayMs = 10;

    explicit CMainWnd(MainWndSettings settings = {});
    ~CMainWnd() override;

    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    std::unique_ptr<CControlUI> CreateControl(std::string_view className) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

    // ---- operations of the device list ----
    void AttachSlot(size_t slot) override;
    void DetachSlot(size_t slot) override;
    void ShowOption(int index, bool visible, bool select);
    void HideOption(int index);
    void SelectNeighbour(int step);
    void BringToFront();
    void DpiFit();
    // The device object of the visible selected option, else of the last option.
    CVantorixUSBDevice* CurrentDevice() const;

    // ---- what tests and tools look at ----
    int OptionCount() const;
    CDeviceOptionUI* OptionAt(int index) const;
    int OptionIndexOfModel(int model) const;
    int VisibleOptionCount() const;
    CVantorixUSBDevice* DeviceOfModel(int model) const;
    DeviceSlotList& Slots() { return *slots_; }
    int WindowDpi() const { return windowDpi_; }
    bool FirstPassSeen() const { return firstPassSeen_; }
    bool KeyboardPresent() const { return keyboardPresent_; }
    bool MousePresent() const { return mousePresent_; }
    const ReceiverLinkPoller& ReceiverPoller() const { return receiverPoller_; }
    bool ThreadsRunning() const;
    // The screen-size rule of the window's DPI.
    static int DpiForMonitor(UiSize monitor);

    UINT ProductMessage() const { return productMessage_; }

    // ---- the hub: light control, power, language, skin, child windows ----
    // 1 while this program drives the device lighting.
    int LightControl() const { return lightControl_; }
    // False between the system's suspend and resume notices.
    bool PowerRunning() const { return powerRunning_; }
    bool HookInstalled() const { return hookInstalled_; }
    bool IsActive() const { return active_; }
    bool IsHovered() const { return hovered_; }
    LanguageSettings& Language() { return *language_; }
    // The settings window while it is open, else null.
    CSetWnd* SettingsWindow() const;
    CSkinFrame* SkinFrame() const;
    void OpenSettingsWindow();
    void OpenSkinFrame();
    void CloseChildWindows();
    void SetHookEventHandler(HookEventHandler handler) { hookHandler_ = std::move(handler); }
    // The input hook (installed by WM_HOOK_CONTROL) and the key editor of the pages.
    CDeviceHook* Hook() const { return hook_.get(); }
    CKeyAssignEditor* KeyEditor() const { return keyEditor_.get(); }
    CMacroEditor* MacroEditor() const { return macroEditor_.get(); }
    ChildWindows& Children() { return *children_; }
    // The music lighting (null when the window does not listen for other programs).
    AudioLightingBridge* AudioLighting() const { return audio_.get(); }
    // Switches every keyboard to its music pattern or back; false without a keyboard.
    bool SetMusicMode(bool on);
    bool MusicModeWanted() const;
    // Same-mode lighting: the synchronised devices, their settings and thread (slot 8).
    LightSyncGroup& LightSyncing() { return *lightSync_; }

protected:
    std::string GetWindowClassName() const override { return "MainWnd"; }
    std::string GetSkinFile() override { return settings_.skinFile; }
    LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    void OnPaintSurface(IRenderTarget& target, const UiRect& dirty) override;
    virtual void OnCopyData(const EndpointMessage& message);

private:
    struct Page;

    void OnWindowInit();
    void OnTimer(UINT id);
    void OnClick(TNotifyUI& msg);
    void OnDeviceSelectChanged(TNotifyUI& msg);
    void OnTray(LPARAM pointerMessage);
    void HideToTray();
    // The keyboard and mouse objects hear whether the window is shown and has the focus.
    void TellWindowShown(bool shown);
    // Tells every device whether its page is on screen now.
    void UpdatePagesShown();
    void TellWindowFocus(bool focused);
    void SetMaximized(bool maximized);
    void OpenDesktopSettings(int panel);
    void OnMenu(WPARAM wParam);
    bool OnSimControl(WPARAM action, LPARAM kind);
    void OnDeviceArrival(size_t slot);
    void OnDeviceRemoval(size_t slot);
    void OnReceiverPoll();
    void OnSettleCheck();
    void OnOptionSelected(int index);
    void OnMusicModeTimer();

    bool BuildModelPage(int model);
    std::unique_ptr<CControlUI> BuildSubLayout(std::string_view className);
    int OptionIndexOf(const CVantorixUSBDevice* device) const;
    CVantorixUSBDevice* DeviceForSlotKind(uint16_t kind) const;
    // Whether the keyboard or mouse that `receiverKind` links is on its own cable.
    bool CablePresent(uint16_t receiverKind) const;
    void AttachListenerOf(CVantorixUSBDevice& device, uint16_t slotKind);
    void UpdateNoDeviceNotice();
    void SelectTab(const std::string& name, int page);
    void StartThreads();
    void StopThreads();
    void OpenEndpoint();

    bool HandleAlwaysMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleRunningMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnPowerBroadcast(WPARAM event);
    void OnLightControlRequest(WPARAM wParam, LPARAM lParam);
    void SetLightControl(int value);
    void SendModelListToWorkTool();
    bool OnHookMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    bool OnGameMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    void OnDpiChanged(WPARAM wParam, LPARAM lParam);
    void OnLanguageApplied(int index);
    void OnEditorClick(const std::string& name);
    void RouteToEditor(TNotifyUI& msg);
    bool RouteToDevicePage(TNotifyUI& msg);
    bool RouteToLightingEditor(TNotifyUI& msg);
    void ShowLightPanelOf(CVantorixUSBDevice& device);
    // The device whose page holds the control, else the current device.
    CVantorixUSBDevice* DeviceOfControl(CControlUI* control) const;
    void ControlHook(WPARAM install, LPARAM mode);
    MacroDialogs MacroDialogsOf(MacroDialogs dialogs);
    template <typename Fn>
    void ForEachLightingDevice(Fn&& fn);
    template <typename Fn>
    void ForEachKeyboardAndMouse(Fn&& fn);

    // IReceiverLinkOwner
    void RemoveDeviceObjectOf(size_t slot) override;
    void SetConnected(size_t slot) override;
    void ClearViaReceiver(uint16_t kind) override;

    MainWndSettings settings_;
    UINT productMessage_ = 0;
    UINT simControlMessage_ = 0;
    std::shared_ptr<DeviceSlotList> slots_;
    std::shared_ptr<MainWndDetectionHost> detectionHost_;
    std::unique_ptr<CDetectionThread> detection_;
    ThreadTable threads_;
    std::unique_ptr<MessageEndpoint> endpoint_;
    std::shared_ptr<CopyDataInbox> inbox_;
    std::vector<std::unique_ptr<Page>> pages_;
    ReceiverLinkPoller receiverPoller_{*this};
    CDeviceChannel pollChannel_{settings_.bus};  // asks the receiver when no keyboard or mouse page is shown
    std::string receiverPath_;
    bool keyboardPresent_ = false;
    bool mousePresent_ = false;
    bool firstPassSeen_ = false;
    bool firstPaintSeen_ = false;
    uint64_t settleDeadline_ = 0;
    bool settledOnce_ = false;
    bool destroyed_ = false;
    int windowDpi_ = 96;

    std::vector<UINT> hookMessages_;
    std::vector<UINT> gameMessages_;
    HookEventHandler hookHandler_;
    std::unique_ptr<CDeviceHook> hook_;
    std::unique_ptr<CKeyAssignEditor> keyEditor_;
    std::unique_ptr<CMacroEditor> macroEditor_;
    bool hookInstalled_ = false;
    int lightControl_ = 1;
    bool powerRunning_ = true;
    bool displayChanged_ = false;
    bool active_ = false;
    bool hovered_ = false;
    std::unique_ptr<PowerNotifier> power_;
    std::unique_ptr<LanguageSettings> language_;
    std::unique_ptr<ChildWindows> children_;
    std::unique_ptr<ProfileActions> profiles_;
    std::unique_ptr<FileNoticeLine> fileNotices_;
    int skinReceiver_ = 0;
    GameLighting gameLighting_;  // restored by timer 1066
    std::unique_ptr<AudioLightingBridge> audio_;
    std::unique_ptr<LightSyncGroup> lightSync_;
};

}  // namespace q208
