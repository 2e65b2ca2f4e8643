// What the running program does with a device between its arrival and its removal: the
// page bound to the device, listeners, status polling, the receiver's paths and the
// profile the device settles on, all through the main window as the program builds it.
#include <gtest/gtest.h>

#include "app/MainWndTestFixture.h"
#include "app/LanguageSettings.h"
#include "app/ShellMessages.h"
#include "app/RegisteredMessages.h"
#include "controls/CMpDevicePowerUI.h"
#include "devices/keyboard/CVantorixKeyboardDevice.h"
#include "devices/keyboard/KeyboardRenderer.h"
#include "profile/ProfileList.h"
#include "profile/ProfilePaths.h"
#include "sim/SimKeyboard.h"
#include "sim/SimKeyboardLayout.h"
#include "sim/SimReceiver.h"

namespace q208::test {
namespace {

constexpr int kHeadsetModel = 3;
constexpr uint8_t kReactiveEffect = 6;

uint8_t DeviceKeyOfRow(int row) {
    const auto keys = sim::SimKeyboardKeys();
    for (size_t k = 0; k < keys.size(); ++k) {
        if (keys[k].tableRow == row) return static_cast<uint8_t>(k);
    }
    return 0xFF;
}

class DeviceLifecycleTest : public MainWndHubTest {
protected:
    void SetUp() override {
        MainWndHubTest::SetUp();
        // Profiles of an earlier test of this process must not be found.
        std::filesystem::remove_all(DeviceUserFolder(kKeyboardFolder));
    }
    CVantorixKeyboardDevice* KeyboardDevice() {
        CVantorixUSBDevice* device = Keyboard();
        return device ? static_cast<CVantorixKeyboardDevice*>(device->GetInterface(CVantorixKeyboardDevice::kClassName))
                      : nullptr;
    }
    // The keyboard's connect sequence has read it and shown the result on the page.
    bool KeyboardRead() { return KeyboardDevice() && KeyboardDevice()->PageRefreshes() > 0; }
    sim::SimKeyboard& EmulatedKeyboard() { return *devices_->Keyboard(); }
    CMpDevicePowerUI* KeyboardPowerPanel() {
        CControlUI* panel = Keyboard() ? Keyboard()->GetPowerPanel() : nullptr;
        return panel ? static_cast<CMpDevicePowerUI*>(panel->GetInterface(CMpDevicePowerUI::kClassName)) : nullptr;
    }
    void RestartWindow() {
        if (wnd_ && IsWindow(wnd_->GetHWND())) wnd_->DestroyWindow();
        CPaintManagerUI::PumpMessages();
        wnd_.reset();
        Start();
    }
};

TEST_F(DeviceLifecycleTest, PagesAreBoundAndConfiguredFromTheirModelRows) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    CVantorixUSBDevice* keyboard = Keyboard();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(keyboard->GetKeyCount(), 170);
    EXPECT_EQ(keyboard->GetLightCount(), 170);
    EXPECT_NE(keyboard->GetKeyButton(64), nullptr) << "the page's key_64 button is bound";
    EXPECT_NE(keyboard->GetLightButton(64), nullptr);
    EXPECT_TRUE(keyboard->IsWirelessCapable());
    EXPECT_FALSE(wnd_->DeviceOfModel(kMousePadModel)->IsWirelessCapable());
    EXPECT_FALSE(wnd_->DeviceOfModel(kHeadsetModel)->IsWirelessCapable());
    // The option state is the lighting editor's, not the page numbers: effect 29 starts with
    // its first pattern.
    int first = -1, second = -1, third = -1;
    keyboard->GetOptionState(first, second, third);
    EXPECT_EQ(first, 0);
}

TEST_F(DeviceLifecycleTest, TheDisplayLanguageLeavesEachDeviceItsEffectList) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return KeyboardRead(); }));
    const size_t keyboardEffects = KeyboardDevice()->Effects().Entries().size();
    for (int language = 0; language < 2; ++language) {
        Send(WM_LANGUAGE_SELECT, static_cast<WPARAM>(language), 0);
        EXPECT_EQ(Keyboard()->GetLanguage(), 0) << "the keyboard's list number";
        EXPECT_EQ(Keyboard()->GetDisplayLanguage(), wnd_->Language().AppliedIndex());
        EXPECT_EQ(wnd_->DeviceOfModel(kMousePadModel)->GetLanguage(), 2);
    }
    KeyboardDevice()->BuildPage();
    EXPECT_EQ(KeyboardDevice()->Effects().Entries().size(), keyboardEffects);
}

