#include <algorithm>

#include "UiTestSupport.h"
#include "ui/CComboUI.h"
#include "ui/CContainerUI.h"
#include "ui/COptionUI.h"
#include "ui/CResourceManager.h"
#include "ui/CSliderUI.h"

namespace q208::test {
namespace {

constexpr const char* kPage = R"(<Window size="400,300"><VerticalLayout name="root">
  <Label name="title" text="Settings"/>
  <Button name="icon_btn" tooltip="Add a device" width="30" height="20"/>
  <Button name="keyed" accessname="acc_key" width="30" height="20"/>
  <Option name="sync" text="Sync" height="20"/>
  <Option name="stage_a" group="stage" text="A" height="20" selected="true"/>
  <Option name="stage_b" group="stage" text="B" height="20"/>
  <Slider name="dpi" min="0" max="127" value="10" height="10"/>
  <Progress name="battery" min="0" max="100" value="55" height="10"/>
  <Edit name="field" text="abc" height="20"/>
  <Combo name="mode" height="20"><ListLabelElement text="Off"/><ListLabelElement text="On"/></Combo>
  <Button name="hidden_btn" text="Hidden" visible="false" height="20"/>
  <TabLayout name="pages" height="40"><VerticalLayout name="page0"/><VerticalLayout name="page1"/></TabLayout>
</VerticalLayout></Window>)";

// Records what the window's accessibility observer hears.
struct Recorder : IAccessObserver {
    std::vector<std::pair<std::string, AccessEvent>> events;
    bool detached = false;
    void OnAccessEvent(CControlUI* control, AccessEvent event) override {
        events.emplace_back(control ? control->GetName() : "?", event);
    }
    void OnAccessDetached() override { detached = true; }
    bool Heard(const std::string& name, AccessEvent event) const {
        return std::find(events.begin(), events.end(), std::make_pair(name, event)) != events.end();
    }
};

class AccessTest : public UiTest {};

TEST_F(AccessTest, RolesNamesAndShownChildrenDescribeTheTree) {
    CResourceManager::GetInstance().AddText("acc_key", "Keyed name");
    auto wnd = Open(kPage);
    EXPECT_EQ(wnd->Find("title")->GetAccessRole(), AccessRole::Label);
    EXPECT_EQ(wnd->Find("icon_btn")->GetAccessRole(), AccessRole::PushButton);
    EXPECT_EQ(wnd->Find("sync")->GetAccessRole(), AccessRole::CheckBox);
    EXPECT_EQ(wnd->Find("stage_a")->GetAccessRole(), AccessRole::RadioButton);
    EXPECT_EQ(wnd->Find("dpi")->GetAccessRole(), AccessRole::Slider);
    EXPECT_EQ(wnd->Find("battery")->GetAccessRole(), AccessRole::ProgressBar);
    EXPECT_EQ(wnd->Find("field")->GetAccessRole(), AccessRole::TextEntry);
    EXPECT_EQ(wnd->Find("mode")->GetAccessRole(), AccessRole::ComboBox);
    EXPECT_EQ(wnd->Find("pages")->GetAccessRole(), AccessRole::PageTabList);
    EXPECT_EQ(wnd->Find("page0")->GetAccessRole(), AccessRole::PageTab);
    EXPECT_EQ(wnd->Find("root")->GetAccessRole(), AccessRole::Panel);

    // Text, else tooltip, else the language text of "accessname".
    EXPECT_EQ(wnd->Find("title")->GetAccessName(), "Settings");
    EXPECT_EQ(wnd->Find("icon_btn")->GetAccessName(), "Add a device");
    EXPECT_EQ(wnd->Find("icon_btn")->GetAccessDescription(), "");  // the tooltip is the name already
    EXPECT_EQ(wnd->Find("keyed")->GetAccessName(), "Keyed name");

    // Hidden controls and the tab layout's other pages are not shown to clients; a combo's
    // items are, drop-down closed or not.
    const auto shown = wnd->Find("root")->GetAccessChildren();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), wnd->Find("hidden_btn")), 0);
    EXPECT_EQ(wnd->Find("pages")->GetAccessChildren(), std::vector<CControlUI*>{wnd->Find("page0")});
    EXPECT_EQ(wnd->Find("mode")->GetAccessChildren().size(), 2u);
}

