// The key editor in the main window over emulated devices: a button clicked on the mouse
// picture shows its record, saving writes it into the mouse, the Fn button has nothing to
// edit, and WM_HOOK_CONTROL installs and removes the input hook.
#include "MainWndTestFixture.h"
#include "app/ShellMessages.h"
#include "devices/mouse/CVantorixMouseDevice.h"
#include "editors/CKeyAssignEditor.h"
#include "editors/CKeySetControlUI.h"
#include "ui/CComboUI.h"
#include "platform/RegisteredMessageNames.h"
#include "ui/CDeviceHook.h"
#include "ui/UiMessaging.h"

namespace q208::test {

class KeyEditorTest : public MainWndHubTest {
protected:
    CVantorixUSBDevice* Mouse() { return wnd_->DeviceOfModel(ModelForSlotKind(kKindMouse)); }
    CControlUI* PagePart(CControlUI* page, const std::string& name) {
        return wnd_->GetPaintManager().FindSubControlByName(page, name);
    }
    void ClickPart(CControlUI* page, const std::string& name) {
        TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_CLICK;
        msg.pSender = PagePart(page, name);
        ASSERT_NE(msg.pSender, nullptr) << name;
        wnd_->Notify(msg);
    }
};

TEST_F(KeyEditorTest, AMouseButtonShowsItsRecordAndSavingWritesIt) {
    devices_->Plug(SimDeviceKind::Mouse);
    Start();
    CVantorixUSBDevice* mouse = Mouse();
    ASSERT_NE(mouse, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return mouse->GetKeyAssignments().size() > 4 && mouse->CommandChannel().IsOpen(); }));
    CKeySetControlUI* panel = CKeyAssignEditor::PanelOf(mouse);
    ASSERT_NE(panel, nullptr);

    ClickPart(mouse, "key_8");  // the Fn button: a function of the mouse's own
    EXPECT_FALSE(panel->IsEditorShown());
    ClickPart(mouse, "key_4");  // back button
    EXPECT_TRUE(panel->IsEditorShown());
    EXPECT_EQ(panel->SelectedCategory(), static_cast<int>(KeyCategory::MouseButton));
    auto* buttons = static_cast<CComboUI*>(PagePart(panel, "keyset_mousekey_combo"));
    EXPECT_EQ(buttons->GetCurSel(), 4);

    buttons->SelectItem(0, false, false);  // left button
    ClickPart(panel, "key_butt_keysave");
    const KeyAssignmentHalf stored = mouse->GetKeyAssignments()[4].current;
    EXPECT_EQ(std::make_tuple(stored.type, stored.param1, stored.param2), std::make_tuple(0x10, 0x01, 0x00));
    EXPECT_FALSE(wnd_->KeyEditor()->EditorState());
    ClickPart(panel, "key_butt_keycancel");
    EXPECT_TRUE(wnd_->KeyEditor()->EditorState());

    // Every button back to what it does from the factory.
    ClickPart(panel, "default_btn");
    const KeyAssignmentRecord back = mouse->GetKeyAssignments()[4];
    EXPECT_EQ(back.current.type, back.defaults.type);
    EXPECT_EQ(back.current.param1, back.defaults.param1);
}

TEST_F(KeyEditorTest, TheCaptureFieldHoldsTheHookWhileFocusedAndTheKeyboardOffersItsCategories) {
    devices_->Plug(SimDeviceKind::Keyboard);
    Start();
    CVantorixUSBDevice* keyboard = Keyboard();
    ASSERT_TRUE(PumpUntil([&] { return keyboard->GetKeyAssignments().size() > 110; }));
    CKeySetControlUI* panel = CKeyAssignEditor::PanelOf(keyboard);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(static_cast<CComboUI*>(PagePart(panel, "keyset_function_combo"))->GetCount(), 7);
    ClickPart(keyboard, "key_110");  // Fn
    EXPECT_FALSE(panel->IsEditorShown());
    ClickPart(keyboard, "key_64");  // A
    EXPECT_EQ(panel->SelectedCategory(), static_cast<int>(KeyCategory::Keyboard));

    TNotifyUI focus;
    focus.sType = DUI_MSGTYPE_SETFOCUS;
    focus.pSender = PagePart(panel, CKeySetControlUI::kCaptureEdit);
    wnd_->Notify(focus);
    ASSERT_TRUE(wnd_->HookInstalled());
    // The hook's message for Left Shift, then Z.
    const UINT single = RegisterWindowMessage(kHookKeySingleKey);
    Send(single, WM_KEYDOWN, CDeviceHook::PackKey(0x2A, false));
    Send(single, WM_KEYDOWN, CDeviceHook::PackKey(0x2C, false));
    EXPECT_EQ(PagePart(panel, CKeySetControlUI::kCaptureEdit)->GetText(), "Z");
    EXPECT_EQ(panel->Model().Editing().param1, 0x02);
    EXPECT_EQ(panel->Model().Editing().param2, 0x1D);

    // The page going away ends the capture: the keyboard is let go.
    devices_->Unplug(SimDeviceKind::Keyboard);
    EXPECT_TRUE(PumpUntil([&] { return !wnd_->HookInstalled(); }));
    EXPECT_FALSE(wnd_->KeyEditor()->IsCapturing());
}

TEST_F(KeyEditorTest, HookControlInstallsAndRemovesTheHook) {
    Start();
    Send(WM_HOOK_CONTROL, 1, 0);
    EXPECT_TRUE(wnd_->HookInstalled());
    EXPECT_EQ(wnd_->Hook()->GetMode(), CDeviceHook::kSingleKey);
    Send(WM_HOOK_CONTROL, 1, CDeviceHook::kMacro);
    EXPECT_EQ(wnd_->Hook()->GetMode(), CDeviceHook::kMacro);
    Send(WM_HOOK_CONTROL, 0, 0);
    EXPECT_FALSE(wnd_->HookInstalled());
}

}  // namespace q208::test
