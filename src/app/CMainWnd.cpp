#include "app/CMainWnd.h"

#include <algorithm>
#include <cctype>

#include "app/ChildWindows.h"
#include "app/CMsgWnd.h"
#include "app/ShootPanels.h"
#include "app/FileNoticeLine.h"
#include "app/DesktopSettings.h"
#include "app/CSetWnd.h"
#include "app/CSkinFrame.h"
#include "app/LanguageSettings.h"
#include "app/LightSyncGroup.h"
#include "app/MainWndDetectionHost.h"
#include "app/MainWndMessages.h"
#include "app/MainWndRoutes.h"
#include "app/ProfileActions.h"
#include "app/RegisteredMessages.h"
#include "app/SkinSettings.h"
#include "app/UpdateTargets.h"
#include "app/WorkToolBlock.h"
#include "controls/CMpDevicePowerUI.h"
#include "device/CDetectionThread.h"
#include "devices/keyboard/CVantorixKeyboardDevice.h"
#include "lighting/AudioLightingBridge.h"
#include "platform/TickCount.h"
#include "devices/base/CDeviceOptionUI.h"
#include "devices/keyboard/CVantorixKeyboardDevice.h"
#include "devices/mouse/CVantorixMouseDevice.h"
#include "devices/mousepad/CVantorixMousePadDevice.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "editors/CDeviceProfileUI.h"
#include "editors/CKeyAssignEditor.h"
#include "editors/CMacroControlUI.h"
#include "editors/CMacroEditor.h"
#include "editors/CKeySetControlUI.h"
#include "editors/CShootControlUI.h"
#include "editors/CLightControlUI.h"
#include "ui/CDeviceHook.h"
#include "platform/EndpointMessaging.h"
#include "platform/RegisteredMessageNames.h"
#include "platform/TickCount.h"
#include "platform/Trace.h"
#include "ui/CControlFactory.h"
#include "ui/COptionUI.h"
#include "ui/CResourceManager.h"
#include "ui/CButtonUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiMessaging.h"
#include "ui/IUiPlatform.h"
#include "ui/qt/CMenuWnd.h"
#include "ui/qt/FileDialogs.h"

namespace q208 {

namespace {

constexpr const char* kDeviceList = "device_select_layout";
constexpr const char* kDeviceSwitch = "device_switch";
constexpr const char* kPowerSwitch = "device_power_switch";
constexpr const char* kNoDevice = "No_device_Link";
constexpr const char* kRoot = "root";
constexpr int kDefaultDpi = 96;
constexpr int kLargeDpi = 144;
constexpr int kLargeMonitorWidth = 1500;
constexpr int kLargeMonitorHeight = 960;
constexpr int kKnownDpis[] = {48, 72, 96, 120, 144, 168, 192};
constexpr uint32_t kReceiverTargetKeyboard = 0;
constexpr uint32_t kReceiverTargetMouse = 2;
// Listener kinds of the device objects: the device's own vendor interface, the receiver's.
constexpr int kListenerWiredKind = 1;
constexpr int kListenerReceiverKind = 9;

constexpr const char* kLightSwitch = "control_light_status";
// Language keys: "控制灯光" and "不控制灯光" in Chinese.
constexpr const char* kLightOnText = "%{light_control_on}";
constexpr const char* kLightOffText = "%{light_control_off}";
constexpr const char* kSettingsButton = "setbtn";
constexpr const char* kMacroFileFilter = "Macro Files(*.mac)|*.mac;||";
constexpr const char* kMacroMenuLayout = "macromenu.xml";
constexpr const char* kProgress = "setting_progress";
constexpr UINT kProfileSwitchDelayMs = 50;
constexpr UINT kSettleCheckMs = 50;
constexpr UINT kSettleFramesMs = 300;

constexpr const char* kHookEventNames[] = {
    kHookKeySingleKey, kHookKeyHitKey,     kHookKeyKbMacro,        kHookKeyKbMacroLater,   kHookKeyKbMacroPrevious,
    kHookKeyKbMacroSingle, kHookKeyMsMacro, kHookKeyMsMacroLater, kHookKeyMsMacroPrevious, kHookKeyMsMacroSingle,
};
constexpr const char* kGameEventNames[] = {kGameStart, kGameEnd, kGameKill, kGameDeath};

bool IsBehindReceiver(uint16_t kind) { return kind == kKindReceiverKeyboard || kind == kKindReceiverMouse; }

// The slot of the vendor interface a device of this kind listens on over its own cable.
size_t WiredVendorSlot(uint16_t kind) {
    switch (kind) {
    case kKindKeyboard: return kSlotKeyboard;
    case kKindMousePad: return kSlotMousePad;
    case kKindHeadset: return kSlotHeadset;
    default: return kSlotMouse;
    }
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The main window's background while a device's page is shown.
struct PageBackground {
    int kind;
    const char* image;
};
constexpr PageBackground kPageBackgrounds[] = {
    {kKindKeyboard, "file='main/background_kb.png'"},
    {kKindMouse, "file='main/background_ms.png'"},
};

}  // namespace

// A built model: its device object, entry and power panel (controls owned by the layouts).
struct CMainWnd::Page {
    int model = -1;
    CVantorixUSBDevice* device = nullptr;
    std::weak_ptr<int> deviceLife;
    CMpDevicePowerUI* power = nullptr;
    std::weak_ptr<int> powerLife;

