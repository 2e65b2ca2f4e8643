// The shell as a user meets it: the window's size and DPI, child windows at that DPI, entries
// in the applied language, what the devices hear of the window, and a sleeping system.
#include "app/ChildWindows.h"
#include "app/CSetWnd.h"
#include "app/CSkinFrame.h"
#include "app/LanguageSettings.h"
#include "app/MainWndMessages.h"
#include "app/MainWndTestFixture.h"
#include "app/RegisteredMessages.h"
#include "app/ShellMessages.h"
#include "app/SkinSettings.h"
#include "ui/CHeadlessSurface.h"
#include "ui/COptionUI.h"

namespace q208::test {
namespace {

class MainWndShellTest : public MainWndHubTest {
protected:
    CHeadlessSurface& Surface() { return static_cast<CHeadlessSurface&>(*wnd_->GetSurface()); }
    int LanguageIndexOf(const std::string& file) {
        const auto entries = wnd_->Language().Entries();
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].file == file) return static_cast<int>(i);
        }
        return -1;
    }
    std::string EntryText(int model) {
        return wnd_->OptionAt(wnd_->OptionIndexOfModel(model))->SelectOption()->GetText();
    }
};

TEST_F(MainWndShellTest, DpiFitGivesTheWindowItsSizeAtTheDpiOfItsOwnMonitor) {
    Start();
    Surface().SetMonitorRect({0, 0, 1366, 768});
    wnd_->DpiFit();
    EXPECT_EQ(wnd_->WindowDpi(), 96);
    EXPECT_EQ(wnd_->GetWindowRect().Width(), 1000);
    EXPECT_EQ(wnd_->GetWindowRect().Height(), 640);
    EXPECT_EQ(wnd_->GetPaintManager().GetDPI(), 96);

    // The window's monitor counts, not the primary screen's work area.
    Surface().SetMonitorRect({1366, 0, 1366 + 1920, 1080});
    wnd_->DpiFit();
    EXPECT_EQ(wnd_->WindowDpi(), 144);
    EXPECT_EQ(wnd_->GetWindowRect().Width(), 1500);
    EXPECT_EQ(wnd_->GetWindowRect().Height(), 960);
    EXPECT_EQ(wnd_->GetPaintManager().GetDPI(), 144);
    wnd_->GetPaintManager().DoLayout();
    EXPECT_EQ(wnd_->GetPaintManager().GetRoot()->GetPos().Width(), 1500) << "the layout fills the window";

    // The child windows open at the main window's DPI, the skin frame beside its button.
    Click("setbtn");
    ASSERT_NE(wnd_->SettingsWindow(), nullptr);
    CSetWnd& settings = *wnd_->SettingsWindow();
    EXPECT_EQ(settings.GetPaintManager().GetDPI(), 144);
    EXPECT_EQ(settings.GetWindowRect().Width(), settings.GetPaintManager().GetInitSize().cx * 3 / 2);
    Click("skinbtn");
    ASSERT_NE(wnd_->SkinFrame(), nullptr);
    CSkinFrame& skin = *wnd_->SkinFrame();
    EXPECT_EQ(skin.GetPaintManager().GetDPI(), 144);
    EXPECT_EQ(skin.GetWindowRect().Width(), skin.GetPaintManager().GetInitSize().cx * 3 / 2);
    const UiRect button =
        wnd_->GetPaintManager().FindControl("skinbtn")->GetPos().Offset(wnd_->GetWindowRect().left, wnd_->GetWindowRect().top);
    EXPECT_EQ(skin.GetWindowRect().top, button.bottom);
    EXPECT_EQ(skin.GetWindowRect().right, button.right);

    // Back on the small monitor, the open children shrink with the main window.
    Surface().SetMonitorRect({0, 0, 1366, 768});
    wnd_->DpiFit();
    ASSERT_NE(wnd_->SkinFrame(), nullptr);
    EXPECT_EQ(wnd_->SkinFrame()->GetPaintManager().GetDPI(), 96);
    EXPECT_EQ(wnd_->SkinFrame()->GetWindowRect().Width(), wnd_->SkinFrame()->GetPaintManager().GetInitSize().cx);
}

TEST_F(MainWndShellTest, EntriesReadInTheLanguageSwitchedTo) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return Visible(kKeyboardModel); }));
    const int english = LanguageIndexOf("lan_en.xml");
    const int chinese = LanguageIndexOf("lan_cn.xml");
    ASSERT_GE(english, 0);
    ASSERT_GE(chinese, 0);
    Send(WM_LANGUAGE_SELECT, static_cast<WPARAM>(english), 0);
    EXPECT_EQ(EntryText(kKeyboardModel), "Q208 Keyboard");
    Send(WM_LANGUAGE_SELECT, static_cast<WPARAM>(chinese), 0);
    EXPECT_EQ(EntryText(kKeyboardModel), "Q208 键盘");
    EXPECT_EQ(EntryText(kMousePadModel), "Q208 鼠标垫") << "hidden entries follow too";
}