TEST_F(DeviceLifecycleTest, KeyPressOnTheCabledKeyboardReachesTheReactiveEffect) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return KeyboardRead(); }));
    CVantorixKeyboardDevice* keyboard = KeyboardDevice();
    EXPECT_TRUE(keyboard->IsListening(1));
    LightState light = keyboard->GetKeyboardLight();
    light.effect = kReactiveEffect;
    keyboard->SetLightState(light);
    EmulatedKeyboard().PressKey(DeviceKeyOfRow(64));
    EXPECT_TRUE(PumpUntil([&] { return keyboard->KeyState(64) > 0; })) << "the key's fade level rises";
    EXPECT_EQ(keyboard->KeyState(65), 0);
    // Commands still get their answers while the listener reads the same interface.
    EXPECT_EQ(keyboard->WriteLightingToDevice(0, 0), 1);
}

TEST_F(DeviceLifecycleTest, UnpluggedKeyboardStopsItsThreadsAndListeners) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return KeyboardRead(); }));
    CVantorixKeyboardDevice* keyboard = KeyboardDevice();
    ASSERT_TRUE(keyboard->IsAnimating());
    devices_->Unplug(SimDeviceKind::Keyboard);
    ASSERT_TRUE(PumpUntil([&] { return !Visible(kKeyboardModel); }));
    EXPECT_FALSE(keyboard->IsListening(1));
    EXPECT_FALSE(keyboard->IsAnimating());
    EXPECT_FALSE(keyboard->CommandChannel().IsOpen());
}

TEST_F(DeviceLifecycleTest, ResyncRequestReadsTheLightingAgain) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return KeyboardRead(); }));
    const uint32_t refreshes = KeyboardDevice()->PageRefreshes();
    EmulatedKeyboard().SwitchLightingEntry(3);
    EXPECT_TRUE(PumpUntil([&] { return KeyboardDevice()->GetActiveEntry() == 3; }));
    EmulatedKeyboard().EmitEvent(0x0401);
    EXPECT_TRUE(PumpUntil([&] { return KeyboardDevice()->PageRefreshes() > refreshes + 1; }));
}

TEST_F(DeviceLifecycleTest, KeyboardBehindTheReceiverShowsItsBattery) {
    EmulatedKeyboard().SetStatusBlock({73, 2, 0, 0, 0, 0});
    devices_->Plug(SimDeviceKind::Receiver);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return Visible(kKeyboardModel); }, 8000));
    EXPECT_TRUE(Keyboard()->CommandChannel().ViaReceiver());
    EXPECT_TRUE(KeyboardDevice()->IsListening(9));
    ASSERT_NE(KeyboardPowerPanel(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return KeyboardPowerPanel()->GetBatteryLevel() == 73; }, 8000));
}

TEST_F(DeviceLifecycleTest, ReceiverPluggedAgainAttachesItsKeyboardAgain) {
    devices_->Plug(SimDeviceKind::Receiver);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return Visible(kKeyboardModel); }, 8000));
    devices_->Unplug(SimDeviceKind::Receiver);
    ASSERT_TRUE(PumpUntil([&] { return !Visible(kKeyboardModel); }));
    EXPECT_FALSE(wnd_->ReceiverPoller().KeyboardLinked());
    devices_->Plug(SimDeviceKind::Receiver);
    EXPECT_TRUE(PumpUntil([&] { return Visible(kKeyboardModel); }, 8000));
    EXPECT_TRUE(Keyboard()->CommandChannel().ViaReceiver());
}