    CVantorixUSBDevice* Device() const { return deviceLife.expired() ? nullptr : device; }
};

CMainWnd::CMainWnd(MainWndSettings settings)
    : settings_(std::move(settings)),
      slots_(std::make_shared<DeviceSlotList>()),
      inbox_(std::make_shared<CopyDataInbox>()),
      lightSync_(std::make_unique<LightSyncGroup>()) {
    if (!settings_.shell) settings_.shell = std::make_shared<IMainWndShell>();
    productMessage_ = RegisterWindowMessage(kProductMessageName);
    simControlMessage_ = RegisterWindowMessage(kSimControlMessageName);
    RegisteredMessages::RegisterAll();
    for (const char* name : kHookEventNames) hookMessages_.push_back(RegisteredMessages::IdOf(name));
    for (const char* name : kGameEventNames) gameMessages_.push_back(RegisteredMessages::IdOf(name));
    if (settings_.defaultDataFolder.empty()) settings_.defaultDataFolder = FindDataRoot().defaultData;
    if (settings_.settingsFile.empty()) settings_.settingsFile = SettingsFile();
    if (settings_.userDataFolder.empty()) settings_.userDataFolder = UserDataFolder();
    language_ = std::make_unique<LanguageSettings>(settings_.defaultDataFolder, settings_.settingsFile);
    children_ = std::make_unique<ChildWindows>(0, settings_.userDataFolder, settings_.defaultDataFolder);
    power_ = std::make_unique<PowerNotifier>(settings_.powerSource ? settings_.powerSource()
                                                                   : PowerNotifier::SystemSource());
}

CMainWnd::~CMainWnd() {
    hook_.reset();
    if (skinReceiver_) SkinChangeSubject::Instance().Remove(skinReceiver_);
    if (power_) power_->Stop();
    CloseChildWindows();
    StopThreads();
}

// The macro page's questions and files: the message box, the ".mac" dialogs and the event
// list's menu, where the settings give none.
MacroDialogs CMainWnd::MacroDialogsOf(MacroDialogs dialogs) {
    const HWND owner = GetHWND();
    if (!dialogs.confirm) {
        dialogs.confirm = [this, owner](const std::string& key) {
            return ShowMessageBox(owner, {}, key, windowDpi_, true, kMessageBoxOkCancel) == 1;
        };
    }
    if (!dialogs.inform) {
        dialogs.inform = [this, owner](const std::string& key) {
            ShowMessageBox(owner, {}, key, windowDpi_, true, kMessageBoxOk);
        };
    }
    if (!dialogs.chooseImport) dialogs.chooseImport = [owner] { return ShowOpenFileDialog(owner, {}, kMacroFileFilter); };
    if (!dialogs.chooseExport) dialogs.chooseExport = [owner] { return ShowSaveFileDialog(owner, {}, kMacroFileFilter); };
    if (!dialogs.openEventMenu) {
        dialogs.openEventMenu = [owner] { CMenuWnd::Popup(owner, kMacroMenuLayout, UiPlatform().CursorPos()); };
    }
    return dialogs;
}

// ---- start ----

void CMainWnd::InitWindow() {
    Trace("InitWindow\n");
    children_->SetMainWindow(GetHWND());
    hook_ = std::make_unique<CDeviceHook>(*this);
    keyEditor_ = std::make_unique<CKeyAssignEditor>([this](bool install) { ControlHook(install ? 1 : 0, CDeviceHook::kSingleKey); });
    macroEditor_ = std::make_unique<CMacroEditor>(
        [this](int mode) { ControlHook(mode ? 1 : 0, mode); }, MacroDialogsOf(settings_.macroDialogs));
    hook_->SetReleaseHandler([this] {
        hookInstalled_ = false;
        if (keyEditor_) keyEditor_->OnHookReleased();
        if (macroEditor_) macroEditor_->OnHookReleased();
    });
    if (!settings_.languageFile.empty()) CResourceManager::GetInstance().LoadLanguage(settings_.languageFile);
    settings_.shell->CreateTray(GetHWND(), kMainWindowTitle);
    profiles_ = std::make_unique<ProfileActions>(settings_.profileDialogs, GetHWND(), [this] { return windowDpi_; });
    if (settings_.openEndpoint) {
        OpenEndpoint();
        audio_ = std::make_unique<AudioLightingBridge>(
            AudioLightingBridge::Settings{.runtimeFolder = {},
                                          .userFolder = settings_.userDataFolder,
                                          .defaultFolder = settings_.defaultDataFolder,
                                          .executable = {}},
            [this](const std::function<void(CVantorixUSBDevice&)>& fn) {
                for (const auto& page : pages_) {
                    CVantorixUSBDevice* device = page->Device();
                    if (device && device->GetKind() == kKindKeyboard) fn(*device);
                }
            });
        audio_->SetWindow(static_cast<uint64_t>(GetHWND()));
    }
    // Notices arrive on the source's thread; the window acts on them on its own.
    const HWND hwnd = GetHWND();
    power_->Start([hwnd](PowerEvent event) {
        q208::PostMessage(hwnd, WM_POWERBROADCAST, event == PowerEvent::Suspend ? PBT_APMSUSPEND : PBT_APMRESUMEAUTOMATIC);
    });
}

void CMainWnd::OnWindowInit() {
    fileNotices_ = std::make_unique<FileNoticeLine>(m_pm);
    if (settings_.openEndpoint) BroadcastMessage(kCompanionMessageNames[1], 1, 1);  // we take the lighting
    for (size_t model = 0; model < DeviceModelTable().size(); ++model) BuildModelPage(static_cast<int>(model));
    UpdateNoDeviceNotice();
    language_->AddObserver([this](int index, bool) { OnLanguageApplied(index); });
    language_->Select(language_->SavedLanguageIndex(), &m_pm);
    if (CControlUI* root = m_pm.FindControl(kRoot)) {
        SkinSettings(settings_.userDataFolder).ApplySaved(*root);
        std::weak_ptr<int> rootLife = root->Lifetime();
        skinReceiver_ = SkinChangeSubject::Instance().Add([root, rootLife](const SkinChangedParam& param) {
            if (rootLife.expired()) return;
            ApplySkinToRoot(*root, param);
            root->Invalidate();
        });
    }
    if (CControlUI* lightSwitch = m_pm.FindControl(kLightSwitch)) lightSwitch->SetText(kLightOnText);
    ShowWindow(false, false);  // until the first detection pass brings it up
    StartThreads();
    m_pm.SetTimer(m_pm.GetRoot(), kTimerDpiFit, kDpiFitDelayMs);
}

void CMainWnd::OpenEndpoint() {
    const HWND hwnd = GetHWND();
    std::weak_ptr<CopyDataInbox> inbox = inbox_;
    endpoint_ = std::make_unique<MessageEndpoint>(
        kMainWindowClass, kMainWindowTitle, [hwnd, inbox](const EndpointMessage& message) -> int64_t {
            if (message.isCopyData) {
                auto box = inbox.lock();
                if (!box || !box->Push(message)) return 0;
                return q208::PostMessage(hwnd, WM_ENDPOINT_DATA) ? 1 : 0;
            }
            // The simulation tool's control message is this program's own, not of the vocabulary.
            const std::optional<UINT> id = message.name == kSimControlMessageName
                                               ? std::optional<UINT>(RegisterWindowMessage(message.name))
                                               : RegisteredMessages::MessageFromOtherProgram(message);
            if (!id || *id == 0) return kEndpointMessageNotTaken;
            return q208::PostMessage(hwnd, *id, static_cast<WPARAM>(message.wParam), static_cast<LPARAM>(message.lParam))
                       ? kEndpointMessageQueued
                       : kEndpointMessageNotTaken;
        });
    if (!endpoint_->Open()) Trace("main window: the message endpoint could not be opened\n");
}

void CMainWnd::StartThreads() {
    detectionHost_ = std::make_shared<MainWndDetectionHost>(GetHWND(), WM_DEVICE_ARRIVAL, WM_DEVICE_REMOVAL,
                                                            productMessage_);
    detection_ = std::make_unique<CDetectionThread>(slots_, detectionHost_, settings_.bus);
    if (!detection_->Start()) Trace("main window: the detection thread did not start\n");
    CDetectionThread* detection = detection_.get();
    threads_.Set(0, "detection", [detection](int ms) { return detection->Stop(ms); });
    if (audio_) {
        if (!audio_->Watch().Start()) Trace("main window: the audio watch did not start\n");
        AudioRecorderWatch* watch = &audio_->Watch();
        threads_.Set(1, "audio watch", [watch](int ms) { return watch->Stop(ms); });
        m_pm.SetTimer(m_pm.GetRoot(), kTimerMusicMode, kMusicModeCheckMs);
    }
    if (!lightSync_->StartThread()) Trace("main window: the light synchronisation thread did not start\n");
    LightSyncThread* sync = &lightSync_->Thread();
    threads_.Set(8, "light synchronisation", [sync](int ms) { return sync->Stop(ms); });
}

void CMainWnd::StopThreads() {
    threads_.StopAll();
    if (endpoint_) endpoint_->Close();
}

bool CMainWnd::ThreadsRunning() const { return detection_ && detection_->IsRunning(); }

// ---- pages ----

std::unique_ptr<CControlUI> CMainWnd::CreateControl(std::string_view className) {
    const auto& standIns = settings_.standIns;
    const auto it = std::find_if(standIns.begin(), standIns.end(),
                                 [&](const DeviceClassStandIn& row) { return row.className == className; });
    if (it == standIns.end()) return BuildSubLayout(className);
    if (it->standIn == CVantorixUSBDevice::kClassName) return std::make_unique<CVantorixUSBDevice>(settings_.bus);
    return CControlFactory::GetInstance().CreateControl(it->standIn);
}

// Page elements that stand for a layout file of their own.
std::unique_ptr<CControlUI> CMainWnd::BuildSubLayout(std::string_view className) {
    CDialogBuilder builder;
    if (className == CKeySetControlUI::kSubLayoutName) return builder.Create(CKeySetControlUI::kLayoutFile, this, &m_pm);
    if (className == CShootControlUI::kSubLayoutName) return builder.Create(CShootControlUI::kLayoutFile, this, &m_pm);
    if (className == CMacroControlUI::kSubLayoutName) return builder.Create(CMacroControlUI::kLayoutFile, this, &m_pm);
    if (className == CLightControlUI::kSubLayoutName) return builder.Create(CLightControlUI::kLayoutFile, this, &m_pm);
    if (className != CDeviceProfileUI::kSubLayoutName) return nullptr;
    return builder.Create(CDeviceProfileUI::kLayoutFile, this, &m_pm);
}

bool CMainWnd::BuildModelPage(int model) {
    if (model < 0 || model >= static_cast<int>(DeviceModelTable().size())) return false;
    const DeviceModel& row = DeviceModelTable()[model];
    auto* powerSwitch = static_cast<CTabLayoutUI*>(m_pm.FindControl(kPowerSwitch));
    auto* deviceSwitch = static_cast<CTabLayoutUI*>(m_pm.FindControl(kDeviceSwitch));
    auto* deviceList = static_cast<CContainerUI*>(m_pm.FindControl(kDeviceList));
    if (!powerSwitch || !deviceSwitch || !deviceList) return false;

    auto page = std::make_unique<Page>();
    page->model = model;
    CDialogBuilder builder;
    auto powerControl = builder.Create(CMpDevicePowerUI::kLayoutFile, this, &m_pm);
    auto* power = powerControl ? static_cast<CMpDevicePowerUI*>(powerControl->GetInterface(CMpDevicePowerUI::kClassName)) : nullptr;
    if (!power) return false;
    power->SetKindAndRole(row.kind, row.role);
    powerSwitch->Add(std::move(powerControl));
    page->power = power;
    page->powerLife = power->Lifetime();
    const int powerPage = powerSwitch->GetCount() - 1;

    auto deviceControl = builder.Create(row.pageLayout, this, &m_pm);
    auto* device = deviceControl ? static_cast<CVantorixUSBDevice*>(deviceControl->GetInterface(CVantorixUSBDevice::kClassName)) : nullptr;
    if (!device) {
        Trace("main window: no device class for the model '%s'; it gets no entry\n", row.label);
        pages_.push_back(std::move(page));
        return false;
    }
    const int identity = [&] {
        const auto& table = SupportedDeviceTable();
        for (size_t i = 0; i < table.size(); ++i) {
            if (table[i].vendorId == row.vendorId && table[i].productId == row.productId && table[i].kind == row.kind &&
                table[i].role == row.role) return static_cast<int>(i);
        }
        return -1;
    }();
    if (identity >= 0) device->SetSlot(SupportedDeviceTable()[identity]);
    device->SetName(row.label);
    device->SetKind(row.kind, row.role);
    device->SetDisplayStrings(row.label, row.lightName, row.modelFolder);
    device->SetLayoutName(row.pageLayout);
    device->SetPowerPanel(power);
    device->SetLanguage(row.numbers[3]);
    device->SetDisplayLanguage(language_->AppliedIndex());
    // The configuration values come in the order second, first, third of the page numbers.
    device->Configure(row.pageNumbers[1], row.pageNumbers[0], row.pageNumbers[2]);
    device->SetVisible(true);
    deviceSwitch->Add(std::move(deviceControl));
    device->BindPageControls();
    device->Initialize();
    if (auto* mouse = static_cast<CVantorixMouseDevice*>(device->GetInterface(CVantorixMouseDevice::kClassName))) {
        mouse->SetColourChooser([this](uint32_t initial) { return settings_.shell->ChooseColour(GetHWND(), initial); });
        StartShootPanel(*mouse, GetHWND(), [this] { return windowDpi_; });
    }
    if (auto* pad = static_cast<CVantorixMousePadDevice*>(device->GetInterface(CVantorixMousePadDevice::kClassName))) {
        pad->SetColourChooser([this](uint32_t initial) { return settings_.shell->ChooseColour(GetHWND(), initial); });
    }
    const int devicePage = deviceSwitch->GetCount() - 1;

    auto optionControl = builder.Create(row.optionLayout, this, &m_pm);
    auto* option = optionControl ? static_cast<CDeviceOptionUI*>(optionControl->GetInterface(CDeviceOptionUI::kClassName)) : nullptr;
    if (option) {
        option->SetVisible(false);
        deviceList->Add(std::move(optionControl));
        option->SetTabPage(row.tabLayout, devicePage);
        option->SetPowerPage(row.powerSwitch, powerPage);
        option->SetKindAndRole(row.kind, row.role);
        option->SetLabel(row.label);
        if (COptionUI* mark = option->SelectOption()) {
            // A language key: the entry reads in the language applied at every moment.
            mark->SetText(std::string("%{device_name_") + row.modelFolder + "}");
        }
        option->SetDevice(device);
        device->SetOptionPanel(option);
    }
    page->device = device;
    page->deviceLife = device->Lifetime();
    lightSync_->Attach(*device);
    device->SetPageLoadedListener([this, device] { ShowLightPanelOf(*device); });
    pages_.push_back(std::move(page));
    return option != nullptr;
}

int CMainWnd::OptionCount() const {
    auto* list = static_cast<CContainerUI*>(m_pm.FindControl(kDeviceList));
    return list ? list->GetCount() : 0;
}

CDeviceOptionUI* CMainWnd::OptionAt(int index) const {
    auto* list = static_cast<CContainerUI*>(m_pm.FindControl(kDeviceList));
    CControlUI* item = list ? list->GetItemAt(index) : nullptr;
    return item ? static_cast<CDeviceOptionUI*>(item->GetInterface(CDeviceOptionUI::kClassName)) : nullptr;
}

int CMainWnd::OptionIndexOf(const CVantorixUSBDevice* device) const {
    for (int i = 0; device && i < OptionCount(); ++i) {
        if (CDeviceOptionUI* option = OptionAt(i); option && option->GetDevice() == device) return i;
    }
    return -1;
}

CVantorixUSBDevice* CMainWnd::DeviceOfModel(int model) const {
    for (const auto& page : pages_) {
        if (page->model == model) return page->Device();
    }
    return nullptr;
}

int CMainWnd::OptionIndexOfModel(int model) const { return OptionIndexOf(DeviceOfModel(model)); }

CVantorixUSBDevice* CMainWnd::DeviceForSlotKind(uint16_t kind) const { return DeviceOfModel(ModelForSlotKind(kind)); }

int CMainWnd::VisibleOptionCount() const {
    int visible = 0;
    for (int i = 0; i < OptionCount(); ++i) visible += OptionAt(i) && OptionAt(i)->IsVisible();
    return visible;
}

CVantorixUSBDevice* CMainWnd::CurrentDevice() const {
    for (int i = 0; i < OptionCount(); ++i) {
        CDeviceOptionUI* option = OptionAt(i);
        if (option && option->IsVisible() && option->IsDeviceSelected()) return option->GetDevice();
    }
    CDeviceOptionUI* last = OptionCount() > 0 ? OptionAt(OptionCount() - 1) : nullptr;
    return last ? last->GetDevice() : nullptr;
}

// ---- attach and detach ----

void CMainWnd::AttachSlot(size_t index) {
    const auto slot = slots_->Slot(index);
    if (!slot) return;
    CVantorixUSBDevice* device = DeviceForSlotKind(slot->kind);
    if (!device && slot->role != kRoleSecondary) {
        // A page removed after a lost receiver link comes back when its device returns.
        BuildModelPage(ModelForSlotKind(slot->kind));
        device = DeviceForSlotKind(slot->kind);
    }
    if (!device) return;
    if (slot->role == kRoleSecondary) {
        // The secondary collection shares its interface with the vendor one, whose reports
        // the listener reads; it attaches once its device does.
        if (device->CommandChannel().IsOpen()) AttachListenerOf(*device, slot->kind);
        return;
    }
    const bool behindReceiver = IsBehindReceiver(slot->kind);
    if (behindReceiver && CablePresent(slot->kind)) {
        // On its cable the device keeps the cable's path and 56-byte chunks; the receiver
        // link takes over when the cable goes. What the device sends over the link is
        // still heard.
        Trace("main window: slot %zu linked, the device stays on its cable\n", index);
        if (device->CommandChannel().IsOpen()) AttachListenerOf(*device, slot->kind);
        return;
    }
    CDeviceChannel& channel = device->CommandChannel();
    const bool onWantedPath = channel.IsOpen() && channel.ViaReceiver() == behindReceiver;
    if (!onWantedPath) {
        if (channel.IsOpen()) channel.CloseAll();
        const bool opened =
            behindReceiver
                ? channel.OpenPath(receiverPath_, CDeviceChannel::kLinkReceiver,
                                   slot->kind == kKindReceiverKeyboard ? kReceiverTargetKeyboard : kReceiverTargetMouse)
                : channel.OpenPath(slot->devicePath, CDeviceChannel::kLinkWired, 0);
        if (!opened) {
            // Free the slot: detection offers the device again on a later pass.
            Trace("main window: slot %zu could not be opened; asking again later\n", index);
            if (!behindReceiver) slots_->Release(index, slot->devicePath);
            return;
        }
        device->SetSlot(*slot);
    }
    AttachListenerOf(*device, slot->kind);
    const int option = OptionIndexOf(device);
    if (option < 0) return;
    if (!behindReceiver) ShowOption(option, true, VisibleOptionCount() == 0 || OptionAt(option)->IsDeviceSelected());
    OptionAt(option)->StartConnect();
}

bool CMainWnd::CablePresent(uint16_t receiverKind) const {
    return receiverKind == kKindReceiverKeyboard ? keyboardPresent_ : receiverKind == kKindReceiverMouse && mousePresent_;
}

// The listener reads the vendor collection of the path the device is on: its own interface
// on the cable, the receiver's behind it.
void CMainWnd::AttachListenerOf(CVantorixUSBDevice& device, uint16_t slotKind) {
    const bool behindReceiver = IsBehindReceiver(slotKind);
    const int kind = behindReceiver ? kListenerReceiverKind : kListenerWiredKind;
    if (device.IsListening(kind)) return;
    const std::string path = behindReceiver ? receiverPath_ : slots_->DevicePath(WiredVendorSlot(slotKind));
    if (!path.empty()) device.AttachListener(path, kind);
}

void CMainWnd::DetachSlot(size_t index) {
    const auto slot = slots_->Slot(index);
    if (!slot || slot->role == kRoleSecondary) return;  // its primary slot detaches the device
    CVantorixUSBDevice* device = DeviceForSlotKind(slot->kind);
    if (!device) return;
    const bool behindReceiver = IsBehindReceiver(slot->kind);
    CDeviceChannel& channel = device->CommandChannel();
    if (channel.IsOpen() && channel.ViaReceiver() != behindReceiver) {
        // The device is served on its other path (the cable while its link went down).
        device->DetachListener(behindReceiver ? kListenerReceiverKind : kListenerWiredKind);
        return;
    }
    device->OnDeviceRemoved();
    channel.SetOpen(false);
    channel.CloseAll();
    const int option = OptionIndexOf(device);
    if (option >= 0) OptionAt(option)->StopDeviceTimers();
    HideOption(option);
}

void CMainWnd::RemoveDeviceObjectOf(size_t index) {
    const auto slot = slots_->Slot(index);
    if (!slot) return;
    const int model = ModelForSlotKind(slot->kind);
    auto it = std::find_if(pages_.begin(), pages_.end(), [&](const auto& page) { return page->model == model; });
    if (it == pages_.end()) return;
    CVantorixUSBDevice* device = (*it)->Device();
    if (device) {
        device->CommandChannel().CloseAll();
        const int option = OptionIndexOf(device);
        if (option >= 0) {
            OptionAt(option)->StopDeviceTimers();
            HideOption(option);
            if (auto* list = static_cast<CContainerUI*>(m_pm.FindControl(kDeviceList))) list->Remove(OptionAt(option));
        }
        if (auto* pagesSwitch = static_cast<CContainerUI*>(m_pm.FindControl(kDeviceSwitch))) pagesSwitch->Remove(device);
    }
    if (CMpDevicePowerUI* power = (*it)->powerLife.expired() ? nullptr : (*it)->power) {
        if (auto* powerSwitch = static_cast<CContainerUI*>(m_pm.FindControl(kPowerSwitch))) powerSwitch->Remove(power);
    }
    pages_.erase(it);
}

void CMainWnd::SetConnected(size_t slot) { slots_->SetConnected(slot, true); }

void CMainWnd::ClearViaReceiver(uint16_t kind) {
    // An open channel's flag names the device it has open (the receiver's or the cable's);
    // a device whose link went down is detached by the poll instead.
    CVantorixUSBDevice* device = DeviceForSlotKind(kind);
    if (device && !device->CommandChannel().IsOpen()) device->CommandChannel().SetViaReceiver(false);
}

// ---- options ----

void CMainWnd::SelectTab(const std::string& name, int page) {
    if (auto* tab = static_cast<CTabLayoutUI*>(m_pm.FindControl(name))) tab->SelectItem(page, false);
}

void CMainWnd::ShowOption(int index, bool visible, bool select) {
    CDeviceOptionUI* option = OptionAt(index);
    if (!option) return;
    option->SetVisible(visible);
    if (select) {
        // The page lives in the device switch; the model's own tab layout follows when the
        // skin has one.
        SelectTab(kDeviceSwitch, option->GetTabPage());
        if (option->GetTabName() != kDeviceSwitch) SelectTab(option->GetTabName(), option->GetTabPage());
        if (CControlUI* power = m_pm.FindControl(option->GetPowerLayoutName())) {
            power->SetVisible(option->GetPowerPage() >= 0);
            if (option->GetPowerPage() >= 0) SelectTab(option->GetPowerLayoutName(), option->GetPowerPage());
        }
    }
    if (COptionUI* mark = option->SelectOption()) mark->Selected(select, false);
    if (select) OnOptionSelected(index);
    UpdatePagesShown();

    const int visibleCount = VisibleOptionCount();
    UpdateNoDeviceNotice();
    if (visibleCount == 0) {
        SelectTab(kPowerSwitch, 0);
        SelectTab(kDeviceSwitch, 0);
    }
    for (const auto& page : pages_) {
        if (CVantorixUSBDevice* device = page->Device()) device->SetSeveralDevicesShown(visibleCount > 1);
    }
    int synchroMarks = 0;
    for (int i = 0; i < OptionCount(); ++i) {
        CDeviceOptionUI* each = OptionAt(i);
        if (each && each->IsVisible() && each->SynchroOption() && each->SynchroOption()->IsSelected()) ++synchroMarks;
    }
    if (synchroMarks <= 1) {
        for (int i = 0; i < OptionCount(); ++i) {
            if (COptionUI* mark = OptionAt(i) ? OptionAt(i)->SynchroOption() : nullptr) mark->Selected(false, false);
        }
    }
}

void CMainWnd::HideOption(int index) {
    CDeviceOptionUI* option = OptionAt(index);
    if (!option) return;
    int next = -1;
    if (keyEditor_) keyEditor_->OnDeviceHidden(option->GetDevice());
    if (macroEditor_) macroEditor_->OnDeviceHidden(option->GetDevice());
    if (option->IsVisible() && option->IsDeviceSelected()) {
        // The child windows may show what belongs to the page that goes away.
        CloseChildWindows();
        for (int i = 0; i < OptionCount(); ++i) {
            if (i != index && OptionAt(i) && OptionAt(i)->IsVisible()) {
                next = i;
                break;
            }
        }
    }
    ShowOption(index, false, false);
    if (next >= 0) ShowOption(next, true, true);
}

void CMainWnd::SelectNeighbour(int step) {
    const int count = OptionCount();
    int current = -1;
    for (int i = 0; i < count; ++i) {
        if (OptionAt(i)->IsVisible() && OptionAt(i)->IsDeviceSelected()) current = i;
    }
    if (current < 0) return;
    for (int i = current + step; i >= 0 && i < count; i += step) {
        if (OptionAt(i)->IsVisible()) {
            ShowOption(current, true, false);
            ShowOption(i, true, true);
            return;
        }
    }
}

void CMainWnd::OnOptionSelected(int index) {
    CDeviceOptionUI* option = OptionAt(index);
    CVantorixUSBDevice* device = option ? option->GetDevice() : nullptr;
    if (!device) return;
    CDeviceChannel& channel = device->CommandChannel();
    if (channel.ViaReceiver()) {
        channel.SetTarget(option->GetKind() == kKindMouse ? kReceiverTargetMouse : kReceiverTargetKeyboard);
    }
    const auto background = std::find_if(std::begin(kPageBackgrounds), std::end(kPageBackgrounds),
                                         [&](const PageBackground& row) { return row.kind == option->GetKind(); });
    if (CControlUI* root = m_pm.FindControl(kRoot); root && background != std::end(kPageBackgrounds)) {
        ApplySkinToRoot(*root, {false, 0, background->image});
    }
    if (option->GetPowerPage() >= 0) SelectTab(option->GetPowerLayoutName(), option->GetPowerPage());
    if (keyEditor_) keyEditor_->OnDeviceShown(device);
    if (macroEditor_) macroEditor_->OnDeviceShown(device);
    ShowLightPanelOf(*device);
}

void CMainWnd::ShowLightPanelOf(CVantorixUSBDevice& device) {
    auto* panel = static_cast<CLightControlUI*>(
        m_pm.FindSubControlByName(&device, CLightControlUI::kPanelName)
            ? m_pm.FindSubControlByName(&device, CLightControlUI::kPanelName)->GetInterface(CLightControlUI::kClassName)
            : nullptr);
    if (panel) panel->ShowDevice(device, VisibleOptionCount() > 1);
}

void CMainWnd::UpdateNoDeviceNotice() {
    if (CControlUI* notice = m_pm.FindControl(kNoDevice)) notice->SetVisible(VisibleOptionCount() == 0);
    if (CControlUI* pagesSwitch = m_pm.FindControl(kDeviceSwitch)) pagesSwitch->SetVisible(VisibleOptionCount() > 0);
}

// ---- the window ----

void CMainWnd::BringToFront() {
    UpdateNoDeviceNotice();
    TellWindowShown(true);
    if (IWindowSurface* surface = GetSurface()) surface->Restore();
    SetMaximized(false);
    ShowWindow(true, true);
    if (IWindowSurface* surface = GetSurface()) surface->BringToFront();
}

void CMainWnd::HideToTray() {
    CloseChildWindows();
    settings_.shell->HideToTray(*this);
    TellWindowShown(false);
}

template <typename Fn>
void CMainWnd::ForEachKeyboardAndMouse(Fn&& fn) {
    for (const auto& page : pages_) {
        CVantorixUSBDevice* device = page->Device();
        if (device && (device->GetKind() == kKindKeyboard || device->GetKind() == kKindMouse)) fn(*device);
    }
}

void CMainWnd::TellWindowShown(bool shown) {
    ForEachKeyboardAndMouse([shown](CVantorixUSBDevice& device) { device.SetWindowShown(shown); });
    UpdatePagesShown();
}

namespace {

bool IsOnScreen(const CControlUI& control) {
    for (const CControlUI* each = &control; each; each = each->GetParent()) {
        if (!each->IsVisible()) return false;
    }
    return true;
}

}  // namespace

void CMainWnd::UpdatePagesShown() {
    IWindowSurface* surface = GetSurface();
    const bool windowShown = IsWindowVisible() && !(surface && surface->IsMinimized());
    for (const auto& page : pages_) {
        if (CVantorixUSBDevice* device = page->Device()) device->SetPageShown(windowShown && IsOnScreen(*device));
    }
}

void CMainWnd::TellWindowFocus(bool focused) {
    ForEachKeyboardAndMouse([focused](CVantorixUSBDevice& device) { device.SetWindowFocus(focused); });
}

// "maxbtn" and "restorebtn" take turns in the title bar.
void CMainWnd::SetMaximized(bool maximized) {
    if (IWindowSurface* surface = GetSurface()) maximized ? surface->Maximize() : surface->Restore();
    if (CControlUI* button = m_pm.FindControl("maxbtn")) button->SetVisible(!maximized);
    if (CControlUI* button = m_pm.FindControl("restorebtn")) button->SetVisible(maximized);
}

void CMainWnd::OpenDesktopSettings(int panel) {
    if (DesktopSettings().Open(static_cast<DesktopSettings::Panel>(panel))) return;
    if (settings_.onNoDesktopSettings) {
        settings_.onNoDesktopSettings();
        return;
    }
    ShowMessageBox(GetHWND(), {}, "message_text_no_desktop_settings", windowDpi_, true, kMessageBoxOk);
}

int CMainWnd::DpiForMonitor(UiSize monitor) {
    const int dpi = monitor.cx > kLargeMonitorWidth && monitor.cy > kLargeMonitorHeight ? kLargeDpi : kDefaultDpi;
    if (std::find(std::begin(kKnownDpis), std::end(kKnownDpis), dpi) == std::end(kKnownDpis)) {
        Trace("MAIN_WND DPI SET ERROR\n");
        return kDefaultDpi;
    }
    return dpi;
}

void CMainWnd::DpiFit() {
    IWindowSurface* surface = GetSurface();
    const bool shown = IsWindowVisible() && !(surface && surface->IsMinimized());
    const UiRect monitor = GetMonitorRect();
    windowDpi_ = DpiForMonitor({monitor.Width(), monitor.Height()});
    // The layout's size is at 96 DPI; the window then grows with the DPI of its monitor.
    CPaintManagerUI::SetAllDPI(kDefaultDpi);
    SetWindowPos({0, 0, kFitWidth, kFitHeight});
    CPaintManagerUI::SetAllDPI(windowDpi_);
    ResizeClient(m_pm.ScaleValue(kFitWidth), m_pm.ScaleValue(kFitHeight));
    children_->FollowDpi(windowDpi_);
    CenterWindow();
    ShowWindow(shown, false);
}

void CMainWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_TIMER) {
        if (msg.pSender == m_pm.GetRoot()) {
            // While the system sleeps the window's timers keep running but do nothing; the
            // next expiry after the resume acts.
            if (powerRunning_) OnTimer(static_cast<UINT>(msg.wParam));
            return;
        }
        WindowImplBase::Notify(msg);
        return;
    }
    const std::string senderName = msg.pSender ? msg.pSender->GetName() : std::string();
    Trace("%s\n", msg.sType.c_str());
    Trace("%s\n", senderName.c_str());
    if (msg.sType == DUI_MSGTYPE_WINDOWINIT) {
        OnWindowInit();
    } else if (msg.sType == DUI_MSGTYPE_WINDOWSIZE) {
        if (senderName == kRoot && displayChanged_) {
            displayChanged_ = false;
            DpiFit();
        }
    } else if (msg.sType == DUI_MSGTYPE_CLICK) {
        OnClick(msg);
    } else if (msg.sType == DUI_MSGTYPE_SELECTCHANGED && senderName == CDeviceOptionUI::kSelectName) {
        OnDeviceSelectChanged(msg);
    } else if (msg.sType == DUI_MSGTYPE_ITEMSELECT && senderName == "device_profile_combo") {
        m_pm.SetTimer(m_pm.GetRoot(), kTimerProfileSwitch, kProfileSwitchDelayMs);
        RouteToEditor(msg);
    } else if (msg.sType == DUI_MSGTYPE_VALUECHANGED && senderName.size() == 14 &&
               senderName.ends_with("_light_slider") && std::string("RGB").find(senderName[0]) != std::string::npos) {
        // "R_light_slider" and its two siblings show their value in the matching label.
        if (CControlUI* label = m_pm.FindControl(std::string(1, senderName[0]) + "_light_label")) {
            label->SetText(std::string(1, senderName[0]) + " " + std::to_string(static_cast<int>(msg.lParam)));
        }
        RouteToEditor(msg);
    } else {
        RouteToEditor(msg);
    }
    WindowImplBase::Notify(msg);
}

