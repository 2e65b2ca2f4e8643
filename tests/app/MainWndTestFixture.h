#pragma once

// The main window over an emulated device set on the headless platform, as the program
// builds it: tests plug devices, start the window and pump its messages.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <cstdlib>

#include <gtest/gtest.h>

#include "app/AppStartup.h"
#include "app/CMainWnd.h"
#include "device/SimBus.h"
#include "devices/base/CDeviceOptionUI.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "platform/EndpointMessaging.h"
#include "platform/Paths.h"
#include "platform/RegisteredMessageNames.h"
#include "sim/SimDeviceSet.h"
#include "ui/CHeadlessPlatform.h"
#include "ui/CMessageQueue.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiMessaging.h"
#include "ui/UiNotify.h"
#include "ui/qt/CQtPlatform.h"
#include "ui/qt/SkinSetup.h"

namespace q208::test {

using sim::SimDeviceKind;

class SilentPowerSource : public PowerNotifier::Source {
public:
    bool Start(std::function<void(PowerEvent)>) override { return true; }
    void Stop() override {}
};

inline constexpr int kKeyboardModel = 0;
inline constexpr int kMouseModel = 1;
inline constexpr int kMousePadModel = 2;

class MainWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        EnsureQtApplication();  // the skin's fonts
        SetUiPlatform(std::make_shared<CHeadlessPlatform>());
        CMessageQueue::Current().ConsumeQuit();
        LoadSkin(FindDataRoot().skin);
        RegisterProgramControls();
        bus_ = std::make_shared<SimBus>();
        devices_ = std::make_unique<sim::SimDeviceSet>(bus_);
        // Device classes made by the control factory open their channels on the default bus,
        // as they do in the program running with --simulate.
        previousBus_ = DefaultHidBus();
        SetDefaultHidBus(bus_);
    }
    void TearDown() override {
        if (wnd_ && IsWindow(wnd_->GetHWND())) wnd_->DestroyWindow();
        CPaintManagerUI::PumpMessages();
        wnd_.reset();
        devices_.reset();
        if (!folder_.empty()) std::filesystem::remove_all(folder_);
        SetDefaultHidBus(previousBus_);
        SetUiPlatform(nullptr);
    }
    void Start(MainWndSettings settings = {}) {
        settings.bus = bus_;
        settings.openEndpoint = openEndpoint_;
        // The language and skin are kept in a folder of the test, not the user's.
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("q208-main-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder_);
        settings.settingsFile = folder_ / "settings.json";
        settings.userDataFolder = folder_;
        // Tests send the power notices themselves; the machine's system bus stays out of it.
        if (!settings.powerSource) settings.powerSource = [] { return std::make_unique<SilentPowerSource>(); };
        wnd_ = std::make_unique<CMainWnd>(std::move(settings));
        ASSERT_NE(wnd_->Create(0, kMainWindowTitle, 0, 0, 0, 0, CMainWnd::kWindowWidth, CMainWnd::kWindowHeight), 0u);
        ASSERT_TRUE(PumpUntil([&] { return wnd_->FirstPassSeen(); }));
    }
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            CPaintManagerUI::PumpMessages();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    bool Visible(int model) {
        const int index = wnd_->OptionIndexOfModel(model);
        return index >= 0 && wnd_->OptionAt(index)->IsVisible();
    }
    bool Selected(int model) {
        const int index = wnd_->OptionIndexOfModel(model);
        return Visible(model) && wnd_->OptionAt(index)->IsDeviceSelected();
    }
    bool NoticeShown() { return wnd_->GetPaintManager().FindControl("No_device_Link")->IsVisible(); }
    int DevicePage() {
        return static_cast<CTabLayoutUI*>(wnd_->GetPaintManager().FindControl("device_switch"))->GetCurSel();
    }

    std::shared_ptr<SimBus> bus_;
    std::shared_ptr<IHidBus> previousBus_;
    std::unique_ptr<sim::SimDeviceSet> devices_;
    std::unique_ptr<CMainWnd> wnd_;
    bool openEndpoint_ = false;
    std::filesystem::path folder_;
};

class MainWndHubTest : public MainWndTest {
protected:
    void Click(const std::string& name) {
        TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_CLICK;
        msg.pSender = wnd_->GetPaintManager().FindControl(name);
        ASSERT_NE(msg.pSender, nullptr) << name;
        wnd_->Notify(msg);
    }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
        return q208::SendMessage(wnd_->GetHWND(), message, wParam, lParam);
    }
    std::optional<EndpointAddress> MainEndpoint() { return FindWindow(kMainWindowClass, kMainWindowTitle); }
    CVantorixUSBDevice* Keyboard() { return wnd_->DeviceOfModel(kKeyboardModel); }
};

}  // namespace q208::test
