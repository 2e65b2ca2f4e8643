// The profile panel on the keyboard page, driven through the main window as a user would:
// pointer clicks on its buttons, answers in the message box, a choice in the drop-down.
#include <fstream>

#include "MainWndTestFixture.h"
#include "app/CMsgWnd.h"
#include "app/ProfileActions.h"
#include "devices/keyboard/CVantorixKeyboardDevice.h"
#include "editors/CDeviceProfileUI.h"
#include "profile/JsonFile.h"
#include "profile/ProfilePaths.h"
#include "ui/CComboUI.h"

namespace q208::test {
namespace {

class ProfilePanelTest : public MainWndTest {
protected:
    void TearDown() override {
        CMsgWnd::SetShownHook(nullptr);
        MainWndTest::TearDown();
    }
    void StartWithKeyboard(MainWndSettings settings = {}) {
        // A first start: no profiles yet (tests of one program may share the user folder).
        std::filesystem::remove_all(DeviceUserFolder(kKeyboardFolder));
        devices_->Plug(sim::SimDeviceKind::Keyboard);
        Start(std::move(settings));
        ASSERT_TRUE(PumpUntil([&] { return Selected(kKeyboardModel); }));
        panel_ = ProfileActions::PanelOfDevice(wnd_->DeviceOfModel(kKeyboardModel));
        ASSERT_NE(panel_, nullptr) << "the keyboard page has a profile panel";
    }
    CControlUI* Part(const std::string& name) {
        return panel_->FindControl([&](CControlUI* c) { return c->GetName() == name ? c : nullptr; }, UIFIND_ALL);
    }
    // A press and release in the middle of a control of the panel.
    void ClickPart(const std::string& name) {
        CControlUI* control = Part(name);
        ASSERT_NE(control, nullptr) << name;
        wnd_->GetPaintManager().DoLayout();
        ASSERT_TRUE(control->IsVisible()) << name;
        const UiRect rc = control->GetPos();
        const UiPoint pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        wnd_->OnPointer({PointerAction::Move, PointerButton::None, pt, 0, 0});
        wnd_->OnPointer({PointerAction::Press, PointerButton::Left, pt, 0, MK_LBUTTON});
        wnd_->OnPointer({PointerAction::Release, PointerButton::Left, pt, 0, 0});
    }
    CComboUI* Combo() { return static_cast<CComboUI*>(Part(CDeviceProfileUI::kComboName)->GetInterface("Combo")); }
    Json::Value StoredList() const { return ReadJsonValue(panel_->List()->ListPath()); }
    // Answers every message box with `button`, remembering its text.
    void AnswerWith(const std::string& button) {
        CMsgWnd::SetShownHook([this, button](CMsgWnd& box) {
            shown_.push_back(box.GetPaintManager().FindControl("MessageText")->GetText());
            CControlUI* control = box.GetPaintManager().FindControl(button);
            TNotifyUI msg;
            msg.sType = DUI_MSGTYPE_CLICK;
            msg.pSender = control;
            box.Notify(msg);
        });
    }