// The editors that own these controls take them once they exist; until then the route is traced.
void CMainWnd::RouteToEditor(TNotifyUI& msg) {
    if (!msg.pSender) return;
    if (const MainWndRoute* route = FindMainWndRoute(msg.sType, msg.pSender->GetName())) {
        if (route->owner == kProfileListOwner && profiles_) {
            // A profile reset leaves the key editor showing what is no longer stored.
            if (keyEditor_ && msg.sType == DUI_MSGTYPE_CLICK && EqualNoCase(msg.pSender->GetName(), "device_reset_btn"))
                keyEditor_->SetEditorState(true);
            if (msg.sType == DUI_MSGTYPE_ITEMSELECT) profiles_->OnComboSelect(*msg.pSender);
            if (msg.sType != DUI_MSGTYPE_CLICK || profiles_->OnClick(*msg.pSender)) return;
        }
        if (route->owner == kDevicePageOwner && RouteToDevicePage(msg)) return;
        if (route->owner == kLightingEditorOwner && RouteToLightingEditor(msg)) return;
        if (route->owner == kKeyEditorOwner && keyEditor_ && keyEditor_->OnNotify(msg, DeviceOfControl(msg.pSender)))
            return;
        if (route->owner == kShootEditorOwner) {
            CShootControlUI* panel = ShootPanelOf(DeviceOfControl(msg.pSender));
            if (panel && panel->OnNotify(msg, CurrentDevice())) return;
        }
        if (route->owner == kMacroEditorOwner && macroEditor_ &&
            macroEditor_->OnNotify(msg, DeviceOfControl(msg.pSender)))
            return;
        Trace("main window: \"%s\" of \"%s\" goes to the %.*s, which is not part of this build\n", msg.sType.c_str(),
              msg.pSender->GetName().c_str(), static_cast<int>(route->owner.size()), route->owner.data());
    }
}

