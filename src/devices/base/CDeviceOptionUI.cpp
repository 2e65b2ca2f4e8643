#include "devices/base/CDeviceOptionUI.h"

#include "device/CDeviceCommands.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "devices/base/DeviceMessages.h"
#include "platform/Trace.h"
#include "ui/COptionUI.h"
#include "ui/UiMessaging.h"
#include "ui/CPaintManagerUI.h"

namespace q208 {

namespace {
constexpr UINT kAllTimers[] = {
    CDeviceOptionUI::kTimerLightFrame, CDeviceOptionUI::kTimerConnect,   CDeviceOptionUI::kTimerRefresh,
    CDeviceOptionUI::kTimerReserved1,  CDeviceOptionUI::kTimerReserved2, CDeviceOptionUI::kTimerStatus,
    CDeviceOptionUI::kTimerLinkWatch,  CDeviceOptionUI::kTimerKeepAlive, CDeviceOptionUI::kTimerKeepAliveLong,
};
}  // namespace

CDeviceOptionUI::CDeviceOptionUI() = default;

CDeviceOptionUI::~CDeviceOptionUI() = default;

void* CDeviceOptionUI::GetInterface(std::string_view name) {
    return name == kClassName ? this : CHorizontalLayoutUI::GetInterface(name);
}

void CDeviceOptionUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER) {
        OnTimer(static_cast<UINT>(event.wParam));
        return;
    }
    CHorizontalLayoutUI::DoEvent(event);
}

void CDeviceOptionUI::SetDevice(CVantorixUSBDevice* device) {
    device_ = device;
    deviceLife_ = device ? device->Lifetime() : std::weak_ptr<int>();
}

CVantorixUSBDevice* CDeviceOptionUI::GetDevice() const { return deviceLife_.expired() ? nullptr : device_; }

void CDeviceOptionUI::SetLabel(std::string label) {
    label_ = std::move(label);
    if (manager_) {
        if (CControlUI* text = manager_->FindSubControlByName(this, kLabelName)) text->SetText(label_);
    }
}

COptionUI* CDeviceOptionUI::SelectOption() const {
    if (!manager_) return nullptr;
    CControlUI* control = manager_->FindSubControlByName(const_cast<CDeviceOptionUI*>(this), kSelectName);
    return control ? static_cast<COptionUI*>(control->GetInterface("Option")) : nullptr;
}

COptionUI* CDeviceOptionUI::SynchroOption() const {
    if (!manager_) return nullptr;
    CControlUI* control = manager_->FindSubControlByName(const_cast<CDeviceOptionUI*>(this), kSynchroName);
    return control ? static_cast<COptionUI*>(control->GetInterface("Option")) : nullptr;
}

bool CDeviceOptionUI::IsDeviceSelected() const {
    COptionUI* option = SelectOption();
    return option && option->IsSelected();
}

void CDeviceOptionUI::ShowOnline(bool online) {
    online_ = online;
    if (!manager_) return;
    if (CControlUI* mark = manager_->FindSubControlByName(this, kOfflineName)) mark->SetVisible(!online);
    Invalidate();
}

void CDeviceOptionUI::RequestEntryShown() {
    if (!manager_ || IsVisible()) return;
    const auto* list = dynamic_cast<CContainerUI*>(GetParent());
    const int index = list ? list->GetItemIndex(this) : -1;
    if (index >= 0) PostMessage(manager_->GetPaintWindow(), WM_DEVICE_OPTION, static_cast<WPARAM>(index), 1);
}

void CDeviceOptionUI::Arm(UINT id, UINT elapseMs) {
    if (!manager_) return;
    manager_->SetTimer(this, id, elapseMs);
    if (id == kTimerLightFrame) lightFrameArmed_ = true;
}

void CDeviceOptionUI::Disarm(UINT id) {
    if (!manager_) return;
    manager_->KillTimer(this, id);
    if (id == kTimerLightFrame) lightFrameArmed_ = false;
}

void CDeviceOptionUI::StartConnect(UINT delayMs) { Arm(kTimerConnect, delayMs); }

void CDeviceOptionUI::RequestRefresh(UINT delayMs) { Arm(kTimerRefresh, delayMs); }