TEST_F(MainWndShellTest, DevicesHearTheWindowShownHiddenFocusedAndHowManyEntriesShow) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return Selected(kKeyboardModel); }));
    EXPECT_TRUE(Keyboard()->IsWindowShown());
    EXPECT_FALSE(Keyboard()->SeveralDevicesShown());
    EXPECT_EQ(wnd_->GetPaintManager().FindControl("root")->GetBkImage(), "file='main/background_kb.png'");

    devices_->Plug(SimDeviceKind::MousePad);
    ASSERT_TRUE(PumpUntil([&] { return Visible(kMousePadModel); }));
    EXPECT_TRUE(Keyboard()->SeveralDevicesShown());
    EXPECT_TRUE(wnd_->DeviceOfModel(kMousePadModel)->SeveralDevicesShown());

    wnd_->OnFocusChanged(true);
    EXPECT_TRUE(wnd_->IsActive());
    EXPECT_TRUE(Keyboard()->HasWindowFocus());
    wnd_->OnFocusChanged(false);
    EXPECT_FALSE(Keyboard()->HasWindowFocus());
    // Without the focus, the pointer over the window counts.
    wnd_->OnPointer({PointerAction::Enter, PointerButton::None, {5, 5}, 0, 0});
    EXPECT_TRUE(Keyboard()->HasWindowFocus());
    wnd_->OnPointer({PointerAction::Leave, PointerButton::None, {}, 0, 0});
    EXPECT_FALSE(Keyboard()->HasWindowFocus());

    Click("closebtn");
    EXPECT_FALSE(Keyboard()->IsWindowShown());
    Send(kTrayMessage, 0, kTrayLeftUp);
    EXPECT_TRUE(wnd_->IsWindowVisible());
    EXPECT_TRUE(Keyboard()->IsWindowShown());
    // Both ways of the tray click close the child windows.
    Click("setbtn");
    Send(kTrayMessage, 0, kTrayLeftUp);
    EXPECT_FALSE(wnd_->IsWindowVisible());
    EXPECT_EQ(wnd_->SettingsWindow(), nullptr);
    EXPECT_FALSE(Keyboard()->IsWindowShown());
}

TEST_F(MainWndShellTest, UnpluggingTheShownDeviceClosesTheChildWindowsFirst) {
    devices_->Plug(SimDeviceKind::Keyboard);
    devices_->Plug(SimDeviceKind::MousePad);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return Visible(kKeyboardModel) && Visible(kMousePadModel); }));
    ASSERT_TRUE(Selected(kKeyboardModel));
    Click("setbtn");
    ASSERT_NE(wnd_->SettingsWindow(), nullptr);
    devices_->Unplug(SimDeviceKind::Keyboard);
    ASSERT_TRUE(PumpUntil([&] { return !Visible(kKeyboardModel); }));
    EXPECT_EQ(wnd_->SettingsWindow(), nullptr);
    EXPECT_TRUE(Selected(kMousePadModel));
    EXPECT_FALSE(Keyboard()->SeveralDevicesShown());
}

TEST_F(MainWndShellTest, MaxbtnMaximisesAndRestorebtnTakesItBack) {
    Start();
    Click("maxbtn");
    EXPECT_TRUE(wnd_->GetSurface()->IsMaximized());
    EXPECT_FALSE(wnd_->GetPaintManager().FindControl("maxbtn")->IsVisible());
    EXPECT_TRUE(wnd_->GetPaintManager().FindControl("restorebtn")->IsVisible());
    Click("restorebtn");
    EXPECT_FALSE(wnd_->GetSurface()->IsMaximized());
    EXPECT_TRUE(wnd_->GetPaintManager().FindControl("maxbtn")->IsVisible());
}

TEST_F(MainWndShellTest, WhileTheSystemSleepsTimersTrayClicksAndMenuResultsAreNotActedOn) {
    devices_->Plug(SimDeviceKind::Keyboard);
    MainWndSettings settings;
    settings.gameLightRestoreMs = 100;
    Start(settings);
    ASSERT_EQ(wnd_->CurrentDevice(), Keyboard());
    const LightState before = Keyboard()->GetLightState();
    Send(RegisteredMessages::IdOf(kGameKill), 1, before.effect + 3);
    Send(WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    // The restore timer's expiries pass by while paused.
    EXPECT_FALSE(PumpUntil([&] { return Keyboard()->GetLightState().effect == before.effect; }, 500));
    const bool shown = wnd_->IsWindowVisible();
    Send(kTrayMessage, 0, kTrayLeftUp);
    EXPECT_EQ(wnd_->IsWindowVisible(), shown);

    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(PumpUntil([&] { return Keyboard()->GetLightState().effect == before.effect; }));
}

TEST_F(MainWndShellTest, ASkinPictureMissingOnTheNextStartLeavesTheLayoutsBackground) {
    // Saved by an earlier start: a picture of the user's own that was deleted since.
    const auto gone = std::filesystem::path(::testing::TempDir()) / "q208-gone.png";
    std::filesystem::remove(gone);
    Start();
    CControlUI* root = wnd_->GetPaintManager().FindControl("root");
    ASSERT_TRUE(SkinSettings(folder_).Save(true, gone.string()));
    const std::string before = root->GetBkImage();
    const ARGB colour = root->GetBkColor();
    EXPECT_FALSE(SkinSettings(folder_).ApplySaved(*root));
    EXPECT_EQ(root->GetBkImage(), before);
    EXPECT_EQ(root->GetBkColor(), colour);
    // A choice of a picture that cannot be read is neither shown nor saved.
    SkinChangeSubject::Instance().Broadcast({false, 0, gone.string()});
    EXPECT_EQ(root->GetBkImage(), before);
}

TEST(SkinPictures, EveryPictureTheSkinNamesIsShipped) {
    CPaintManagerUI::SetResourcePath(FindDataRoot().skin.string() + "/");
    for (const char* image : {"common/background.png", "common/background_2.png", "common/background_3.png",
                              "file='main/background_kb.png'", "file='main/background_ms.png'"}) {
        EXPECT_TRUE(SkinSettings::IsReadableImage(image)) << image;
    }
    EXPECT_FALSE(SkinSettings::IsReadableImage("common/none.png"));
}

}  // namespace
}  // namespace q208::test