CVantorixUSBDevice* CMainWnd::DeviceOfControl(CControlUI* control) const {
    for (; control; control = control->GetParent()) {
        if (auto* device = static_cast<CVantorixUSBDevice*>(control->GetInterface(CVantorixUSBDevice::kClassName)))
            return device;
    }
    return CurrentDevice();
}

// wParam 1 installs the hook in mode lParam (the key capture when 0), 0 removes it.
void CMainWnd::ControlHook(WPARAM install, LPARAM mode) {
    if (!hook_) return;
    if (install == 1) {
        if (!hook_->Install(mode ? static_cast<int>(mode) : CDeviceHook::kSingleKey))
            Trace("main window: no hook mode %ld\n", static_cast<long>(mode));
    } else {
        hook_->Uninstall();
    }
    hookInstalled_ = hook_->IsInstalled();
}

// The lighting panel of the sender's page applies what the user changed to that page's
// device, at once; same mode starts synchronised lighting from the page's device.
bool CMainWnd::RouteToLightingEditor(TNotifyUI& msg) {
    CVantorixUSBDevice* device = DeviceOfControl(msg.pSender);
    if (!device) return false;
    if (msg.sType == DUI_MSGTYPE_CLICK && EqualNoCase(msg.pSender->GetName(), CLightControlUI::kSameModeButton)) {
        lightSync_->SameMode(*device);
        return true;
    }
    CLightControlUI* panel = CLightControlUI::OfControl(msg.pSender);
    if (!panel) return false;
    const auto change = panel->OnNotify(msg, device->GetPanelLight());
    if (!change) return false;
    // Picking another effect on its own page takes a device out of the group.
    if (change->effectChanged) lightSync_->Leave(*device);
    device->ApplyPanelLight(change->light);
    panel->ShowDevice(*device, VisibleOptionCount() > 1);
    return true;
}

