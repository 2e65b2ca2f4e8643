#include "UiTestSupport.h"
#include "ui/CComboUI.h"
#include "ui/CComboWnd.h"
#include "ui/CEditUI.h"
#include "ui/CHorizontalLayoutUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/CListUI.h"
#include "ui/COptionUI.h"
#include "ui/CResourceManager.h"
#include "ui/CSliderUI.h"
#include "ui/CTabLayoutUI.h"

namespace q208::test {
namespace {

using Events = std::vector<std::string>;

class EventsTest : public UiTest {};

const char* kButtons = R"(<Window size="200,100"><HorizontalLayout name="root">
    <Button name="ok" width="50"/><Button name="cancel" width="50"/><Edit name="edit" width="60" maxchar="4" numberonly="true"/>
    </HorizontalLayout></Window>)";

TEST_F(EventsTest, ClickOnlyWhenReleasedInsideTheButtonThatWasPressed) {
    auto wnd = Open(kButtons);
    wnd->Take();
    wnd->Click(10, 10);
    EXPECT_EQ(wnd->Take(), (Events{"setfocus:ok", "click:ok"}));

    wnd->Press(10, 10);
    wnd->Move(70, 10, MK_LBUTTON);  // dragged onto the other button
    wnd->Release(70, 10);
    EXPECT_EQ(wnd->Take(), Events{});

    wnd->Press(70, 10);  // pressed on "cancel", released on "ok"
    wnd->Release(10, 10);
    EXPECT_EQ(wnd->Take(), (Events{"killfocus:ok", "setfocus:cancel"}));
    EXPECT_EQ(wnd->GetPaintManager().GetClick(), nullptr);
}

TEST_F(EventsTest, DisabledButtonsStaySilent) {
    auto wnd = Open(kButtons);
    wnd->Find("ok")->SetEnabled(false);
    wnd->Take();
    wnd->Click(10, 10);
    EXPECT_EQ(wnd->Take(), Events{});
}

TEST_F(EventsTest, OptionGroupsKeepOneSelected) {
    auto wnd = Open(R"(<Window size="300,50"><HorizontalLayout>
        <Option name="o0" group="g" selected="true"/><Option name="o1" group="g"/><Option name="check"/></HorizontalLayout></Window>)");
    auto* o0 = wnd->Find<COptionUI>("o0");
    auto* o1 = wnd->Find<COptionUI>("o1");
    auto* check = wnd->Find<COptionUI>("check");
    wnd->Take();
    wnd->ClickControl("o1");
    EXPECT_TRUE(o1->IsSelected());
    EXPECT_FALSE(o0->IsSelected());
    EXPECT_EQ(wnd->Take(), (Events{"setfocus:o1", "click:o1", "selectchanged:o0", "selectchanged:o1"}));

    wnd->ClickControl("o1");  // a selected radio stays selected
    EXPECT_TRUE(o1->IsSelected());
    EXPECT_EQ(wnd->Take(), (Events{"click:o1"}));

    wnd->ClickControl("check");  // a check box toggles
    wnd->ClickControl("check");
    EXPECT_FALSE(check->IsSelected());
    EXPECT_TRUE(o1->IsSelected());
}

TEST_F(EventsTest, OptionsSwitchTabPages) {
    auto wnd = Open(R"(<Window size="200,100"><VerticalLayout><HorizontalLayout height="20">
        <Option name="tab0" group="t" selected="true"/><Option name="tab1" group="t"/></HorizontalLayout>
        <TabLayout name="pages"><Label name="page0"/><Label name="page1"/></TabLayout></VerticalLayout></Window>)");
    auto* pages = wnd->Find<CTabLayoutUI>("pages");
    wnd->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == "selectchanged" && static_cast<COptionUI*>(msg.pSender)->IsSelected())
            pages->SelectItem(msg.pSender->GetName() == "tab1" ? 1 : 0);
    };
    wnd->ClickControl("tab1");
    EXPECT_EQ(pages->GetCurSel(), 1);
    wnd->GetPaintManager().DoLayout();
    EXPECT_EQ(wnd->GetPaintManager().FindControl({50, 50}), wnd->Find("page1"));
}

