#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include <cstdlib>

#include <gtest/gtest.h>

#include "app/AppStartup.h"
#include "app/CMainWnd.h"
#include "device/SimBus.h"
#include "devices/CDeviceOptionUI.h"
#include "devices/CVantorixUSBDevice.h"
#include "platform/EndpointMessaging.h"
#include "platform/Paths.h"
#include "platform/RegisteredMessageNames.h"
#include "sim/SimDeviceSet.h"
#include "ui/CHeadlessPlatform.h"
#include "ui/CMessageQueue.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiMessaging.h"
#include "ui/qt/CQtPlatform.h"
#include "ui/qt/SkinSetup.h"

namespace q208::test {
namespace {

using sim::SimDeviceKind;
constexpr int kKeyboardModel = 0;
constexpr int kMouseModel = 1;
constexpr int kMousePadModel = 2;

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

TEST_F(MainWndTest, StartsWithEveryPageHiddenAndTheNoticeShownAfterTheFirstPass) {
    Start();
    EXPECT_EQ(wnd_->OptionCount(), 4);
    EXPECT_EQ(wnd_->VisibleOptionCount(), 0);
    EXPECT_TRUE(NoticeShown());
    EXPECT_TRUE(wnd_->IsWindowVisible());
    EXPECT_TRUE(wnd_->ThreadsRunning());
}

TEST_F(MainWndTest, ModelWithoutDeviceClassHasNoEntry) {
    MainWndSettings settings;
    settings.standIns = {{"VantorixMousePadDevice", "VantorixUSBDevice"}};
    Start(settings);
    // The keyboard's class is registered, the pad is stood in for, the mouse has neither.
    EXPECT_EQ(wnd_->OptionCount(), 2);
    EXPECT_EQ(wnd_->OptionIndexOfModel(kKeyboardModel), 0);
    EXPECT_EQ(wnd_->OptionIndexOfModel(kMouseModel), -1);
    EXPECT_EQ(wnd_->OptionIndexOfModel(kMousePadModel), 1);
}

TEST_F(MainWndTest, CabledKeyboardTakesBothSlotsAndOnlyTheVendorSlotOpensTheChannel) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    EXPECT_FALSE(wnd_->Slots().DevicePath(0).empty());
    EXPECT_FALSE(wnd_->Slots().DevicePath(1).empty());
    EXPECT_TRUE(wnd_->KeyboardPresent());
    CVantorixUSBDevice* keyboard = wnd_->DeviceOfModel(kKeyboardModel);
    ASSERT_NE(keyboard, nullptr);
    EXPECT_TRUE(keyboard->CommandChannel().IsOpen());
    EXPECT_EQ(keyboard->GetSlot().devicePath, wnd_->Slots().DevicePath(0));
    EXPECT_TRUE(Selected(kKeyboardModel));
    EXPECT_FALSE(NoticeShown());
}

TEST_F(MainWndTest, UnpluggingTheShownDeviceSelectsAnotherAndTheLastShowsTheNotice) {
    devices_->Plug(SimDeviceKind::Keyboard);
    devices_->Plug(SimDeviceKind::MousePad);
    Start();
    ASSERT_TRUE(Selected(kKeyboardModel));
    ASSERT_TRUE(Visible(kMousePadModel));

    devices_->Unplug(SimDeviceKind::Keyboard);
    ASSERT_TRUE(PumpUntil([&] { return !Visible(kKeyboardModel); }));
    EXPECT_TRUE(Selected(kMousePadModel));
    EXPECT_FALSE(wnd_->DeviceOfModel(kKeyboardModel)->CommandChannel().IsOpen());

    devices_->Unplug(SimDeviceKind::MousePad);
    ASSERT_TRUE(PumpUntil([&] { return wnd_->VisibleOptionCount() == 0; }));
    EXPECT_TRUE(NoticeShown());
    EXPECT_EQ(DevicePage(), 0);
}

TEST_F(MainWndTest, KeyboardSwitchedOnBehindTheReceiverIsAttachedByThePoll) {
    devices_->Receiver()->SetLinked(SimDeviceKind::Keyboard, false);
    devices_->Receiver()->SetLinked(SimDeviceKind::Mouse, false);
    devices_->Plug(SimDeviceKind::Receiver);
    devices_->Receiver()->SetLinked(SimDeviceKind::Keyboard, false);
    devices_->Receiver()->SetLinked(SimDeviceKind::Mouse, false);
    Start();
    ASSERT_FALSE(wnd_->Slots().DevicePath(kSlotReceiver).empty());
    EXPECT_EQ(wnd_->VisibleOptionCount(), 0);
    EXPECT_FALSE(wnd_->Slots().IsConnected(kSlotReceiver));

    devices_->Receiver()->SetLinked(SimDeviceKind::Keyboard, true);
    ASSERT_TRUE(PumpUntil([&] { return wnd_->ReceiverPoller().KeyboardLinked(); }));
    EXPECT_TRUE(wnd_->Slots().IsConnected(kSlotReceiver));
    EXPECT_TRUE(wnd_->DeviceOfModel(kKeyboardModel)->CommandChannel().IsOpen());
    // Its entry appears once the keyboard answers through the receiver.
    EXPECT_TRUE(PumpUntil([&] { return Visible(kKeyboardModel); }));

    devices_->Unplug(SimDeviceKind::Receiver);
    ASSERT_TRUE(PumpUntil([&] {
        return wnd_->Slots().DevicePath(kSlotReceiver).empty() && wnd_->Slots().DevicePath(kSlotReceiver + 1).empty();
    }));
    // The keyboard is detached, or its page removed when the poll saw the link go first.
    CVantorixUSBDevice* keyboard = wnd_->DeviceOfModel(kKeyboardModel);
    EXPECT_TRUE(keyboard == nullptr || !keyboard->CommandChannel().IsOpen());
}

TEST_F(MainWndTest, SecondCopyBringsTheFirstToTheFront) {
    openEndpoint_ = true;
    Start();
    wnd_->ShowWindow(false, false);
    std::thread second([] {
        const auto first = FindWindow(kMainWindowClass, kMainWindowTitle);
        if (first) SendMessageTo(*first, kProductMessageName, 0, 1);
    });
    const bool shown = PumpUntil([&] { return wnd_->IsWindowVisible(); });
    second.join();
    EXPECT_TRUE(shown);
}

TEST_F(MainWndTest, ShutdownStopsEveryThread) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    ASSERT_TRUE(wnd_->ThreadsRunning());
    wnd_->DestroyWindow();
    EXPECT_FALSE(wnd_->ThreadsRunning());
}

TEST(MainWndDpi, LargeMonitorsGetOneAndAHalfTimesTheScale) {
    EXPECT_EQ(CMainWnd::DpiForMonitor({1920, 1080}), 144);
    EXPECT_EQ(CMainWnd::DpiForMonitor({1366, 768}), 96);
    EXPECT_EQ(CMainWnd::DpiForMonitor({1500, 1080}), 96);
}

}  // namespace
}  // namespace q208::test