// The device whose page holds the sender takes its page's controls.
bool CMainWnd::RouteToDevicePage(TNotifyUI& msg) {
    for (CControlUI* control = msg.pSender; control; control = control->GetParent()) {
        if (auto* device = static_cast<CVantorixUSBDevice*>(control->GetInterface(CVantorixUSBDevice::kClassName)))
            return device->OnPageNotify(msg);
    }
    return false;
}

template <typename Fn>
void CMainWnd::ForEachLightingDevice(Fn&& fn) {
    for (const auto& page : pages_) {
        CVantorixUSBDevice* device = page->Device();
        if (!device) continue;
        const int kind = device->GetKind();
        if (kind == kKindKeyboard || kind == kKindMouse || kind == kKindMousePad) fn(*device);
    }
}

void CMainWnd::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    const std::string& name = msg.pSender->GetName();
    if (EqualNoCase(name, "closebtn")) {
        HideToTray();
    } else if (EqualNoCase(name, "nodevice_ok_btn")) {
        ShowWindow(false, false);
    } else if (EqualNoCase(name, kLightSwitch)) {
        const int next = lightControl_ ? 0 : 1;
        BroadcastMessage(kCompanionMessageNames[1], 1, next);
        SetLightControl(next);
    } else if (EqualNoCase(name, "minbtn")) {
        if (IWindowSurface* surface = GetSurface()) surface->Minimize();
    } else if (EqualNoCase(name, "maxbtn") || EqualNoCase(name, "restorebtn")) {
        SetMaximized(EqualNoCase(name, "maxbtn"));
    } else if (EqualNoCase(name, "skinbtn")) {
        OpenSkinFrame();
    } else if (EqualNoCase(name, kSettingsButton)) {
        OpenSettingsWindow();
    } else if (EqualNoCase(name, "device_select_prev")) {
        SelectNeighbour(-1);
    } else if (EqualNoCase(name, "device_select_next")) {
        SelectNeighbour(1);
    } else {
        OnEditorClick(name);
        RouteToEditor(msg);
    }
}

