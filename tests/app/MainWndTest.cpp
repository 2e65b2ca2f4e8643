#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include <cstdlib>

#include <gtest/gtest.h>

#include "app/AppStartup.h"
#include "app/MainWndTestFixture.h"
#include "app/CMainWnd.h"
#include "app/CMsgWnd.h"
#include "app/LanguageSettings.h"
#include "app/ShellMessages.h"
#include "app/MainWndRoutes.h"
#include "app/RegisteredMessages.h"
#include "app/WorkToolBlock.h"
#include "app/DeviceModelTable.h"
#include "devices/mouse/CVantorixMouseDevice.h"
#include "platform/MessageEndpoint.h"
#include "ui/UiNotify.h"
#include <mutex>
#include <vector>
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
#include "devices/headset/CVantorixQV2907Device.h"
#include "devices/mousepad/CVantorixMousePadDevice.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiMessaging.h"
#include "ui/qt/CQtPlatform.h"
#include "ui/qt/SkinSetup.h"

namespace q208::test {
namespace {

using sim::SimDeviceKind;
TEST_F(MainWndTest, StartsWithEveryPageHiddenAndTheNoticeShownAfterTheFirstPass) {
    Start();
    EXPECT_EQ(wnd_->OptionCount(), 4);
    EXPECT_EQ(wnd_->VisibleOptionCount(), 0);
    EXPECT_TRUE(NoticeShown());
    EXPECT_TRUE(wnd_->IsWindowVisible());
    EXPECT_TRUE(wnd_->ThreadsRunning());
}

TEST_F(MainWndTest, EveryModelHasItsOwnDeviceClassWithoutStandIns) {
    MainWndSettings settings;
    settings.standIns = {};
    Start(settings);
    constexpr int kHeadsetModel = 3;
    EXPECT_EQ(wnd_->OptionCount(), 4);
    EXPECT_EQ(wnd_->OptionIndexOfModel(kKeyboardModel), 0);
    EXPECT_EQ(wnd_->OptionIndexOfModel(kMouseModel), 1);
    EXPECT_EQ(wnd_->OptionIndexOfModel(kMousePadModel), 2);
    EXPECT_EQ(wnd_->OptionIndexOfModel(kHeadsetModel), 3);
    EXPECT_NE(wnd_->DeviceOfModel(kHeadsetModel)->GetInterface(CVantorixQV2907Device::kClassName), nullptr);
    EXPECT_NE(wnd_->DeviceOfModel(kMouseModel)->GetInterface(CVantorixMouseDevice::kClassName), nullptr);
    EXPECT_NE(wnd_->DeviceOfModel(kMousePadModel)->GetInterface(CVantorixMousePadDevice::kClassName), nullptr);
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

// The pad listens on its own interface, not on the mouse's slot.
TEST_F(MainWndTest, APluggedMousePadListensOnItsOwnInterfaceAndReadsItsBlock) {
    devices_->Plug(SimDeviceKind::MousePad);
    Start();
    CVantorixUSBDevice* pad = wnd_->DeviceOfModel(kMousePadModel);
    ASSERT_NE(pad, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return pad->IsListening(1) && pad->GetLightState().effect == 1; }));
    EXPECT_EQ(pad->GetSlot().devicePath, wnd_->Slots().DevicePath(kSlotMousePad));
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

// Another program on the desktop: records what reaches its endpoint.
class Peer {
public:
    explicit Peer(const std::string& title)
        : endpoint_("PeerWnd", title, [this](const EndpointMessage& message) -> int64_t {
              std::lock_guard lock(mutex_);
              received_.push_back(message);
              return 1;
          }) {
        EXPECT_TRUE(endpoint_.Open());
    }
    std::vector<EndpointMessage> Received() {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    std::mutex mutex_;
    std::vector<EndpointMessage> received_;
    MessageEndpoint endpoint_;
};

TEST_F(MainWndHubTest, LightSwitchTwiceBroadcastsReleaseThenTakeAndTellsTheDevices) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    Peer peer("peer of the light switch");
    // Other copies sharing the runtime folder may announce themselves too, and separate
    // posts are not ordered: look for each announcement after its click.
    auto announced = [&](int64_t lParam, size_t from) {
        const auto received = peer.Received();
        for (size_t i = from; i < received.size(); ++i) {
            if (received[i].name == kCompanionMessageNames[1] && received[i].wParam == 1 && received[i].lParam == lParam)
                return true;
        }
        return false;
    };
    Click("control_light_status");
    EXPECT_EQ(wnd_->LightControl(), 0);
    EXPECT_EQ(Keyboard()->GetHostLighting(), 0);
    EXPECT_EQ(wnd_->GetPaintManager().FindControl("control_light_status")->GetRawText(), "%{light_control_off}");
    EXPECT_TRUE(PumpUntil([&] { return announced(0, 0); }));
    const size_t seen = peer.Received().size();
    Click("control_light_status");
    EXPECT_EQ(wnd_->LightControl(), 1);
    EXPECT_EQ(Keyboard()->GetHostLighting(), 1);
    EXPECT_TRUE(PumpUntil([&] { return announced(1, seen); }));
}

TEST_F(MainWndHubTest, ArrivalDuringSuspendWaitsForResume) {
    Start();
    Send(WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_FALSE(wnd_->PowerRunning());
    EXPECT_EQ(Keyboard()->GetHostLighting(), 0);
    devices_->Plug(SimDeviceKind::Keyboard);
    EXPECT_FALSE(PumpUntil([&] { return Visible(kKeyboardModel); }, 600));
    // Other messages are left alone as well.
    const int dpi = wnd_->WindowDpi();
    Send(WM_DPICHANGED, 144, 0);
    EXPECT_EQ(wnd_->WindowDpi(), dpi);

    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(wnd_->PowerRunning());
    EXPECT_TRUE(PumpUntil([&] { return Visible(kKeyboardModel); }));
    EXPECT_EQ(Keyboard()->GetHostLighting(), 1);
}

TEST_F(MainWndHubTest, AnotherProgramReleasesTheLightingThroughTheEndpoint) {
    devices_->Plug(SimDeviceKind::Keyboard);
    openEndpoint_ = true;
    Start();
    const auto main = MainEndpoint();
    ASSERT_TRUE(main);
    EXPECT_TRUE(SendMessageTo(*main, kCompanionMessageNames[2], 1, 0).Delivered());
    ASSERT_TRUE(PumpUntil([&] { return wnd_->LightControl() == 0; }));
    EXPECT_EQ(Keyboard()->GetHostLighting(), 0);
    EXPECT_EQ(wnd_->GetPaintManager().FindControl("control_light_status")->GetRawText(), "%{light_control_off}");

    // A message only this program sends is refused at the endpoint.
    EXPECT_EQ(SendMessageTo(*main, kCompanionMessageNames[1], 1, 1).result, 0);
    // A hook event from another program is refused as well.
    EXPECT_EQ(SendMessageTo(*main, kHookKeySingleKey, 1, 1).result, 0);
}

TEST_F(MainWndHubTest, ModelListReachesTheWorkToolWindowAsOneBlock) {
    openEndpoint_ = true;
    Start();
    Peer workTool(kWorkToolWindowTitle);
    const auto main = MainEndpoint();
    ASSERT_TRUE(main);
    EXPECT_TRUE(SendMessageTo(*main, kCompanionMessageNames[3], 0, 0).Delivered());
    ASSERT_TRUE(PumpUntil([&] { return !workTool.Received().empty(); }));
    const EndpointMessage block = workTool.Received().front();
    EXPECT_TRUE(block.isCopyData);
    EXPECT_EQ(block.dwData, 5u);
    ASSERT_EQ(block.data.size(), 1024u);
    const std::vector<uint8_t> header{2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(block.data.begin(), block.data.begin() + 16), header);
    auto word = [&](size_t index) {
        return block.data[index * 4] | block.data[index * 4 + 1] << 8 | block.data[index * 4 + 2] << 16 |
               static_cast<uint32_t>(block.data[index * 4 + 3]) << 24;
    };
    const auto& models = DeviceModelTable();
    EXPECT_EQ(word(4), models.size());
    for (size_t i = 0; i < models.size(); ++i) {
        EXPECT_EQ(word(5 + 3 * i), models[i].vendorId);
        EXPECT_EQ(word(6 + 3 * i), models[i].productId);
        EXPECT_EQ(word(7 + 3 * i), models[i].kind);
    }
    for (size_t i = 5 + 3 * models.size(); i < 256; ++i) EXPECT_EQ(word(i), 0u);
}

TEST_F(MainWndHubTest, GameEventChangesTheLightingUntilTheRestoreTimer) {
    devices_->Plug(SimDeviceKind::Keyboard);
    MainWndSettings settings;
    settings.gameLightRestoreMs = 200;
    Start(settings);
    ASSERT_EQ(wnd_->CurrentDevice(), Keyboard());
    const LightState before = Keyboard()->GetLightState();
    Send(RegisteredMessages::IdOf(kGameKill), 1, before.effect + 3);
    EXPECT_EQ(Keyboard()->GetLightState().effect, before.effect + 3);
    ASSERT_TRUE(PumpUntil([&] { return Keyboard()->GetLightState().effect == before.effect; }));

    Send(RegisteredMessages::IdOf(kGameStart), 0, 0x01020305);
    const LightState word = Keyboard()->GetLightState();
    EXPECT_EQ(word.effect, 5);
    EXPECT_EQ(word.brightnessLevel, 3);
    EXPECT_EQ(word.speedLevel, 2);
    EXPECT_EQ(word.direction, 1);
    ASSERT_TRUE(PumpUntil([&] { return Keyboard()->GetLightState().effect == before.effect; }));
    EXPECT_EQ(Keyboard()->GetLightState().brightnessLevel, before.brightnessLevel);
}

TEST_F(MainWndHubTest, OversizedDataBlockIsRefused) {
    openEndpoint_ = true;
    Start();
    const auto main = MainEndpoint();
    ASSERT_TRUE(main);
    const std::vector<uint8_t> record(24, 1), tooLong(25, 1), frame(2000, 1), tooLongFrame(2001, 1);
    EXPECT_EQ(SendCopyData(*main, 0, 2, record).result, 1);
    EXPECT_EQ(SendCopyData(*main, 0, 2, tooLong).result, 0);
    EXPECT_EQ(SendCopyData(*main, 0, 1, frame).result, 1);
    EXPECT_EQ(SendCopyData(*main, 0, 1, tooLongFrame).result, 0);
    EXPECT_EQ(SendCopyData(*main, 0, 9, record).result, 0);
}

TEST_F(MainWndHubTest, AppliedLanguageAgainStillTellsTheDevices) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    const int applied = wnd_->Language().AppliedIndex();
    ASSERT_GE(applied, 0);
    const int listNumber = Keyboard()->GetLanguage();
    Keyboard()->SetDisplayLanguage(-7);
    Send(WM_LANGUAGE_SELECT, static_cast<WPARAM>(applied), 0);
    EXPECT_EQ(Keyboard()->GetDisplayLanguage(), applied);
    EXPECT_EQ(Keyboard()->GetLanguage(), listNumber) << "the effect list stays the keyboard's";
    EXPECT_EQ(wnd_->Language().AppliedIndex(), applied);
}

TEST_F(MainWndHubTest, SettingsButtonOpensTheSettingsWindowAndCloseClosesIt) {
    Start();
    Click("setbtn");
    ASSERT_NE(wnd_->SettingsWindow(), nullptr);
    Click("skinbtn");
    ASSERT_NE(wnd_->SkinFrame(), nullptr);
    Click("closebtn");
    EXPECT_EQ(wnd_->SettingsWindow(), nullptr);
    EXPECT_EQ(wnd_->SkinFrame(), nullptr);
    EXPECT_FALSE(wnd_->IsWindowVisible());
}

TEST(MainWndRoutes, NumberedAndNamedControlsFindTheirEditor) {
    EXPECT_EQ(NumberAfterPrefix("color_option_12", "color_option_"), 12);
    EXPECT_EQ(NumberAfterPrefix("Color_Option_3", "color_option_"), 3);
    EXPECT_EQ(NumberAfterPrefix("color_option_x", "color_option_"), -1);
    EXPECT_EQ(NumberAfterPrefix("color_option_", "color_option_"), -1);
    ASSERT_NE(FindMainWndRoute("click", "macro_btn_save"), nullptr);
    EXPECT_EQ(FindMainWndRoute("click", "macro_btn_save")->owner, "macro editor");
    ASSERT_NE(FindMainWndRoute("textchanged", "macro_name_list"), nullptr);
    EXPECT_EQ(FindMainWndRoute("click", "DPI_slider_1"), nullptr);
    EXPECT_EQ(FindMainWndRoute("valuechanged", "DPI_slider_x"), nullptr);
}

TEST(MainWndDpi, LargeMonitorsGetOneAndAHalfTimesTheScale) {
    EXPECT_EQ(CMainWnd::DpiForMonitor({1920, 1080}), 144);
    EXPECT_EQ(CMainWnd::DpiForMonitor({1366, 768}), 96);
    EXPECT_EQ(CMainWnd::DpiForMonitor({1500, 1080}), 96);
}

}  // namespace
}  // namespace q208::test
