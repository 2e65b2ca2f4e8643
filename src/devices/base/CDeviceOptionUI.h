#pragma once

#include <array>
#include <memory>
#include <string>

#include "ui/CHorizontalLayoutUI.h"

namespace q208 {

class COptionUI;
class CVantorixUSBDevice;

// A device's entry in the device list. It shows the device (label, online state), carries
// the "device_select" and "synchro_device_select" options, knows the tab pages of the
// device's page and power panel, and drives the device with its timers: connect, light
// frames, status, link watch and keep-alives. Every timer handler first stops its timer and
// re-arms it as its rule says.
class CDeviceOptionUI : public CHorizontalLayoutUI {
public:
    static constexpr const char* kClassName = "DeviceOption";
    static constexpr const char* kSelectName = "device_select";
    static constexpr const char* kSynchroName = "synchro_device_select";
    static constexpr const char* kLabelName = "device_label";
    static constexpr const char* kOfflineName = "device_offline";

    enum TimerId : UINT {
        kTimerLightFrame = 1000,
        kTimerConnect = 1001,
        kTimerRefresh = 1002,
        kTimerReserved1 = 1003,
        kTimerReserved2 = 1004,
        kTimerStatus = 1005,
        kTimerLinkWatch = 1007,
        kTimerKeepAlive = 1008,
        kTimerKeepAliveLong = 1009,
    };
    static constexpr UINT kConnectDelayMs = 100;
    static constexpr UINT kConnectRetryMs = 3000;
    static constexpr UINT kLightFrameWiredMs = 5;
    static constexpr UINT kLightFrameReceiverMs = 20;
    static constexpr UINT kFirstDelayMs = 50;
    static constexpr UINT kStatusPeriodMs = 5000;
    static constexpr UINT kLinkWatchMs = 3000;
    static constexpr UINT kKeepAliveLongMs = 170000;
    static constexpr int kMaxRetry = 19;  // the failed-try count wraps to 0 after this

    CDeviceOptionUI();
    ~CDeviceOptionUI() override;

    // The device's colours changed: a resting light-frame timer shows them at once.
    void OnColoursChanged();

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;

    void SetDevice(CVantorixUSBDevice* device);
    CVantorixUSBDevice* GetDevice() const;
    void SetKindAndRole(int kind, int role) {
        kind_ = kind;
        role_ = role;
    }
    int GetKind() const { return kind_; }
    int GetRole() const { return role_; }
    // Shown on the "device_label" child when there is one.
    void SetLabel(std::string label);
    const std::string& GetLabel() const { return label_; }
    void SetTabPage(std::string tabName, int page) {
        tabName_ = std::move(tabName);
        tabPage_ = page;
    }
    const std::string& GetTabName() const { return tabName_; }
    int GetTabPage() const { return tabPage_; }
    // page −1: the device has no power panel.
    void SetPowerPage(std::string layoutName, int page) {
        powerLayout_ = std::move(layoutName);
        powerPage_ = page;
    }
    const std::string& GetPowerLayoutName() const { return powerLayout_; }
    int GetPowerPage() const { return powerPage_; }

    COptionUI* SelectOption() const;
    COptionUI* SynchroOption() const;
    bool IsDeviceSelected() const;

    // Online display (the entry starts online; only the receiver path shows offline).
    void ShowOnline(bool online);
    // Behind the receiver the main window does not show the entry on attach: ask for it.
    void RequestEntryShown();
    bool IsShownOnline() const { return online_; }
    int GetRetryCount() const { return retries_; }
    // True once the connect sequence has read the device.
    bool HasReadDevice() const { return readDevice_; }

    void SetOptionState(int first, int second, int third) { optionState_ = {first, second, third}; }
    std::array<int, 3> GetOptionState() const { return optionState_; }

    // Starts the connect sequence (attach).
    void StartConnect(UINT delayMs = kConnectDelayMs);
    // Asks for RefreshFromDevice after `delayMs` (input events of the device).
    void RequestRefresh(UINT delayMs = kFirstDelayMs);
    // Stops every timer of the entry (detach).
    void StopDeviceTimers();

    // Runs the handler of a timer as if it had expired.
    void OnTimer(UINT id);

private:
    void Arm(UINT id, UINT elapseMs);
    void Disarm(UINT id);
    void OnLightFrame();
    void OnConnect();
    void OnStatus();
    void OnLinkWatch();
    void OnKeepAlive(UINT id);

    CVantorixUSBDevice* device_ = nullptr;
    std::weak_ptr<int> deviceLife_;
    bool lightFrameArmed_ = false;
    int kind_ = 0;
    int role_ = 0;
    std::string label_;
    std::string tabName_;
    int tabPage_ = -1;
    std::string powerLayout_;
    int powerPage_ = -1;
    bool online_ = true;
    int retries_ = 0;
    bool readDevice_ = false;
    std::array<int, 3> optionState_{};
};

}  // namespace q208