// What the window does itself for editor controls: the paint colour and key painting of a
// keyboard's custom lighting.
void CMainWnd::OnEditorClick(const std::string& name) {
    CVantorixUSBDevice* current = CurrentDevice();
    auto* keyboard = current ? static_cast<CVantorixKeyboardDevice*>(
                                   current->GetInterface(CVantorixKeyboardDevice::kClassName))
                             : nullptr;
    if (const int colour = NumberAfterPrefix(name, "color_option_"); colour >= 0) {
        if (keyboard) keyboard->SetPaintNumber(colour + 1);
    } else if (const int key = NumberAfterPrefix(name, "key_"); key >= 0) {
        if (keyboard && keyboard->GetFunctionMode() == 1) keyboard->PaintKey(key);
    } else if (EqualNoCase(name, "custom_bright_color_btn")) {
        if (keyboard) keyboard->FillCustomColours(true);
    } else if (EqualNoCase(name, "custom_off_color_btn")) {
        if (keyboard) keyboard->FillCustomColours(false);
    } else if (const int panel = NumberAfterPrefix(name, "windowdeviceset_"); panel == 0 || panel == 1) {
        OpenDesktopSettings(panel);
    }
}

void CMainWnd::SetLightControl(int value) {
    lightControl_ = value;
    if (CControlUI* lightSwitch = m_pm.FindControl(kLightSwitch)) lightSwitch->SetText(value ? kLightOnText : kLightOffText);
    ForEachLightingDevice([value](CVantorixUSBDevice& device) { device.SetHostLighting(value); });
}

// ---- child windows ----

CSetWnd* CMainWnd::SettingsWindow() const { return children_->Settings(); }

CSkinFrame* CMainWnd::SkinFrame() const { return children_->SkinFrame(); }

void CMainWnd::OpenSettingsWindow() {
    std::vector<AttachedFirmware> attached;
    for (const auto& page : pages_) {
        const CVantorixUSBDevice* device = page->Device();
        const CDeviceOptionUI* option = device ? device->GetOptionPanel() : nullptr;
        if (option && option->IsVisible()) attached.push_back({page->model, device->FirmwareVersion()});
    }
    CUpdatePanel::Context update;
    update.targets = UpdateTargetsFor(attached);
    update.service = UpdateServiceSettings::Read(settings_.settingsFile);
    update.userDataFolder = settings_.userDataFolder;
    children_->OpenSettings(language_->AppliedIndex(), windowDpi_, std::move(update));
}

// Beside the skin button, in screen coordinates.
void CMainWnd::OpenSkinFrame() {
    m_pm.DoLayout();  // the button's place after a change of size or DPI
    const UiRect window = GetWindowRect();
    CControlUI* button = m_pm.FindControl("skinbtn");
    const UiRect anchor = button ? button->GetPos().Offset(window.left, window.top)
                                 : UiRect{window.right, window.top, window.right, window.top};
    children_->OpenSkinFrame(anchor, windowDpi_);
}

void CMainWnd::CloseChildWindows() { children_->CloseAll(); }

void CMainWnd::OnDeviceSelectChanged(TNotifyUI& msg) {
    auto* mark = static_cast<COptionUI*>(msg.pSender->GetInterface("Option"));
    if (!mark || !mark->IsSelected()) return;
    for (int i = 0; i < OptionCount(); ++i) {
        if (OptionAt(i) && OptionAt(i)->SelectOption() == mark) {
            ShowOption(i, true, true);
            return;
        }
    }
}

void CMainWnd::OnTimer(UINT id) {
    m_pm.KillTimer(m_pm.GetRoot(), id);
    switch (id) {
    case kTimerDpiFit:
        DpiFit();
        m_pm.Invalidate({0, 0, m_pm.GetClientSize().cx, m_pm.GetClientSize().cy});
        if (audio_) audio_->Announce();
        break;
    case kTimerMusicMode: OnMusicModeTimer(); break;
    case kTimerTrayMenu: settings_.shell->OpenTrayMenu(GetHWND()); break;
    case kTimerReceiverPoll: OnReceiverPoll(); break;
    case kTimerLightRestore: gameLighting_.Restore(); break;
    case kTimerSettle: OnSettleCheck(); break;
    case kTimerProfileSwitch:
        if (profiles_) profiles_->OnSwitchTimer(CurrentDevice());
        break;
    default: break;
    }
}