TEST_F(AccessTest, ActionsAndValuesActAsTheUserWould) {
    auto wnd = Open(kPage);
    wnd->Take();
    EXPECT_TRUE(wnd->Find("icon_btn")->DoAccessAction(kAccessPress));
    EXPECT_TRUE(wnd->Find("sync")->DoAccessAction(kAccessToggle));
    EXPECT_TRUE(wnd->Find("sync")->IsAccessChecked());
    EXPECT_TRUE(wnd->Find("stage_b")->DoAccessAction(kAccessPress));
    EXPECT_FALSE(wnd->Find("stage_a")->IsAccessChecked());
    EXPECT_FALSE(wnd->Find("title")->DoAccessAction(kAccessPress));  // labels have no action
    auto events = wnd->Take();
    EXPECT_NE(std::find(events.begin(), events.end(), "click:icon_btn"), events.end());
    EXPECT_NE(std::find(events.begin(), events.end(), "selectchanged:sync"), events.end());
    EXPECT_NE(std::find(events.begin(), events.end(), "selectchanged:stage_b"), events.end());

    // A slider clamps to its range and tells the window as a drag does.
    CControlUI* dpi = wnd->Find("dpi");
    EXPECT_TRUE(dpi->SetAccessValue(500));
    EXPECT_EQ(dpi->GetAccessValue()->current, 127);
    EXPECT_EQ(wnd->Take(), std::vector<std::string>{"valuechanged:dpi"});
    EXPECT_FALSE(wnd->Find("battery")->SetAccessValue(3));  // progress bars are read-only
    EXPECT_EQ(wnd->Find("battery")->GetAccessValue()->current, 55);

    // A combo item's press selects it.
    auto* combo = wnd->Find<CComboUI>("mode");
    EXPECT_TRUE(combo->GetAccessChildren()[1]->DoAccessAction(kAccessPress));
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(combo->GetAccessName(), "On");
    EXPECT_EQ(wnd->Take(), std::vector<std::string>{"itemselect:mode"});

    // Disabled controls refuse every action and value.
    dpi->SetEnabled(false);
    wnd->Find("icon_btn")->SetEnabled(false);
    EXPECT_FALSE(dpi->SetAccessValue(1));
    EXPECT_FALSE(wnd->Find("icon_btn")->DoAccessAction(kAccessPress));
    EXPECT_TRUE(wnd->Take().empty());
}

TEST_F(AccessTest, ObserverHearsFocusValueStateAndRemoval) {
    auto wnd = Open(kPage);
    Recorder recorder;
    CPaintManagerUI& pm = wnd->GetPaintManager();
    pm.SetAccessObserver(&recorder);

    wnd->Find("field")->SetFocus();
    EXPECT_TRUE(recorder.Heard("field", AccessEvent::Focus));
    wnd->Find<CSliderUI>("dpi")->SetValue(20);  // the device moved it, not the user
    EXPECT_TRUE(recorder.Heard("dpi", AccessEvent::ValueChanged));
    wnd->Find<COptionUI>("stage_b")->Selected(true, false);
    EXPECT_TRUE(recorder.Heard("stage_b", AccessEvent::StateChanged));
    EXPECT_TRUE(recorder.Heard("stage_a", AccessEvent::StateChanged));
    wnd->Find("title")->SetText("Other");
    EXPECT_TRUE(recorder.Heard("title", AccessEvent::NameChanged));
    wnd->Find("hidden_btn")->SetVisible(true);
    EXPECT_TRUE(recorder.Heard("root", AccessEvent::TreeChanged));

    auto* root = static_cast<CContainerUI*>(wnd->Find("root"));
    EXPECT_TRUE(root->Remove(wnd->Find("keyed")));
    EXPECT_TRUE(recorder.Heard("keyed", AccessEvent::Destroyed));

    wnd->DestroyWindow();
    wnd.reset();
    EXPECT_TRUE(recorder.detached);
}

}  // namespace
}  // namespace q208::test