TEST_F(EventsTest, SliderDragSendsMoveValuesThenTheValueOnRelease) {
    auto wnd = Open(R"(<Window size="110,20"><HorizontalLayout>
        <Slider name="s" min="0" max="100" value="0" thumbsize="10,10"/></HorizontalLayout></Window>)");
    auto* slider = wnd->Find<CSliderUI>("s");
    wnd->Take();
    wnd->Press(5, 10);   // thumb at 0
    wnd->Move(30, 10, MK_LBUTTON);
    wnd->Move(55, 10, MK_LBUTTON);
    wnd->Move(500, 10, MK_LBUTTON);  // beyond the end: clamped
    EXPECT_EQ(slider->GetValue(), 100);
    wnd->Move(55, 10, MK_LBUTTON);
    EXPECT_EQ(slider->GetValue(), 50);
    wnd->Release(55, 10);
    EXPECT_EQ(wnd->Take(), (Events{"setfocus:s", "movevaluechanged:s", "movevaluechanged:s", "movevaluechanged:s",
                                   "movevaluechanged:s", "valuechanged:s"}));
    EXPECT_FALSE(slider->IsDragging());
}

TEST_F(EventsTest, ComboSelectionByDropDownWheelAndCode) {
    auto wnd = Open(R"(<Window size="200,200"><VerticalLayout><Combo name="c" height="20" itemheight="20">
        <ListLabelElement text="one" userdata="1"/><ListLabelElement text="two" userdata="2"/><ListLabelElement text="three" userdata="3"/>
        </Combo><Control name="below"/></VerticalLayout></Window>)");
    auto* combo = wnd->Find<CComboUI>("c");
    EXPECT_EQ(combo->GetCurSel(), -1);
    wnd->Take();
    wnd->Click(50, 10);
    ASSERT_TRUE(combo->IsDropped());
    CComboWnd* drop = combo->GetDropWindow();
    ASSERT_NE(drop, nullptr);
    // The list is a window of its own below the combo: three rows and a border.
    EXPECT_EQ(drop->GetWindowRect(), (UiRect{0, 20, 200, 82}));
    CRecordingRenderTarget rt;
    static_cast<CHeadlessSurface*>(drop->GetSurface())->PaintInto(rt);
    EXPECT_NE(rt.FindText("three"), nullptr);
    auto* dropSink = &static_cast<CHeadlessSurface*>(drop->GetSurface())->Sink();
    auto clickDrop = [&](int x, int y) {
        dropSink->OnPointer({PointerAction::Move, PointerButton::None, {x, y}, 0, 0});
        dropSink->OnPointer({PointerAction::Press, PointerButton::Left, {x, y}, 0, MK_LBUTTON});
        dropSink->OnPointer({PointerAction::Release, PointerButton::Left, {x, y}, 0, 0});
    };
    clickDrop(50, 30);  // second row: 21..41
    EXPECT_FALSE(combo->IsDropped());
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(combo->GetText(), "two");
    EXPECT_EQ(combo->GetItemAt(combo->GetCurSel())->GetUserData(), "2");
    EXPECT_EQ(wnd->Take(), (Events{"setfocus:c", "dropdown:c", "itemselect:c"}));
    CPaintManagerUI::PumpMessages();

    wnd->OnWheel({{50, 10}, -120, 0});
    EXPECT_EQ(combo->GetCurSel(), 2);
    combo->SelectItem(combo->FindItemByUserData("1"), false, false);  // quietly, as when loading
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(wnd->Take(), (Events{"itemselect:c"}));

    wnd->Click(50, 10);
    ASSERT_TRUE(combo->IsDropped());
    drop = combo->GetDropWindow();
    static_cast<CHeadlessSurface*>(drop->GetSurface())->Sink().OnPointer(
        {PointerAction::Press, PointerButton::Left, {50, 170}, 0, MK_LBUTTON});  // outside closes without choosing
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(combo->IsDropped());
    EXPECT_EQ(combo->GetCurSel(), 0);
}

TEST_F(EventsTest, ListSelectsClicksActivatesAndScrollsToARow) {
    auto wnd = Open(R"(<Window size="100,60"><List name="l" itemheight="20">
        <ListLabelElement name="r0" text="a"/><ListLabelElement name="r1" text="b"/>
        <ListContainerElement name="r2" userdata="x"><Label name="cell"/></ListContainerElement>
        <ListLabelElement name="r3" text="d"/><ListLabelElement name="r4" text="e"/></List></Window>)");
    auto* list = wnd->Find<CListUI>("l");
    wnd->Take();
    wnd->Click(20, 30);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(wnd->Take(), (Events{"setfocus:r1", "itemselect:l", "itemclick:r1"}));
    wnd->OnPointer({PointerAction::DoubleClick, PointerButton::Left, {20, 30}, 0, MK_LBUTTON});
    wnd->Release(20, 30);
    EXPECT_EQ(wnd->Take(), (Events{"itemactivate:r1", "itemclick:r1"}));

    wnd->Click(20, 50);  // the cell of the container row selects the row
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(list->GetItemAt(2)->GetUserData(), "x");

    list->SelectItem(4);
    wnd->GetPaintManager().DoLayout();
    EXPECT_GT(list->GetScrollPos().cy, 0);
    const UiRect row = wnd->Find("r4")->GetPos();
    EXPECT_LE(row.bottom, 60);
    EXPECT_GE(row.top, 0);
}