void CMainWnd::OnTray(LPARAM pointerMessage) {
    if (pointerMessage == kTrayLeftUp || pointerMessage == WM_LBUTTONDBLCLK) {
        UpdateNoDeviceNotice();
        IWindowSurface* surface = GetSurface();
        if (IsWindowVisible() && !(surface && surface->IsMinimized())) {
            HideToTray();
            return;
        }
        CloseChildWindows();
        if (surface) surface->Restore();
        ShowWindow(true, true);
        DpiFit();
        BringToFront();
        m_pm.Invalidate({0, 0, m_pm.GetClientSize().cx, m_pm.GetClientSize().cy});
    } else if (pointerMessage == kTrayRightUp) {
        m_pm.SetTimer(m_pm.GetRoot(), kTimerTrayMenu, kTrayMenuDelayMs);
    }
}

void CMainWnd::OnMenu(WPARAM wParam) {
    const auto command = CMenuWnd::TakeCommand(wParam);
    if (!command) return;
    if (command->name == "exit") {
        CloseChildWindows();
        Close(IDOK);  // the window is destroyed, which ends the program
    } else if (command->name == "open") {
        BringToFront();
    } else if (command->name == "setwnd_menu" || command->name == "about_menu") {
        OpenSettingsWindow();  // the settings window carries the program's version
    } else if (macroEditor_) {
        macroEditor_->OnMenuCommand(command->name, CurrentDevice());
    }
}

bool CMainWnd::OnSimControl(WPARAM action, LPARAM kind) {
    if (!settings_.simControl) return false;
    if (!settings_.simControl(static_cast<int>(action), static_cast<int>(kind))) {
        Trace("simulation: action %d on kind %d refused\n", static_cast<int>(action), static_cast<int>(kind));
        return false;
    }
    return true;
}

// ---- detection ----

void CMainWnd::OnDeviceArrival(size_t index) {
    const auto slot = slots_->Slot(index);
    if (!slot) return;
    switch (slot->kind) {
    case kKindKeyboard:
    case kKindReceiverKeyboard:
        Trace("添加一个键盘设备\n");
        if (slot->kind == kKindKeyboard) keyboardPresent_ = true;
        AttachSlot(index);
        break;
    case kKindMouse:
    case kKindReceiverMouse:
        Trace("添加一个鼠标设备\n");
        if (slot->kind == kKindMouse) mousePresent_ = true;
        AttachSlot(index);
        break;
    case kKindMousePad:
    case kKindHeadset:
        Trace("添加一个鼠标垫设备\n");
        AttachSlot(index);
        break;
    case kKindReceiver:
        Trace("添加一个Dongle设备\n");
        receiverPath_ = slots_->DevicePath(kSlotReceiver);
        m_pm.SetTimer(m_pm.GetRoot(), kTimerReceiverPoll, kReceiverFirstPollMs);
        break;
    default: break;
    }
    BringToFront();
}

void CMainWnd::OnDeviceRemoval(size_t index) {
    const auto slot = SupportedDeviceTable().size() > index ? std::optional(SupportedDeviceTable()[index]) : std::nullopt;
    if (!slot) return;
    switch (slot->kind) {
    case kKindKeyboard:
    case kKindReceiverKeyboard:
        Trace("删除一个键盘设备\n");
        DetachSlot(index);
        keyboardPresent_ = false;
        // A keyboard still linked to the receiver goes on without its cable.
        if (slot->kind == kKindKeyboard && slot->role == kRolePrimary && receiverPoller_.KeyboardLinked())
            AttachSlot(kSlotReceiverKeyboard);
        break;
    case kKindMouse:
    case kKindReceiverMouse:
        Trace("删除一个鼠标设备\n");
        DetachSlot(index);
        mousePresent_ = false;
        if (slot->kind == kKindMouse && slot->role == kRolePrimary && receiverPoller_.MouseLinked())
            AttachSlot(kSlotReceiverMouse);
        break;
    case kKindMousePad:
    case kKindHeadset:
        Trace("删除一个鼠标垫设备\n");
        DetachSlot(index);
        break;
    case kKindReceiver:
        Trace("删除一个Dongle设备\n");
        if (slot->role != kRolePrimary) break;
        if (receiverPoller_.KeyboardLinked()) DetachSlot(kSlotReceiverKeyboard);
        if (receiverPoller_.MouseLinked()) DetachSlot(kSlotReceiverMouse);
        // A receiver plugged in again links its devices anew.
        receiverPoller_.Reset();
        pollChannel_.CloseAll();
        receiverPath_.clear();
        break;
    default: break;
    }
}

void CMainWnd::OnReceiverPoll() {
    if (destroyed_) return;
    receiverPath_ = slots_->DevicePath(kSlotReceiver);
    if (receiverPath_.empty()) return;  // the receiver went away; its next arrival polls again
    // The poll has a channel of its own: a device's channel keeps its path, link type and
    // chunk size, whatever the receiver reports.
    const ReceiverLinkState state = ReceiverLinkPoller::Query(pollChannel_, receiverPath_);
    receiverPoller_.Apply(state, CablePresence{keyboardPresent_, mousePresent_});
    m_pm.SetTimer(m_pm.GetRoot(), kTimerReceiverPoll, kReceiverPollMs);
}

void CMainWnd::OnSettleCheck() {
    bool settled = true;
    for (int i = 0; i < OptionCount(); ++i) {
        if (CDeviceOptionUI* option = OptionAt(i); option && option->IsVisible() && !option->HasReadDevice()) settled = false;
    }
    if (!settled && TickCount64() < settleDeadline_) {
        m_pm.SetTimer(m_pm.GetRoot(), kTimerSettle, kSettleCheckMs);
        return;
    }
    if (!settledOnce_) {
        // Read: the lighting shows after the animation's first frames.
        settledOnce_ = true;
        m_pm.SetTimer(m_pm.GetRoot(), kTimerSettle, kSettleFramesMs);
        return;
    }
    if (auto notice = std::exchange(settings_.onSettled, nullptr)) notice();
}

// ---- messages ----

LRESULT CMainWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
    LRESULT result = 0;
    // Window state, other programs and power notices are taken in every power state; the
    // rest only while the system is not suspended.
    bHandled = HandleAlwaysMessage(uMsg, wParam, lParam, result) ||
               (powerRunning_ && HandleRunningMessage(uMsg, wParam, lParam, result));
    return result;
}

bool CMainWnd::HandleAlwaysMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (uMsg == WM_ACTIVATE) {
        active_ = hovered_ = wParam != 0;
        Trace("main window: %s\n", active_ ? "active" : "inactive");
        TellWindowFocus(active_);
    } else if (uMsg == WM_MOUSELEAVE || uMsg == WM_MOUSEHOVER) {
        if (!active_) {
            hovered_ = uMsg == WM_MOUSEHOVER;
            TellWindowFocus(hovered_);
        }
        return false;
    } else if (uMsg == WM_MOUSEWHEEL) {
        return false;
    } else if (uMsg == WM_SIZE || uMsg == WM_SHOWWINDOW) {
        UpdatePagesShown();  // minimised, restored, shown or hidden; the layout takes it too
        return false;
    } else if (uMsg == productMessage_) {
        BringToFront();
        if (!firstPassSeen_ && lParam == 0) {
            firstPassSeen_ = true;
            if (settings_.onFirstPass) settings_.onFirstPass();
            if (settings_.onSettled) {
                settleDeadline_ = TickCount64() + settings_.settleLimitMs;
                m_pm.SetTimer(m_pm.GetRoot(), kTimerSettle, kSettleCheckMs);
            }
        }
    } else if (uMsg == RegisteredMessages::Companion(0)) {
        if (CSetWnd* settingsWindow = SettingsWindow()) q208::PostMessage(settingsWindow->GetHWND(), uMsg, wParam, lParam);
    } else if (uMsg == RegisteredMessages::Companion(2)) {
        OnLightControlRequest(wParam, lParam);
    } else if (uMsg == RegisteredMessages::Companion(3)) {
        SendModelListToWorkTool();
    } else if (uMsg == WM_POWERBROADCAST) {
        OnPowerBroadcast(wParam);
        result = 1;
    } else {
        return false;
    }
    return true;
}