    CDeviceProfileUI* panel_ = nullptr;
    std::vector<std::string> shown_;
};

TEST_F(ProfilePanelTest, AddingAfterTheConfirmationShowsTheProfileAndStoresIt) {
    StartWithKeyboard();
    ASSERT_EQ(Combo()->GetCount(), 1);
    EXPECT_EQ(Combo()->GetText(), "profile1");
    EXPECT_EQ(panel_->GetNameEditText(), "profile1");
    EXPECT_FALSE(panel_->IsProfileMenuShown());
    ClickPart("profile_fun_spread_btn");
    ASSERT_TRUE(panel_->IsProfileMenuShown());

    AnswerWith("cancel_btn");
    ClickPart("device_add_btn");
    EXPECT_EQ(Combo()->GetCount(), 1) << "cancelled";

    AnswerWith("confirm_btn");
    ClickPart("device_add_btn");
    ASSERT_EQ(shown_, (std::vector<std::string>{"Create a new profile?", "Create a new profile?"}));
    ASSERT_EQ(Combo()->GetCount(), 2);
    EXPECT_EQ(Combo()->GetItemAt(1)->GetText(), "profile2");
    EXPECT_EQ(Combo()->GetCurSel(), 0) << "the keyboard stays on its profile";
    const Json::Value list = StoredList();
    ASSERT_EQ(list["profilelist"].size(), 2u);
    EXPECT_EQ(list["profilelist"][1]["profilename"].asString(), "profile2");
    EXPECT_EQ(list["profileselect"].asInt(), 0);
    EXPECT_TRUE(std::filesystem::exists(panel_->List()->DocumentPath(1)));
}

TEST_F(ProfilePanelTest, ChoosingAProfileSwitchesTheKeyboardToIt) {
    StartWithKeyboard();
    AnswerWith("confirm_btn");
    ClickPart("profile_fun_spread_btn");
    ClickPart("device_copy_btn");
    ASSERT_EQ(Combo()->GetCount(), 2);
    EXPECT_EQ(Combo()->GetItemAt(1)->GetText(), "profile1 copy");
    const std::filesystem::path copy = panel_->List()->DocumentPath(1);
    Json::Value document = ReadJsonValue(copy);
    document["Device"][0]["LightInfo"]["Red"] = 9;
    ASSERT_EQ(WriteJsonFile(document, copy), 0);

    auto* keyboard = static_cast<CVantorixKeyboardDevice*>(wnd_->DeviceOfModel(kKeyboardModel));
    Combo()->SelectItem(1);  // as the drop-down does for the user's pick
    ASSERT_TRUE(PumpUntil([&] { return keyboard->GetProfileId() == panel_->List()->IdAt(1); })) << "timer 1055";
    EXPECT_EQ(keyboard->GetKeyboardLight().red, 9);
    EXPECT_EQ(StoredList()["profileselect"].asInt(), 1);
    EXPECT_EQ(panel_->GetNameEditText(), "profile1 copy");

    // Deleting the shown profile moves the keyboard to the one before it.
    ClickPart("device_sub_btn");
    EXPECT_EQ(shown_.back(), "Delete the selected profile? This cannot be undone.");
    ASSERT_EQ(Combo()->GetCount(), 1);
    ASSERT_TRUE(PumpUntil([&] { return keyboard->GetProfileId() == panel_->List()->IdAt(0); }));
    EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST_F(ProfilePanelTest, RefusalsAreShownAndASilentFileStaysSilent) {
    MainWndSettings settings;
    std::vector<std::string> informed;
    std::string importFile;
    settings.profileDialogs.inform = [&](const std::string& key) { informed.push_back(key); };
    settings.profileDialogs.chooseImport = [&] { return std::optional<std::string>(importFile); };
    StartWithKeyboard(std::move(settings));

    panel_->SetNameEditText("   ");
    ClickPart("device_profile_edit_save_btn");
    panel_->SetNameEditText("profile1");
    ClickPart("device_profile_edit_save_btn");  // its own name: allowed
    ClickPart("profile_fun_spread_btn");
    importFile = (folder_ / "list.json").string();
    std::ofstream(importFile) << "[1, 2]";
    ClickPart("device_import_btn");
    importFile = (folder_ / "nameless.json").string();
    std::ofstream(importFile) << R"({"profilename": "x"})";
    ClickPart("device_import_btn");
    EXPECT_EQ(informed, (std::vector<std::string>{"message_text_25", "message_text_33"}));

    importFile = (folder_ / "Mine.json").string();
    std::ofstream(importFile) << R"({"profilename": "x", "profileUUID": "../../x", "Device": [{}]})";
    ClickPart("device_import_btn");
    ASSERT_EQ(Combo()->GetCount(), 2);
    EXPECT_EQ(Combo()->GetItemAt(1)->GetText(), "Mine");
    EXPECT_EQ(Combo()->GetCurSel(), 1) << "an import is switched to";
    EXPECT_TRUE(IsPlainIdentifier(panel_->List()->IdAt(1)));
}

}  // namespace
}  // namespace q208::test