TEST_F(EventsTest, EditTakesDigitsWithinItsLimitsAndCommitsOnFocusLoss) {
    auto wnd = Open(kButtons);
    auto* edit = wnd->Find<CEditUI>("edit");
    edit->SetRange(0, 800);
    wnd->ClickControl("edit");
    EXPECT_TRUE(edit->IsFocused());
    EXPECT_TRUE(wnd->Surface().IsTextEditActive());
    wnd->Take();
    wnd->Type("9a9");
    wnd->Type("99");
    wnd->Type("9");  // beyond four characters
    EXPECT_EQ(edit->GetText(), "9999");
    wnd->Key(VK_BACK);
    EXPECT_EQ(edit->GetText(), "999");
    EXPECT_EQ(wnd->Take().size(), 5u);  // one per accepted character and the Backspace

    std::string atKillFocus;
    wnd->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == "killfocus") atKillFocus = msg.pSender->GetText();
    };
    wnd->ClickControl("ok");
    EXPECT_EQ(atKillFocus, "800");  // clamped before the handler sees it
    EXPECT_FALSE(wnd->Surface().IsTextEditActive());
    EXPECT_EQ(wnd->Take(), (Events{"textchanged:edit", "killfocus:edit", "setfocus:ok", "click:ok"}));

    // A native text field reports whole texts.
    wnd->ClickControl("edit");
    wnd->OnTextEdited("12x3", true);
    EXPECT_EQ(edit->GetText(), "123");
}

TEST_F(EventsTest, LanguageSwitchReTextsResourceControls) {
    auto& res = CResourceManager::GetInstance();
    res.AddText("hello_key", "Hello");
    auto wnd = Open(R"(<Window size="100,40"><VerticalLayout>
        <Label name="a" text="hello_key" resourcetext="true"/><Label name="b" text="%{hello_key}"/>
        <Label name="plain" text="hello_key"/></VerticalLayout></Window>)");
    EXPECT_EQ(wnd->Find("a")->GetText(), "Hello");
    EXPECT_EQ(wnd->Find("b")->GetText(), "Hello");
    wnd->Surface().ClearDirty();
    res.AddText("hello_key", "Bonjour");
    res.ReloadText();
    EXPECT_FALSE(wnd->Surface().Dirty().IsEmpty());
    CRecordingRenderTarget rt;
    wnd->Surface().PaintInto(rt);
    EXPECT_NE(rt.FindText("Bonjour"), nullptr);
    EXPECT_EQ(wnd->Find("plain")->GetText(), "hello_key");
    res.Release();
}

TEST_F(EventsTest, DeletingHoveredClickedOrFocusedControlsLeavesNoDanglingPointer) {
    auto wnd = Open(kButtons);
    auto& pm = wnd->GetPaintManager();
    auto* root = wnd->Find<CHorizontalLayoutUI>("root");
    wnd->Move(10, 10);
    wnd->Press(10, 10);
    ASSERT_EQ(pm.GetHover(), wnd->Find("ok"));
    ASSERT_EQ(pm.GetClick(), wnd->Find("ok"));
    root->Remove(wnd->Find("ok"));
    EXPECT_EQ(pm.GetHover(), nullptr);
    EXPECT_EQ(pm.GetClick(), nullptr);
    EXPECT_EQ(pm.GetFocus(), nullptr);
    EXPECT_EQ(pm.FindControl("ok"), nullptr);
    wnd->Move(12, 12, MK_LBUTTON);
    wnd->Release(12, 12);

    // A click handler that deletes its own button.
    wnd->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == "click") root->Remove(msg.pSender);
    };
    wnd->ClickControl("cancel");
    EXPECT_EQ(pm.FindControl("cancel"), nullptr);
    wnd->Move(20, 20);
    wnd->Key(VK_RETURN);

    // A timer of a removed control never fires.
    pm.SetTimer(wnd->Find("edit"), 5, 10);
    root->RemoveAll();
    platform_->AdvanceClock(50);
    CPaintManagerUI::PumpMessages();
}

}  // namespace
}  // namespace q208::test
