#include "app/CMainWnd.h"

#include <algorithm>
#include <deque>
#include <mutex>

#include "app/MainWndDetectionHost.h"
#include "app/MainWndMessages.h"
#include "controls/CMpDevicePowerUI.h"
#include "device/CDetectionThread.h"
#include "devices/CDeviceOptionUI.h"
#include "devices/CVantorixUSBDevice.h"
#include "platform/EndpointMessaging.h"
#include "platform/RegisteredMessageNames.h"
#include "platform/Trace.h"
#include "ui/CControlFactory.h"
#include "ui/COptionUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiMessaging.h"
#include "ui/qt/CMenuWnd.h"

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

bool IsBehindReceiver(uint16_t kind) { return kind == kKindReceiverKeyboard || kind == kKindReceiverMouse; }

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

// Data blocks from other programs, waiting for the window's thread.
struct CMainWnd::Inbox {
    std::mutex mutex;
    std::deque<EndpointMessage> messages;
};

CMainWnd::CMainWnd(MainWndSettings settings)
    : settings_(std::move(settings)),
      slots_(std::make_shared<DeviceSlotList>()),
      inbox_(std::make_shared<Inbox>()) {
    if (!settings_.shell) settings_.shell = std::make_shared<IMainWndShell>();
    productMessage_ = RegisterWindowMessage(kProductMessageName);
    simControlMessage_ = RegisterWindowMessage(kSimControlMessageName);
}

CMainWnd::~CMainWnd() { StopThreads(); }

// ---- start ----

void CMainWnd::InitWindow() {
    Trace("InitWindow\n");
    if (!settings_.languageFile.empty()) CResourceManager::GetInstance().LoadLanguage(settings_.languageFile);
    settings_.shell->CreateTray(GetHWND(), kMainWindowTitle);
    if (settings_.openEndpoint) OpenEndpoint();
}

void CMainWnd::OnWindowInit() {
    if (settings_.openEndpoint) BroadcastMessage(kCompanionMessageNames[1], 1, 1);  // we take the lighting
    for (size_t model = 0; model < DeviceModelTable().size(); ++model) BuildModelPage(static_cast<int>(model));
    UpdateNoDeviceNotice();
    ShowWindow(false, false);  // until the first detection pass brings it up
    StartThreads();
    m_pm.SetTimer(m_pm.GetRoot(), kTimerDpiFit, kDpiFitDelayMs);
}

void CMainWnd::OpenEndpoint() {
    const HWND hwnd = GetHWND();
    std::weak_ptr<Inbox> inbox = inbox_;
    endpoint_ = std::make_unique<MessageEndpoint>(
        kMainWindowClass, kMainWindowTitle, [hwnd, inbox](const EndpointMessage& message) -> int64_t {
            if (message.isCopyData) {
                auto box = inbox.lock();
                if (!box) return 0;
                {
                    std::lock_guard lock(box->mutex);
                    box->messages.push_back(message);
                }
                return q208::PostMessage(hwnd, WM_ENDPOINT_DATA) ? 1 : 0;
            }
            const UINT id = RegisterWindowMessage(message.name);
            if (id == 0) return 0;
            return q208::PostMessage(hwnd, id, static_cast<WPARAM>(message.wParam), static_cast<LPARAM>(message.lParam)) ? 1 : 0;
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
    if (it == standIns.end()) return nullptr;
    if (it->standIn == CVantorixUSBDevice::kClassName) return std::make_unique<CVantorixUSBDevice>(settings_.bus);
    return CControlFactory::GetInstance().CreateControl(it->standIn);
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
    device->SetVisible(true);
    deviceSwitch->Add(std::move(deviceControl));
    device->Initialize();
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
            mark->SetText(CResourceManager::GetInstance().GetText(std::string("device_name_") + row.modelFolder));
        }
        option->SetDevice(device);
        device->SetOptionPanel(option);
        device->SetOptionState(row.pageNumbers[1], row.pageNumbers[0], row.pageNumbers[2]);
    }
    page->device = device;
    page->deviceLife = device->Lifetime();
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
    if (slot->role == kRoleSecondary) {
        Trace("main window: secondary interface of slot %zu attached\n", index);
        return;
    }
    CVantorixUSBDevice* device = DeviceForSlotKind(slot->kind);
    if (!device) {
        // A page removed after a lost receiver link comes back when its device returns.
        BuildModelPage(ModelForSlotKind(slot->kind));
        device = DeviceForSlotKind(slot->kind);
        if (!device) return;
    }
    const bool behindReceiver = IsBehindReceiver(slot->kind);
    CDeviceChannel& channel = device->CommandChannel();
    if (!channel.IsOpen()) {
        const bool opened =
            behindReceiver
                ? channel.OpenPath(receiverPath_, CDeviceChannel::kLinkReceiver,
                                   slot->kind == kKindReceiverKeyboard ? kReceiverTargetKeyboard : kReceiverTargetMouse)
                : channel.OpenPath(slot->devicePath, CDeviceChannel::kLinkWired, 0);
        if (!opened) Trace("main window: slot %zu could not be opened\n", index);
        device->SetSlot(*slot);
    }
    const int option = OptionIndexOf(device);
    if (option < 0) return;
    if (!behindReceiver) ShowOption(option, true, VisibleOptionCount() == 0 || OptionAt(option)->IsDeviceSelected());
    OptionAt(option)->StartConnect();
}