void CDeviceOptionUI::StopDeviceTimers() {
    for (UINT id : kAllTimers) Disarm(id);
}

void CDeviceOptionUI::OnTimer(UINT id) {
    Disarm(id);
    CVantorixUSBDevice* device = GetDevice();
    if (!device) return;
    switch (id) {
    case kTimerLightFrame: OnLightFrame(); break;
    case kTimerConnect: OnConnect(); break;
    case kTimerRefresh: device->RefreshFromDevice(); break;
    case kTimerReserved1: device->Reserved15(); break;
    case kTimerReserved2: device->Reserved16(); break;
    case kTimerStatus: OnStatus(); break;
    case kTimerLinkWatch: OnLinkWatch(); break;
    case kTimerKeepAlive:
    case kTimerKeepAliveLong: OnKeepAlive(id); break;
    default: break;
    }
}

// The timer keeps its period (5 ms on the cable, 20 ms through the receiver) while the device
// takes host frames from it. With nothing to send it rests instead of waking the program
// 250 times a second for nothing: the light buttons follow the colours through
// OnColoursChanged, and a device that starts streaming again has changed its colours too.
void CDeviceOptionUI::OnLightFrame() {
    CVantorixUSBDevice* device = GetDevice();
    // The light buttons repaint themselves when their colour changes; the page is not
    // redrawn for a frame that changed nothing.
    device->SendLightFrame();
    CDeviceChannel& channel = device->CommandChannel();
    if (channel.IsOpen() && device->StreamsLightFrames())
        Arm(kTimerLightFrame, channel.ViaReceiver() ? kLightFrameReceiverMs : kLightFrameWiredMs);
}

void CDeviceOptionUI::OnColoursChanged() {
    if (lightFrameArmed_ || !GetDevice()) return;
    OnLightFrame();
}

void CDeviceOptionUI::OnConnect() {
    CVantorixUSBDevice* device = GetDevice();
    CDeviceChannel& channel = device->CommandChannel();
    const bool receiverPath = channel.ViaReceiver();
    if (receiverPath && channel.IsOpen()) {
        if (!device->IsOnline()) {
            retries_ = retries_ >= kMaxRetry ? 0 : retries_ + 1;
            ShowOnline(false);
            Arm(kTimerConnect, kConnectRetryMs);
            return;
        }
        Arm(kTimerKeepAlive, kFirstDelayMs);
        Arm(kTimerKeepAliveLong, kFirstDelayMs);
        ShowOnline(true);
        RequestEntryShown();
    }
    device->ReadDevice();
    readDevice_ = true;
    retries_ = 0;
    Arm(kTimerLightFrame, kLightFrameWiredMs);
    if (device->IsWirelessCapable() && channel.IsOpen()) Arm(kTimerStatus, kFirstDelayMs);
    if (receiverPath) Arm(kTimerLinkWatch, kLinkWatchMs);
}

void CDeviceOptionUI::OnStatus() {
    CVantorixUSBDevice* device = GetDevice();
    device->RefreshStatus();
    if (device->IsWirelessCapable()) Arm(kTimerStatus, kStatusPeriodMs);
}

void CDeviceOptionUI::OnLinkWatch() {
    CVantorixUSBDevice* device = GetDevice();
    if (!device->CommandChannel().ViaReceiver()) return;
    const bool online = device->IsOnline();
    if (online && !online_) {
        ShowOnline(true);
        RequestEntryShown();
        if (device->IsWirelessCapable()) device->RefreshStatus();
    } else if (!online && online_) {
        ShowOnline(false);
    }
    Arm(kTimerLinkWatch, kLinkWatchMs);
}

void CDeviceOptionUI::OnKeepAlive(UINT id) {
    CVantorixUSBDevice* device = GetDevice();
    CDeviceCommands commands(device->CommandChannel());
    const int begin = commands.BeginConfig();
    const int end = commands.EndConfig();
    if (begin != 1 || end != 1) Trace("keep-alive: BeginConfig %d, EndConfig %d\n", begin, end);
    const UINT period = id == kTimerKeepAlive
                            ? static_cast<UINT>(std::max(1, device->KeepAliveMinutes()) * 60000 - 10000)
                            : kKeepAliveLongMs;
    Arm(id, period);
}

}  // namespace q208
