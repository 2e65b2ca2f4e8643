#include <memory>

#include <gtest/gtest.h>

#include <thread>

#include "../ui/UiTestSupport.h"
#include "DeviceTestSupport.h"
#include "devices/base/CDeviceOptionUI.h"
#include "devices/RegisterDeviceControls.h"
#include "sim/SimDeviceSet.h"
#include "platform/Paths.h"
#include "ui/CDialogBuilder.h"
#include "ui/COptionUI.h"

namespace q208::test {
namespace {

using sim::SimDeviceKind;
using Option = CDeviceOptionUI;

constexpr uint8_t kBeginConfig = 0x01;
constexpr uint8_t kEndConfig = 0x02;

// An entry in a window, driving a recording device whose channel is open on an emulated
// keyboard, wired or through the receiver. Time moves only with Advance.
class DeviceOptionTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        RegisterDeviceControls();
        wnd_ = Open(R"(<Window size="300,60"><HorizontalLayout>
            <DeviceOption name="entry"><Option name="device_select"/><Label name="device_label"/>
            <Label name="device_offline" visible="false"/></DeviceOption></HorizontalLayout></Window>)");
        option_ = wnd_->Find<Option>("entry");
        ASSERT_NE(option_, nullptr);
        bus_ = std::make_shared<SimBus>();
        devices_ = std::make_unique<sim::SimDeviceSet>(bus_);
        device_ = std::make_unique<RecordingDevice>(bus_);
        option_->SetDevice(device_.get());
        device_->SetOptionPanel(option_);
    }
    void TearDown() override {
        counter_.reset();
        wnd_.reset();
        device_.reset();
        devices_.reset();
        UiTest::TearDown();
    }

    void OpenWired() {
        ASSERT_TRUE(devices_->Plug(SimDeviceKind::Keyboard));
        ASSERT_TRUE(device_->CommandChannel().OpenPath(devices_->CommandPath(SimDeviceKind::Keyboard),
                                                       CDeviceChannel::kLinkWired, 0));
        counter_ = std::make_unique<CommandCounter>(device_->CommandChannel());
    }
    void OpenReceiver() {
        ASSERT_TRUE(devices_->Plug(SimDeviceKind::Receiver));
        ASSERT_TRUE(device_->CommandChannel().OpenPath(devices_->CommandPath(SimDeviceKind::Receiver),
                                                       CDeviceChannel::kLinkReceiver, 0));
        counter_ = std::make_unique<CommandCounter>(device_->CommandChannel());
    }
    void Advance(uint64_t ms) {
        platform_->AdvanceClock(ms);
        CPaintManagerUI::PumpMessages();
    }
    bool Armed(UINT id) const { return wnd_->GetPaintManager().HasTimer(option_, id); }

    std::unique_ptr<TestWindow> wnd_;
    Option* option_ = nullptr;
    std::shared_ptr<SimBus> bus_;
    std::unique_ptr<sim::SimDeviceSet> devices_;
    std::unique_ptr<RecordingDevice> device_;
    std::unique_ptr<CommandCounter> counter_;
};

TEST_F(DeviceOptionTest, WiredConnectReadsAndStartsFramesAndStatus) {
    OpenWired();
    device_->SetWirelessCapable(true);
    option_->StartConnect(100);
    Advance(99);
    EXPECT_EQ(device_->reads, 0);
    Advance(1);
    EXPECT_EQ(device_->reads, 1);
    EXPECT_FALSE(Armed(Option::kTimerConnect));
    EXPECT_TRUE(Armed(Option::kTimerLightFrame));
    EXPECT_TRUE(Armed(Option::kTimerStatus));
    EXPECT_FALSE(Armed(Option::kTimerLinkWatch));  // only the receiver path is watched
    EXPECT_FALSE(Armed(Option::kTimerKeepAlive));
    EXPECT_TRUE(option_->IsShownOnline());

    // Frames every 5 ms on the wired path.
    Advance(5);
    EXPECT_EQ(device_->frames, 1);
    Advance(5);
    EXPECT_EQ(device_->frames, 2);

    // Status 50 ms after connecting, then every 5 s.
    Advance(40);
    EXPECT_EQ(device_->statusReads, 1);
    Advance(4999);
    EXPECT_EQ(device_->statusReads, 1);
    Advance(1);
    EXPECT_EQ(device_->statusReads, 2);

    // A device that is not wireless capable stops the status poll.
    device_->SetWirelessCapable(false);
    Advance(5000);
    EXPECT_EQ(device_->statusReads, 3);
    EXPECT_FALSE(Armed(Option::kTimerStatus));

    // Once the channel closes the frames stop.
    device_->CommandChannel().CloseAll();
    const int frames = device_->frames;
    Advance(5);
    Advance(5);
    EXPECT_EQ(device_->frames, frames + 1);
    EXPECT_FALSE(Armed(Option::kTimerLightFrame));
}