void CMainWnd::DetachSlot(size_t index) {
    const auto slot = slots_->Slot(index);
    if (!slot) return;
    CVantorixUSBDevice* device = DeviceForSlotKind(slot->kind);
    if (!device) return;
    device->CommandChannel().SetOpen(false);
    device->CommandChannel().CloseAll();
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
    if (CVantorixUSBDevice* device = DeviceForSlotKind(kind)) device->CommandChannel().SetViaReceiver(false);
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

    const int visibleCount = VisibleOptionCount();
    UpdateNoDeviceNotice();
    if (visibleCount == 0) {
        SelectTab(kPowerSwitch, 0);
        SelectTab(kDeviceSwitch, 0);
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
    if (option->IsVisible() && option->IsDeviceSelected()) {
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
    if (option->GetPowerPage() >= 0) SelectTab(option->GetPowerLayoutName(), option->GetPowerPage());
}

void CMainWnd::UpdateNoDeviceNotice() {
    if (CControlUI* notice = m_pm.FindControl(kNoDevice)) notice->SetVisible(VisibleOptionCount() == 0);
    if (CControlUI* pagesSwitch = m_pm.FindControl(kDeviceSwitch)) pagesSwitch->SetVisible(VisibleOptionCount() > 0);
}

// ---- the window ----

void CMainWnd::BringToFront() {
    UpdateNoDeviceNotice();
    if (IWindowSurface* surface = GetSurface()) surface->Restore();
    ShowWindow(true, true);
    if (IWindowSurface* surface = GetSurface()) surface->BringToFront();
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
    windowDpi_ = DpiForMonitor(settings_.shell->MonitorSize());
    m_pm.SetDPI(windowDpi_);
    ResizeClient(m_pm.ScaleValue(kWindowWidth), m_pm.ScaleValue(kWindowHeight));
    CenterWindow();
    ShowWindow(shown, false);
}

void CMainWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_WINDOWINIT) {
        OnWindowInit();
    } else if (msg.sType == DUI_MSGTYPE_TIMER && msg.pSender == m_pm.GetRoot()) {
        OnTimer(static_cast<UINT>(msg.wParam));
        return;
    } else if (msg.sType == DUI_MSGTYPE_CLICK) {
        OnClick(msg);
    } else if (msg.sType == DUI_MSGTYPE_SELECTCHANGED && msg.pSender && msg.pSender->GetName() == CDeviceOptionUI::kSelectName) {
        OnDeviceSelectChanged(msg);
    }
    WindowImplBase::Notify(msg);
}

void CMainWnd::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    const std::string& name = msg.pSender->GetName();
    if (name == "closebtn") {
        settings_.shell->HideToTray(*this);
    } else if (name == "minbtn") {
        if (IWindowSurface* surface = GetSurface()) surface->Minimize();
    } else if (name == "device_select_prev") {
        SelectNeighbour(-1);
    } else if (name == "device_select_next") {
        SelectNeighbour(1);
    }
}

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
        break;
    case kTimerTrayMenu: settings_.shell->OpenTrayMenu(GetHWND()); break;
    case kTimerReceiverPoll: OnReceiverPoll(); break;
    case kTimerProfileSwitch:
    case kTimerLightRestore:
    default: break;
    }
}

void CMainWnd::OnTray(LPARAM pointerMessage) {
    if (pointerMessage == kTrayLeftUp || pointerMessage == WM_LBUTTONDBLCLK) {
        UpdateNoDeviceNotice();
        IWindowSurface* surface = GetSurface();
        if (IsWindowVisible() && !(surface && surface->IsMinimized())) {
            settings_.shell->HideToTray(*this);
            return;
        }
        if (surface) surface->Restore();
        ShowWindow(true, true);
        DpiFit();
        BringToFront();
    } else if (pointerMessage == kTrayRightUp) {
        m_pm.SetTimer(m_pm.GetRoot(), kTimerTrayMenu, kTrayMenuDelayMs);
    }
}

