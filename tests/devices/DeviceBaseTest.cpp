#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "../ui/UiTestSupport.h"
#include "DeviceTestSupport.h"
#include "device/CDeviceChannel.h"
#include "devices/base/CDeviceOptionUI.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "devices/RegisterDeviceControls.h"
#include "sim/SimDeviceSet.h"
#include "ui/CLabelUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CVerticalLayoutUI.h"

namespace q208::test {
namespace {

using sim::SimDeviceKind;

std::unique_ptr<FakeKeyButton> Button(const std::string& name) {
    auto button = std::make_unique<FakeKeyButton>();
    button->SetName(name);
    return button;
}

TEST(DeviceBase, BindsKeyAndLightButtonsByNameWithinTheTables) {
    CVantorixUSBDevice device;
    device.SetLayoutName("keyboard.xml");
    device.SetButtonCounts(3, 2);
    auto* outer = device.Add(std::make_unique<CVerticalLayoutUI>());
    auto* panel = outer->Add(std::make_unique<FakeSelectPanel>());
    auto* key0 = panel->Add(Button("key_0"));
    auto* key2 = panel->Add(Button("key_2"));
    auto* light1 = panel->Add(Button("light_1"));
    auto* beyond = panel->Add(Button("light_2"));  // outside the light table
    auto* odd = panel->Add(Button("key_x"));
    auto label = std::make_unique<CLabelUI>();
    label->SetName("key_1");  // not a key button: left alone
    panel->Add(std::move(label));

    device.BindPageControls();

    EXPECT_EQ(device.GetKeyButton(0), key0);
    EXPECT_EQ(device.GetKeyButton(1), nullptr);
    EXPECT_EQ(device.GetKeyButton(2), key2);
    EXPECT_EQ(device.GetLightButton(0), nullptr);
    EXPECT_EQ(device.GetLightButton(1), light1);
    EXPECT_EQ(device.GetLightButton(2), nullptr);
    EXPECT_TRUE(light1->on);
    EXPECT_EQ(light1->colour, 0xFFFFFFu);
    EXPECT_EQ(light1->intensity, 255);
    EXPECT_FALSE(beyond->on);
    EXPECT_FALSE(odd->on);
    EXPECT_FALSE(key0->on);

    // Light buttons show the per-key colours of their index.
    device.SetKeyColour(1, KeyColour{0x12, 0x34, 0x56, 99}.Packed());
    device.SendLightFrame();
    EXPECT_EQ(light1->colour, 0x123456u);
    EXPECT_EQ(light1->intensity, 99);

    device.SetLayoutName("");
    device.BindPageControls();
    EXPECT_EQ(device.GetKeyCount(), 0);
    EXPECT_EQ(device.GetLightCount(), 0);
    EXPECT_EQ(device.GetKeyButton(0), nullptr);
}

TEST(DeviceBase, PageWithoutSelectPanelBindsNothing) {
    CVantorixUSBDevice device;
    device.SetLayoutName("pad.xml");
    device.SetButtonCounts(1, 1);
    device.Add(Button("key_0"));
    device.BindPageControls();
    EXPECT_EQ(device.GetKeyButton(0), nullptr);
}

TEST(DeviceBase, KeyColoursRejectBadIndexesAndRenderersFillEveryEntry) {
    uint32_t now = 0;
    CVantorixUSBDevice device(DefaultHidBus(), [&] { return now; });
    device.SetKeyColour(3, 0x80112233);
    EXPECT_EQ(device.GetKeyColour(3), 0x80112233u);
    device.SetKeyColour(-1, 1);
    device.SetKeyColour(170, 1);
    EXPECT_EQ(device.GetKeyColour(-1), 0u);
    EXPECT_EQ(device.GetKeyColour(170), 0u);

    LightState light;
    light.red = 10;
    light.green = 20;
    light.blue = 30;
    light.brightnessLevel = 2;
    light.speedLevel = 4;  // blink half-period 200 ms
    device.SetLightState(light);
    device.RenderStatic();
    for (const KeyColour& c : device.KeyColours().Snapshot()) ASSERT_EQ(c, (KeyColour{10, 20, 30, 135}));

    device.RenderOff();
    for (const KeyColour& c : device.KeyColours().Snapshot()) ASSERT_EQ(c, KeyColour{});

    device.RenderSpectrum();
    EXPECT_EQ(device.GetAnimationState().phase, 1);
    EXPECT_EQ(KeyColour::FromPacked(device.GetKeyColour(0)), (KeyColour{255, 3, 0, 135}));

    // Blink follows the clock given to the device: nothing toggles before 200 ms.
    device.RenderBlink();
    const auto first = device.GetAnimationState().toggle;
    now += 199;
    device.RenderBlink();
    EXPECT_EQ(device.GetAnimationState().toggle, first);
    now += 1;
    device.RenderBlink();
    EXPECT_NE(device.GetAnimationState().toggle, first);

    device.SetLightParams(1, 2, 3, 4);
    EXPECT_EQ(device.GetLightState().word1, 3u);
    EXPECT_EQ(device.GetLightState().word2, 4u);
}

TEST(DeviceBase, RingAndKeyStatesGoThroughTheBuffer) {
    CVantorixUSBDevice device;
    device.SetRingByte(0, 1);
    device.SetRingByte(8, 1);
    device.SetRingByte(9, 1);  // beyond the marked part of the ring
    device.MarkRing();
    EXPECT_EQ(device.KeyState(0), 255);
    EXPECT_EQ(device.KeyState(8), 255);
    EXPECT_EQ(device.KeyState(9), 0);

    device.RotateRing(true);
    EXPECT_EQ(device.RingByte(1), 1);
    EXPECT_EQ(device.RingByte(0), 0);
    device.RotateRing(false);
    EXPECT_EQ(device.RingByte(0), 1);

    int calls = 0;
    while (device.FadeStep(0, 1) != 0) ASSERT_LT(++calls, 300);
    device.ClearKeyStates();
    EXPECT_EQ(device.KeyState(8), 0);
    EXPECT_EQ(device.RingByte(0), 0);
}

TEST(DeviceBase, OptionStateGoesToTheEntryAndComesBackFromIt) {
    CVantorixUSBDevice device;
    int a = -1, b = -1, c = -1;
    device.SetOptionState(1, 2, 3);
    device.GetOptionState(a, b, c);
    EXPECT_EQ((std::array{a, b, c}), (std::array{1, 2, 3}));

    {
        CDeviceOptionUI option;
        device.SetOptionPanel(&option);
        device.SetOptionState(4, 5, 6);
        EXPECT_EQ(option.GetOptionState(), (std::array{4, 5, 6}));
        option.SetOptionState(7, 8, 9);
        device.GetOptionState(a, b, c);
        EXPECT_EQ((std::array{a, b, c}), (std::array{7, 8, 9}));
    }
    // The entry is gone: the device forgets it instead of touching freed memory.
    EXPECT_EQ(device.GetOptionPanel(), nullptr);
    device.GetOptionState(a, b, c);
    EXPECT_EQ((std::array{a, b, c}), (std::array{4, 5, 6}));
    EXPECT_EQ(device.GetFunctionMode(), 1);
    EXPECT_EQ(device.GetStatusIndex(), -1);
}

TEST(DeviceBase, HostLightingIsSentOnlyByAKeyboardAndOnlyWhenOn) {
    auto bus = std::make_shared<SimBus>();
    sim::SimDeviceSet devices(bus);
    ASSERT_TRUE(devices.Plug(SimDeviceKind::Keyboard));
    CVantorixUSBDevice device(bus);
    ASSERT_TRUE(device.CommandChannel().OpenPath(devices.CommandPath(SimDeviceKind::Keyboard),
                                                 CDeviceChannel::kLinkWired, 0));
    CommandCounter counter(device.CommandChannel());

    device.SetKind(kKindMouse, 0);
    EXPECT_EQ(device.SetHostLighting(1), 1);
    device.SetKind(kKindKeyboard, 0);
    EXPECT_EQ(device.SetHostLighting(0), 1);
    EXPECT_EQ(device.GetHostLighting(), 0);
    EXPECT_EQ(counter.Count(0x1C), 0);

    EXPECT_EQ(device.SetHostLighting(2), 1);
    EXPECT_EQ(device.GetHostLighting(), 2);
    EXPECT_EQ(counter.Count(0x1C), 1);

    device.CommandChannel().CloseAll();
    EXPECT_NE(device.SetHostLighting(1), 1);  // a closed channel is reported, not hidden
}

TEST(DeviceBase, ProfilePathsUseTheModelFolder) {
    const auto root = std::filesystem::temp_directory_path() / ("q208-base-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", (root / "a" / "b").c_str(), 1);

    CVantorixUSBDevice device;
    device.SetDisplayStrings("Q208", "keyboard", "Keyboard");
    EXPECT_EQ(device.DefaultProfilePath().filename(), "Keyboard.Json");
    EXPECT_EQ(device.DefaultProfilePath().parent_path().filename(), "DefaultData");
    const auto folder = device.UserFolder();
    EXPECT_EQ(folder.filename(), "Keyboard");
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    if (old) setenv("XDG_DATA_HOME", saved.c_str(), 1); else unsetenv("XDG_DATA_HOME");
    std::filesystem::remove_all(root);
}

TEST(DeviceBase, AnimationThreadAndUiShareTheLightingState) {
    CVantorixUSBDevice device;
    device.SetLayoutName("page");
    device.SetButtonCounts(0, 4);
    auto* panel = device.Add(std::make_unique<FakeSelectPanel>());
    for (int i = 0; i < 4; ++i) panel->Add(Button("light_" + std::to_string(i)));
    device.BindPageControls();

    std::atomic<bool> stop{false};
    std::thread animation([&] {
        while (!stop) {
            device.RenderSpectrum();
            device.RenderBreathing();
            device.MarkRing();
            device.RotateRing(true);
            device.FadeStep(3, 0);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        device.SendLightFrame();
        LightState light = device.GetLightState();
        light.brightnessLevel = static_cast<uint8_t>(i % 5);
        device.SetLightState(light);
        device.SetKeyColour(i % 170, static_cast<uint32_t>(i));
        device.ClearKeyStates();
    }
    stop = true;
    animation.join();
    const uint32_t colour = static_cast<FakeKeyButton*>(device.GetLightButton(0))->colour;
    EXPECT_LE(colour, 0xFFFFFFu);
}

// ---- function mode: the two switches of the page ----

class FunctionModeTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        RegisterDeviceControls();
        wnd_ = Open(R"(<Window size="400,200"><VantorixUSBDevice name="dev">
            <TabLayout name="device_function_switch"><Label/><Label/><Label/><Label/><Label/></TabLayout>
            <TabLayout name="device_key_function_switch"><Label/><Label/><Label/></TabLayout>
            </VantorixUSBDevice></Window>)");
        device_ = wnd_->Find<CVantorixUSBDevice>("dev");
        f_ = wnd_->Find<CTabLayoutUI>("device_function_switch");
        k_ = wnd_->Find<CTabLayoutUI>("device_key_function_switch");
    }
    std::unique_ptr<TestWindow> wnd_;
    CVantorixUSBDevice* device_ = nullptr;
    CTabLayoutUI* f_ = nullptr;
    CTabLayoutUI* k_ = nullptr;
};

TEST_F(FunctionModeTest, ModesSelectTheSwitchesByTable) {
    ASSERT_NE(device_, nullptr);
    ASSERT_EQ(device_->GetClass(), "VantorixUSBDevice");
    struct Row {
        int kind, mode, f, k;  // k −1: left as it was (we preset it to 2 then)
    };
    const Row rows[] = {
        {1, 1, 0, 0}, {1, 2, 0, 1}, {1, 3, 1, -1}, {1, 4, 3, -1}, {2, 4, 3, -1}, {3, 4, 0, 2},
        {1, 5, 2, -1}, {1, 6, 0, 1}, {1, 7, 0, 2}, {1, 8, 1, -1}, {1, 9, 4, -1}, {3, 10, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "kind " << row.kind << " mode " << row.mode);
        device_->SetKind(row.kind, 0);
        k_->SelectItem(2, false);
        f_->SelectItem(4, false);
        device_->SetFunctionMode(row.mode);
        EXPECT_EQ(device_->GetFunctionMode(), row.mode);
        EXPECT_EQ(f_->GetCurSel(), row.f);
        EXPECT_EQ(k_->GetCurSel(), row.k < 0 ? 2 : row.k);
    }
}

}  // namespace
}  // namespace q208::test