TEST_F(DeviceOptionTest, ReceiverRetriesWhileOfflineAndWrapsTheCount) {
    OpenReceiver();
    device_->online = false;
    option_->StartConnect(1);
    Advance(1);
    EXPECT_EQ(option_->GetRetryCount(), 1);
    EXPECT_FALSE(option_->IsShownOnline());
    EXPECT_FALSE(wnd_->Find("device_offline") == nullptr);
    EXPECT_TRUE(wnd_->Find("device_offline")->IsVisible());
    EXPECT_EQ(device_->reads, 0);
    EXPECT_TRUE(Armed(Option::kTimerConnect));
    EXPECT_FALSE(Armed(Option::kTimerLightFrame));

    for (int i = 2; i <= 19; ++i) Advance(3000);
    EXPECT_EQ(option_->GetRetryCount(), 19);
    Advance(2999);
    EXPECT_EQ(option_->GetRetryCount(), 19);
    Advance(1);
    EXPECT_EQ(option_->GetRetryCount(), 0);

    device_->online = true;
    Advance(3000);
    EXPECT_TRUE(option_->IsShownOnline());
    EXPECT_FALSE(wnd_->Find("device_offline")->IsVisible());
    EXPECT_EQ(device_->reads, 1);
    EXPECT_EQ(option_->GetRetryCount(), 0);
    EXPECT_TRUE(Armed(Option::kTimerKeepAlive));
    EXPECT_TRUE(Armed(Option::kTimerKeepAliveLong));
    EXPECT_TRUE(Armed(Option::kTimerLinkWatch));
    EXPECT_FALSE(Armed(Option::kTimerStatus));  // not wireless capable

    // Frames every 20 ms on the receiver path after the first one.
    Advance(5);
    EXPECT_EQ(device_->frames, 1);
    Advance(19);
    EXPECT_EQ(device_->frames, 1);
    Advance(1);
    EXPECT_EQ(device_->frames, 2);
}

// A device with no host frames to take: the timer shows the colours once and rests; a change
// of the colours (from any thread) is shown at once, and nothing polls in between.
TEST_F(DeviceOptionTest, LightFrameTimerRestsUntilTheColoursChange) {
    OpenWired();
    device_->streams = false;
    option_->StartConnect(1);
    Advance(1);
    Advance(5);
    EXPECT_EQ(device_->frames, 1);
    EXPECT_FALSE(Armed(Option::kTimerLightFrame));
    Advance(1000);
    EXPECT_EQ(device_->frames, 1);

    std::thread renderer([&] { device_->SetKeyColour(3, 0x00FF0000); });
    renderer.join();
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(device_->frames, 2);
    device_->SetKeyColour(3, 0x00FF0000);  // the same colour is no change
    device_->SetKeyColour(4, 0x0000FF00);
    device_->SetKeyColour(5, 0x000000FF);  // two changes before the UI thread runs: one frame
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(device_->frames, 3);

    // Streaming again: the next change arms the timer, which then keeps its 5 ms period.
    device_->streams = true;
    device_->SetKeyColour(6, 0x00FFFFFF);
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(device_->frames, 4);
    EXPECT_TRUE(Armed(Option::kTimerLightFrame));
    Advance(5);
    Advance(5);
    EXPECT_EQ(device_->frames, 6);
}