void CMainWnd::OnMenu(WPARAM wParam) {
    const auto command = CMenuWnd::TakeCommand(wParam);
    if (!command) return;
    if (command->name == "exit") {
        Close(IDOK);  // the window is destroyed, which ends the program
    } else if (command->name == "open") {
        BringToFront();
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
        break;
    case kKindMouse:
    case kKindReceiverMouse:
        Trace("删除一个鼠标设备\n");
        DetachSlot(index);
        mousePresent_ = false;
        break;
    case kKindMousePad:
    case kKindHeadset:
        Trace("删除一个鼠标垫设备\n");
        DetachSlot(index);
        break;
    case kKindReceiver:
        Trace("删除一个Dongle设备\n");
        if (receiverPoller_.KeyboardLinked()) DetachSlot(kSlotReceiverKeyboard);
        if (receiverPoller_.MouseLinked()) DetachSlot(kSlotReceiverMouse);
        break;
    default: break;
    }
}

void CMainWnd::OnReceiverPoll() {
    if (destroyed_) return;
    receiverPath_ = slots_->DevicePath(kSlotReceiver);
    CVantorixUSBDevice* current = CurrentDevice();
    const bool keyboardOrMouse = current && (current->GetKind() == kKindKeyboard || current->GetKind() == kKindMouse);
    if (!receiverPath_.empty()) {
        // Only a keyboard's or mouse's channel may be turned towards the receiver; any other
        // device would send its own commands to the receiver afterwards.
        CDeviceChannel& channel = keyboardOrMouse ? current->CommandChannel() : pollChannel_;
        const ReceiverLinkState state = ReceiverLinkPoller::Query(channel, receiverPath_);
        receiverPoller_.Apply(state, CablePresence{keyboardPresent_, mousePresent_});
    } else if (keyboardOrMouse) {
        current->CommandChannel().SetViaReceiver(false);
    }
    m_pm.SetTimer(m_pm.GetRoot(), kTimerReceiverPoll, kReceiverPollMs);
}

// ---- messages ----

LRESULT CMainWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
    bHandled = true;
    if (uMsg == WM_DETECTION_WORK) {
        if (detectionHost_) {
            detectionHost_->Drain([this](UINT message, size_t slot) {
                if (message == WM_DEVICE_ARRIVAL) OnDeviceArrival(slot);
                else OnDeviceRemoval(slot);
            });
        }
    } else if (uMsg == WM_DEVICE_ARRIVAL) {
        OnDeviceArrival(wParam);
    } else if (uMsg == WM_DEVICE_REMOVAL) {
        OnDeviceRemoval(wParam);
    } else if (uMsg == productMessage_) {
        BringToFront();
        if (!firstPassSeen_ && lParam == 0) {
            firstPassSeen_ = true;
            if (settings_.onFirstPass) settings_.onFirstPass();
        }
    } else if (uMsg == WM_DEVICE_OPTION) {
        const int index = static_cast<int>(wParam);
        if (lParam == 0) {
            HideOption(index);
        } else if (OptionAt(index) && !OptionAt(index)->IsVisible()) {
            ShowOption(index, true, VisibleOptionCount() == 0);
        }
    } else if (uMsg == kTrayMessage) {
        OnTray(lParam);
    } else if (uMsg == kMenuMessage) {
        OnMenu(wParam);
    } else if (uMsg == simControlMessage_) {
        return OnSimControl(wParam, lParam) ? 1 : 0;
    } else if (uMsg == WM_ENDPOINT_DATA) {
        std::deque<EndpointMessage> messages;
        {
            std::lock_guard lock(inbox_->mutex);
            messages.swap(inbox_->messages);
        }
        for (const EndpointMessage& message : messages) OnCopyData(message);
    } else {
        bHandled = false;
    }
    return 0;
}

void CMainWnd::OnCopyData(const EndpointMessage& message) {
    Trace("main window: data block %llu of %zu bytes\n", static_cast<unsigned long long>(message.dwData),
          message.data.size());
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
    m_pm.KillTimer(m_pm.GetRoot());
    StopThreads();
    for (int i = 0; i < OptionCount(); ++i) {
        if (OptionAt(i)) OptionAt(i)->StopDeviceTimers();
    }
    PostQuitMessage(0);
    return WindowImplBase::OnDestroy(uMsg, wParam, lParam, bHandled);
}

}  // namespace q208