bool CMainWnd::HandleRunningMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (uMsg == WM_DETECTION_WORK) {
        if (detectionHost_) {
            detectionHost_->Drain([this](UINT message, size_t slot) {
                if (message == WM_DEVICE_ARRIVAL) OnDeviceArrival(slot);
                else OnDeviceRemoval(slot);
            });
        }
    } else if (OnHookMessage(uMsg, wParam, lParam) || OnGameMessage(uMsg, wParam, lParam)) {
    } else if (uMsg == RegisteredMessages::IdOf(kProfileSelectMessageName)) {
        const int model = ModelForSlotKind(static_cast<uint16_t>(wParam));
        if (profiles_) profiles_->OnSelectRequest(model >= 0 ? DeviceOfModel(model) : nullptr, static_cast<int>(lParam));
    } else if (uMsg == WM_DEVICE_ARRIVAL) {
        OnDeviceArrival(wParam);
    } else if (uMsg == WM_DEVICE_REMOVAL) {
        OnDeviceRemoval(wParam);
    } else if (uMsg == WM_LANGUAGE_SELECT) {
        language_->Select(static_cast<int>(wParam), &m_pm);
    } else if (uMsg == WM_SHOW_PROGRESS) {
        if (CControlUI* progress = m_pm.FindControl(kProgress)) progress->SetVisible(true);
    } else if (uMsg == WM_OPEN_SETTINGS) {
        OpenSettingsWindow();
    } else if (uMsg == WM_CLEAR_UPDATE_MARK) {
        if (auto* button = static_cast<CButtonUI*>(m_pm.FindControl(kSettingsButton))) button->SetForeImage("");
    } else if (uMsg == WM_IGNORED_3330) {
    } else if (uMsg == WM_DEVICE_OPTION) {
        const int index = static_cast<int>(wParam);
        if (lParam == 0) {
            HideOption(index);
            Trace("2.4gcesvdfherhue 1\n");
        } else if (OptionAt(index) && !OptionAt(index)->IsVisible()) {
            ShowOption(index, true, VisibleOptionCount() == 0);
        }
    } else if (uMsg == WM_HOOK_CONTROL) {
        ControlHook(wParam, lParam);
    } else if (uMsg == kTrayMessage) {
        OnTray(lParam);
    } else if (uMsg == kMenuMessage) {
        OnMenu(wParam);
    } else if (uMsg == WM_DPICHANGED) {
        OnDpiChanged(wParam, lParam);
    } else if (uMsg == WM_DISPLAYCHANGE) {
        displayChanged_ = true;
        DpiFit();
    } else if (uMsg == simControlMessage_) {
        result = OnSimControl(wParam, lParam) ? 1 : 0;
    } else if (uMsg == WM_ENDPOINT_DATA) {
        inbox_->Drain([this](const EndpointMessage& message) { OnCopyData(message); });
    } else {
        return false;
    }
    return true;
}

void CMainWnd::OnPowerBroadcast(WPARAM event) {
    if (event == PBT_APMSUSPEND) {
        powerRunning_ = false;
        ForEachLightingDevice([](CVantorixUSBDevice& device) { device.SetHostLighting(0); });
    } else if (event == PBT_APMRESUMEAUTOMATIC) {
        powerRunning_ = true;
        const int value = lightControl_;
        ForEachLightingDevice([value](CVantorixUSBDevice& device) { device.SetHostLighting(value); });
        // Plugs and unplugs seen during the sleep wait in the detection queue; without them
        // a device changed meanwhile would never get or lose its entry.
        q208::PostMessage(GetHWND(), WM_DETECTION_WORK);
    }
}

void CMainWnd::OnLightControlRequest(WPARAM wParam, LPARAM lParam) {
    if (wParam != 1 || (lParam != 0 && lParam != 1)) return;
    SetLightControl(static_cast<int>(lParam));
}

void CMainWnd::SendModelListToWorkTool() {
    const auto workTool = FindWindow("", kWorkToolWindowTitle);
    if (!workTool) return;
    const auto block = BuildWorkToolBlock();
    const SendResult sent =
        SendCopyData(*workTool, static_cast<uint64_t>(GetHWND()), kWorkToolDataKind, block);
    if (!sent.Delivered()) Trace("main window: model list not delivered (%s)\n", SendStatusText(sent.status));
}

bool CMainWnd::OnHookMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const auto it = std::find(hookMessages_.begin(), hookMessages_.end(), uMsg);
    if (it == hookMessages_.end()) return false;
    const char* name = kHookEventNames[it - hookMessages_.begin()];
    if (std::string_view(name) == kHookKeySingleKey && keyEditor_) keyEditor_->OnHookKey(wParam, lParam);
    else if (macroEditor_ && macroEditor_->OnHookEvent(name, wParam, lParam)) return true;
    else if (hookHandler_) hookHandler_(name, wParam, lParam);
    else Trace("main window: %s with nobody recording\n", name);
    return true;
}

bool CMainWnd::OnGameMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (std::find(gameMessages_.begin(), gameMessages_.end(), uMsg) == gameMessages_.end()) return false;
    CVantorixUSBDevice* device = CurrentDevice();
    if (device && gameLighting_.Apply(*device, wParam, lParam)) {
        m_pm.SetTimer(m_pm.GetRoot(), kTimerLightRestore, settings_.gameLightRestoreMs);
    }
    return true;
}

void CMainWnd::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const int dpi = static_cast<int>(wParam & 0xFFFF);
    windowDpi_ = IsSupportedWindowDpi(dpi) ? dpi : kDefaultDpi;
    m_pm.SetDPI(windowDpi_);
    m_pm.ResetDPIAssets();
    children_->FollowDpi(windowDpi_);
    if (const auto* suggested = reinterpret_cast<const UiRect*>(lParam)) SetWindowPos(*suggested);
    CenterWindow();
    m_pm.NeedUpdate();
}

void CMainWnd::OnLanguageApplied(int index) {
    // The display language only: each device keeps its own effect-list number.
    for (const auto& page : pages_) {
        if (CVantorixUSBDevice* device = page->Device()) device->SetDisplayLanguage(index);
    }
    if (fileNotices_) fileNotices_->Refresh();
    if (CControlUI* root = m_pm.GetRoot()) root->Invalidate();
    if (CSetWnd* settingsWindow = SettingsWindow()) q208::SendMessage(settingsWindow->GetHWND(), WM_LANGUAGE_SELECT, 0, 0);
    m_pm.NeedUpdate();
}

void CMainWnd::OnCopyData(const EndpointMessage& message) {
    if (message.data.empty() || !audio_) return;
    audio_->OnCopyData(message);
}

bool CMainWnd::MusicModeWanted() const {
    for (const auto& page : pages_) {
        const auto* keyboard = dynamic_cast<const CVantorixKeyboardDevice*>(page->Device());
        if (keyboard && keyboard->InMusicMode()) return true;
    }
    return false;
}

bool CMainWnd::SetMusicMode(bool on) {
    bool any = false;
    for (const auto& page : pages_) {
        auto* keyboard = dynamic_cast<CVantorixKeyboardDevice*>(page->Device());
        if (!keyboard) continue;
        keyboard->SetMusicMode(on);
        any = true;
    }
    if (any) OnMusicModeTimer();  // start or stop the recorder now, not on the next check
    return any;
}

void CMainWnd::OnMusicModeTimer() {
    if (!audio_ || destroyed_) return;
    audio_->FollowMusicMode(MusicModeWanted(), TickCount64());
    m_pm.SetTimer(m_pm.GetRoot(), kTimerMusicMode, kMusicModeCheckMs);
}

void CMainWnd::OnPaintSurface(IRenderTarget& target, const UiRect& dirty) {
    WindowImplBase::OnPaintSurface(target, dirty);
    if (!firstPaintSeen_) {
        firstPaintSeen_ = true;
        if (settings_.onFirstPaint) settings_.onFirstPaint();
    }
}

LRESULT CMainWnd::OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
    destroyed_ = true;
    settings_.shell->DeleteTray();
    Trace("退出测试\n");
    CloseChildWindows();
    if (power_) power_->Stop();
    m_pm.KillTimer(m_pm.GetRoot());
    StopThreads();
    // After the workers: the recorder hears that the lighting it fed is gone.
    if (audio_) audio_->Shutdown();
    for (int i = 0; i < OptionCount(); ++i) {
        if (OptionAt(i)) OptionAt(i)->StopDeviceTimers();
    }
    PostQuitMessage(0);
    return WindowImplBase::OnDestroy(uMsg, wParam, lParam, bHandled);
}

}  // namespace q208