TEST_F(DeviceOptionTest, KeepAlivesRunBeginAndEndConfigOnTheirPeriods) {
    OpenReceiver();
    device_->keepAliveMinutes = 2;
    option_->StartConnect(1);
    Advance(1);
    option_->StopDeviceTimers();  // keep only the two keep-alives running
    wnd_->GetPaintManager().SetTimer(option_, Option::kTimerKeepAlive, 50);
    wnd_->GetPaintManager().SetTimer(option_, Option::kTimerKeepAliveLong, 50);

    Advance(50);
    EXPECT_EQ(counter_->Count(kBeginConfig), 2);
    EXPECT_EQ(counter_->Count(kEndConfig), 2);

    // 1008 after KeepAliveMinutes × 60 s − 10 s, 1009 after 170 s.
    Advance(109999);
    EXPECT_EQ(counter_->Count(kBeginConfig), 2);
    Advance(1);
    EXPECT_EQ(counter_->Count(kBeginConfig), 3);
    Advance(60000);
    EXPECT_EQ(counter_->Count(kBeginConfig), 4);
    EXPECT_EQ(counter_->Count(kEndConfig), 4);
    EXPECT_TRUE(Armed(Option::kTimerKeepAlive));
    EXPECT_TRUE(Armed(Option::kTimerKeepAliveLong));
}

TEST_F(DeviceOptionTest, LinkWatchFollowsTheLinkAndReadsStatusWhenItReturns) {
    OpenReceiver();
    device_->SetWirelessCapable(true);
    option_->StartConnect(1);
    Advance(1);
    option_->StopDeviceTimers();
    wnd_->GetPaintManager().SetTimer(option_, Option::kTimerLinkWatch, Option::kLinkWatchMs);

    device_->online = false;
    Advance(3000);
    EXPECT_FALSE(option_->IsShownOnline());
    EXPECT_EQ(device_->statusReads, 0);
    Advance(3000);
    EXPECT_FALSE(option_->IsShownOnline());

    device_->online = true;
    Advance(3000);
    EXPECT_TRUE(option_->IsShownOnline());
    EXPECT_EQ(device_->statusReads, 1);
    Advance(3000);  // no change: no second status read
    EXPECT_EQ(device_->statusReads, 1);
    EXPECT_TRUE(Armed(Option::kTimerLinkWatch));
}

TEST_F(DeviceOptionTest, RefreshAndReservedTimersRunOnceAndLostDeviceIsSafe) {
    OpenWired();
    option_->RequestRefresh();
    wnd_->GetPaintManager().SetTimer(option_, Option::kTimerReserved1, 10);
    wnd_->GetPaintManager().SetTimer(option_, Option::kTimerReserved2, 10);
    Advance(50);
    Advance(50);
    EXPECT_EQ(device_->refreshes, 1);
    EXPECT_EQ(device_->reserved15, 1);
    EXPECT_EQ(device_->reserved16, 1);

    // The device object goes away: the entry's timers stop without touching it.
    option_->StartConnect(1);
    counter_.reset();
    device_.reset();
    Advance(1);
    EXPECT_EQ(option_->GetDevice(), nullptr);
    EXPECT_FALSE(Armed(Option::kTimerConnect));
}

TEST_F(DeviceOptionTest, EntryShowsItsLabelAndSelection) {
    OpenWired();
    option_->SetLabel("Keyboard");
    EXPECT_EQ(wnd_->Find("device_label")->GetText(), "Keyboard");
    ASSERT_NE(option_->SelectOption(), nullptr);
    EXPECT_FALSE(option_->IsDeviceSelected());
    option_->SelectOption()->Selected(true, false);
    EXPECT_TRUE(option_->IsDeviceSelected());
    wnd_->GetPaintManager().SetTimer(option_, Option::kTimerLightFrame, 5);
    Advance(5);
    EXPECT_EQ(device_->frames, 1);
    EXPECT_TRUE(Armed(Option::kTimerLightFrame));
}

TEST_F(DeviceOptionTest, SkinLayoutOfTheEntryBuilds) {
    const std::string saved = CPaintManagerUI::GetResourcePath();
    CPaintManagerUI::SetResourcePath(FindDataRoot().skin.string());
    CPaintManagerUI pm;
    CDialogBuilder builder;
    auto root = builder.Create("XML/CustomControlXML/DeviceOption.xml", nullptr, &pm);
    CPaintManagerUI::SetResourcePath(saved);
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(builder.Diagnostics().empty());
    EXPECT_EQ(root->GetClass(), Option::kClassName);
    for (const char* name : {Option::kSelectName, Option::kSynchroName, Option::kLabelName, Option::kOfflineName}) {
        EXPECT_NE(pm.FindSubControlByName(root.get(), name), nullptr) << name;
    }
}

}  // namespace
}  // namespace q208::test
