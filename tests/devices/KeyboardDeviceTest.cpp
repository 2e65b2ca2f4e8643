// The keyboard device object on its page, against the emulated keyboard on the cable and
// through the receiver.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "../ui/UiTestSupport.h"
#include "KeyboardTestRig.h"
#include "controls/RegisterControls.h"
#include "device/HidBus.h"
#include "devices/keyboard/CVantorixKeyboardDevice.h"
#include "devices/RegisterDeviceControls.h"
#include "platform/Paths.h"
#include "platform/TickCount.h"
#include "platform/Trace.h"
#include "profile/ProfilePaths.h"
#include "ui/CContainerUI.h"
#include "ui/CDialogBuilder.h"

namespace q208::test {
namespace {

constexpr const char* kPageLayout = "XML/DeviceXml/keyboarddevice_4190.xml";
constexpr uint8_t kWriteLightFrame = 0x0B;

std::mutex traceMutex;
std::vector<std::string> traces;
void CollectTrace(const std::string& line) {
    std::lock_guard lock(traceMutex);
    traces.push_back(line);
}

// A window holding the keyboard page built from its layout (and, like the lighting panel,
// the custom-mode drop-down), with the page's device on the emulated keyboard.
class KeyboardDeviceTest : public UiTest, public ::testing::WithParamInterface<KeyboardPath> {
protected:
    void SetUp() override {
        UiTest::SetUp();
        RegisterControls();
        RegisterDeviceControls();
        bus_ = std::make_shared<SimBus>();
        previousBus_ = DefaultHidBus();
        SetDefaultHidBus(bus_);  // the page's device is made by the control factory
        devices_ = std::make_unique<sim::SimDeviceSet>(bus_);
        wnd_ = Open(R"(<Window size="1100,420"><VerticalLayout name="root">
            <Combo name="light_combo_custommodeSelect" height="20"/></VerticalLayout></Window>)");
        auto page = CDialogBuilder().Create((FindDataRoot().skin / kPageLayout).string(), nullptr,
                                            &wnd_->GetPaintManager());
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(page->GetClass(), CVantorixKeyboardDevice::kClassName);
        auto* root = wnd_->Find<CContainerUI>("root");
        device_ = static_cast<CVantorixKeyboardDevice*>(root->Add(std::move(page)));
        device_->SetLayoutName(kPageLayout);
        device_->BindPageControls();
        device_->BuildPage();
        device_->SetProfileId("2024_01_02_03_04_05_006");
    }
    void TearDown() override {
        wnd_.reset();
        devices_.reset();
        SetDefaultHidBus(previousBus_);
        SetTraceSink(nullptr);
        UiTest::TearDown();
    }
    bool Receiver() const { return GetParam().receiver; }
    sim::SimKeyboard& Keyboard() { return *devices_->Keyboard(); }
    std::string CommandPath() const {
        return devices_->CommandPath(Receiver() ? sim::SimDeviceKind::Receiver : sim::SimDeviceKind::Keyboard);
    }
    int ListenerKind() const { return Receiver() ? KeyboardListener::kReceiverKind : KeyboardListener::kWiredKind; }
    void Connect() {
        if (Receiver())
            devices_->PlugAll({sim::SimDeviceKind::Keyboard, sim::SimDeviceKind::Receiver});
        else
            ASSERT_TRUE(devices_->Plug(sim::SimDeviceKind::Keyboard));
        ASSERT_TRUE(device_->CommandChannel().OpenPath(
            CommandPath(), Receiver() ? CDeviceChannel::kLinkReceiver : CDeviceChannel::kLinkWired, 0));
    }
    void SetEffect(int effect) {
        LightState light = device_->GetKeyboardLight();
        light.effect = static_cast<uint8_t>(effect);
        light.red = 0;
        light.green = 0;
        light.blue = 255;  // swatch 7
        device_->SetKeyboardLight(light);
    }
    template <typename Pred>
    bool WaitUntil(Pred pred, int ms = 2000) {
        const uint64_t end = TickCount64() + static_cast<uint64_t>(ms);
        while (!pred()) {
            if (TickCount64() > end) return false;
            CPaintManagerUI::PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    std::shared_ptr<SimBus> bus_;
    std::shared_ptr<IHidBus> previousBus_;
    std::unique_ptr<sim::SimDeviceSet> devices_;
    std::unique_ptr<TestWindow> wnd_;
    CVantorixKeyboardDevice* device_ = nullptr;
};

TEST_P(KeyboardDeviceTest, PageBindsAButtonPairForEveryKeyOfTheBoard) {
    std::set<int> expected, keys, lights;
    for (const auto& key : sim::SimKeyboardKeys()) expected.insert(key.tableRow);
    for (int row = 0; row < kKeyTableRows; ++row) {
        if (device_->GetKeyButton(row)) keys.insert(row);
        if (device_->GetLightButton(row)) lights.insert(row);
    }
    EXPECT_EQ(keys.size(), 104u);
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(lights, expected);
    EXPECT_NE(wnd_->Find("device_function_switch"), nullptr);
    EXPECT_NE(wnd_->Find("device_key_function_switch"), nullptr);
    device_->SetFunctionMode(5);  // reaches the page's function switch without trouble
    EXPECT_EQ(device_->GetFunctionMode(), 5);
}

TEST_P(KeyboardDeviceTest, ReadDeviceReadsTheKeyboardAndAppliesItsLightingToTheProfile) {
    Connect();
    CDeviceCommands commands(device_->CommandChannel());
    LightInfoRecord info;
    info.selectItem = 4;
    info.light = 2;
    info.speed = 1;
    info.red = 10;
    info.customGroup = 3;
    const auto record = KeyboardLightingRecord::Encode(info, {}, device_->Effects(), 2);
    ASSERT_EQ(KeyboardLightingRecord::Write(commands, device_->CommandChannel(), 2, record), 1);
    std::array<uint8_t, 1> active{2};
    ASSERT_EQ(commands.WriteConfig(active, 0), 1);

    device_->ReadDevice();
    EXPECT_EQ(device_->Memory().KeyCount(), 104);
    EXPECT_EQ(device_->Memory().TableToKey(64), DeviceKeyOfRow(64));
    EXPECT_EQ(device_->GetActiveEntry(), 2);
    EXPECT_EQ(device_->GetKeyboardLight().effect, 4);
    EXPECT_EQ(device_->GetKeyboardLight().speedLevel, 1);
    EXPECT_EQ(device_->GetKeyboardLight().word2, 3u);
    EXPECT_TRUE(device_->IsAnimating());
    EXPECT_GT(device_->PageRefreshes(), 0u);

    // The lighting read from the keyboard was saved into the user's profile file.
    const auto path = ProfileFile(kKeyboardFolder, "2024_01_02_03_04_05_006");
    EXPECT_EQ(device_->GetProfileFilePath(), path.string());
    CKeyboardProfiledata saved;
    saved.SetDefaultPath(DefaultProfileFile(kKeyboardFolder));
    saved.LoadSection(path);
    EXPECT_EQ(saved.GetLightInfo().selectItem, 4);
    EXPECT_EQ(saved.GetLightInfo().light, 2);
    EXPECT_EQ(saved.GetLightInfo().red, 10);
    device_->OnDeviceRemoved();
}

TEST_P(KeyboardDeviceTest, KeyClicksPaintOnlyInTheCustomEffectAndStoreBeforeWriting) {
    Connect();
    device_->LoadProfile();  // no animation thread: nothing renders over the colours
    SetEffect(5);
    const auto before = device_->KeyColours().Snapshot();
    const uint32_t writesBefore = Keyboard().CommandsSeen(kWriteLightFrame);
    device_->PaintKey(64);
    EXPECT_EQ(device_->KeyColours().Snapshot(), before);
    EXPECT_EQ(Keyboard().CommandsSeen(kWriteLightFrame), writesBefore);
    EXPECT_EQ(device_->GetPaintNumber(), 0);

    SetEffect(18);
    Keyboard().faults().statusRefused = 1;
    if (Receiver()) devices_->Receiver()->faults().statusRefused = 1;
    device_->PaintKey(64);
    EXPECT_EQ(device_->GetPaintNumber(), 8);
    CKeyboardProfiledata saved;
    saved.SetDefaultPath(DefaultProfileFile(kKeyboardFolder));
    saved.LoadSection(ProfileFile(kKeyboardFolder, "2024_01_02_03_04_05_006"));
    const auto stored = saved.GetCustomLightColors(0, kKeyTableRows);
    ASSERT_GT(stored.size(), 64u);
    EXPECT_EQ(stored[64].blue, 255) << "the profile keeps the paint although the frame was refused";
}

TEST_P(KeyboardDeviceTest, FillsKeepAChosenSwatchOrClearIt) {
    Connect();
    SetEffect(18);
    LightState light = device_->GetKeyboardLight();
    light.word2 = 1;
    device_->SetKeyboardLight(light);
    device_->SetPaintNumber(3);
    device_->FillCustomColours(true);
    EXPECT_EQ(device_->GetPaintNumber(), 3);
    EXPECT_EQ(Keyboard().CustomSlot(1), std::vector<uint8_t>(64, 3 * 17));
    device_->FillCustomColours(false);
    EXPECT_EQ(device_->GetPaintNumber(), 0);
    EXPECT_EQ(Keyboard().CustomSlot(1), std::vector<uint8_t>(64, 0));
    EXPECT_EQ(device_->KeyColours().Get(129).red + device_->KeyColours().Get(129).blue, 0);
}

TEST_P(KeyboardDeviceTest, ListenerCarriesKeyPressesToTheReactiveEffectAndEntrySwitchesToThePage) {
    Connect();
    device_->ReadDevice();
    SetEffect(6);
    ASSERT_TRUE(device_->AttachListener(CommandPath(), ListenerKind()));
    EXPECT_TRUE(device_->IsListening(ListenerKind()));
    Keyboard().PressKey(DeviceKeyOfRow(64));
    EXPECT_TRUE(WaitUntil([&] {
        return device_->Animator().WithRenderer([](KeyboardRenderer& r) { return r.KeyStates().Level(64); }) > 0;
    }));
    EXPECT_EQ(device_->Animator().WithRenderer([](KeyboardRenderer& r) { return r.KeyStates().Level(65); }), 0);

    const uint32_t refreshes = device_->PageRefreshes();
    Keyboard().SwitchLightingEntry(3);
    EXPECT_TRUE(WaitUntil([&] { return device_->GetActiveEntry() == 3 && device_->PageRefreshes() > refreshes; }));
    device_->OnDeviceRemoved();
}

TEST_P(KeyboardDeviceTest, RemovalStopsEveryThreadWithinItsBound) {
    SetTraceSink(CollectTrace);
    Connect();
    device_->ReadDevice();
    ASSERT_TRUE(device_->AttachListener(CommandPath(), ListenerKind()));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the listener waits in its read
    const uint64_t start = TickCount64();
    device_->OnDeviceRemoved();
    EXPECT_LT(TickCount64() - start, 1000u);
    EXPECT_FALSE(device_->IsListening(ListenerKind()));
    EXPECT_FALSE(device_->IsAnimating());
    EXPECT_FALSE(device_->CommandChannel().IsOpen());
    std::lock_guard lock(traceMutex);
    EXPECT_EQ(std::count(traces.begin(), traces.end(), std::string("线程退出：：对象处于激发状态\n")), 2);
    traces.clear();
}

TEST_P(KeyboardDeviceTest, HostStreamedEffectsAreWrittenAs0xFEAndKeepTheirNumber) {
    Connect();
    device_->LoadProfile();
    for (int effect : {29, 30}) {
        LightInfoRecord info = device_->Profile().GetLightInfo();
        info.selectItem = static_cast<uint8_t>(effect);
        device_->Profile().SetLightInfo(info);
        EXPECT_EQ(device_->WriteLightingToDevice(0, 0), 1);
        EXPECT_EQ(Keyboard().LightingRecord(0)[1], 0xFE);
        device_->RefreshFromDevice();
        EXPECT_EQ(device_->GetKeyboardLight().effect, effect);
    }
    device_->CommandChannel().CloseAll();
    EXPECT_EQ(device_->WriteLightingToDevice(1, 1), 1) << "a closed channel still reports 1";
    EXPECT_EQ(device_->WriteKeyMapToDevice(0, {}), 0);
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyboardDeviceTest,
                         ::testing::Values(KeyboardPath{"Cable", false}, KeyboardPath{"Receiver", true}),
                         PathName);

}  // namespace
}  // namespace q208::test