TEST_F(DeviceLifecycleTest, CabledKeyboardKeepsItsCableWhileTheReceiverLinksItThenFallsBackToTheLink) {
    devices_->Plug(SimDeviceKind::Keyboard);
    devices_->Plug(SimDeviceKind::Receiver);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return wnd_->ReceiverPoller().KeyboardLinked(); }, 8000));
    CDeviceChannel& channel = Keyboard()->CommandChannel();
    EXPECT_FALSE(channel.ViaReceiver());
    EXPECT_EQ(channel.ChunkSize(), CDeviceChannel::kWiredChunk);
    EXPECT_EQ(KeyboardDevice()->WriteLightingToDevice(0, 0), 1) << "a 26-byte write in one wired chunk";

    devices_->Unplug(SimDeviceKind::Keyboard);
    ASSERT_TRUE(PumpUntil([&] { return !wnd_->KeyboardPresent(); }));
    ASSERT_TRUE(PumpUntil([&] { return Keyboard() && Keyboard()->CommandChannel().ViaReceiver(); }));
    EXPECT_EQ(Keyboard()->CommandChannel().ChunkSize(), CDeviceChannel::kReceiverChunk);
    EXPECT_TRUE(PumpUntil([&] { return Visible(kKeyboardModel); }, 8000)) << "the keyboard goes on over the link";
}

TEST_F(DeviceLifecycleTest, FirstStartMakesAProfileAndTheLightingReadBackSurvivesARestart) {
    // The user had chosen entry 0 with effect code 5 at brightness 2 on the keyboard.
    auto record = EmulatedKeyboard().LightingRecord(0);
    record[1] = 5;
    record[2] = 2;
    EmulatedKeyboard().Poke(sim::SimArea::Config, 1, std::span<const uint8_t>(record).subspan(1, 2));
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return KeyboardRead(); }));
    const std::string id = KeyboardDevice()->GetProfileId();
    ASSERT_FALSE(id.empty());
    ProfileList list(DeviceUserFolder(kKeyboardFolder), DefaultProfileFile(kKeyboardFolder));
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.SelectedId(), id);
    EXPECT_EQ(KeyboardDevice()->Profile().GetLightInfo().light, 2);

    devices_->Unplug(SimDeviceKind::Keyboard);
    RestartWindow();
    // No keyboard this time: the page shows what the profile kept.
    ASSERT_NE(KeyboardDevice(), nullptr);
    KeyboardDevice()->LoadProfile();
    EXPECT_EQ(KeyboardDevice()->GetProfileId(), id);
    EXPECT_EQ(KeyboardDevice()->Profile().GetLightInfo().light, 2);
    EXPECT_EQ(KeyboardDevice()->GetKeyboardLight().brightnessLevel, 2);
}

TEST_F(DeviceLifecycleTest, GameEventLightingReachesTheKeyboardAndTheAnimation) {
    devices_->Plug(SimDeviceKind::Keyboard);
    MainWndSettings settings;
    settings.gameLightRestoreMs = 200;
    Start(settings);
    ASSERT_TRUE(PumpUntil([&] { return KeyboardRead(); }));
    const uint8_t storedCode = EmulatedKeyboard().LightingRecord(0)[1];
    Send(RegisteredMessages::IdOf(kGameKill), 1, 10);
    EXPECT_EQ(KeyboardDevice()->GetKeyboardLight().effect, 10) << "the animation renders what the game asked for";
    EXPECT_NE(EmulatedKeyboard().LightingRecord(0)[1], storedCode);
    ASSERT_TRUE(PumpUntil([&] { return EmulatedKeyboard().LightingRecord(0)[1] == storedCode; }));
}

}  // namespace
}  // namespace q208::test
