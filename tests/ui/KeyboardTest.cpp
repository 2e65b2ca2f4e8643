// The window is usable from the keyboard: Tab and Shift+Tab walk the tab stops, Space and
// Enter press what has the focus, and a combo's drop-down list is driven by keys.
#include "UiTestSupport.h"
#include "ui/CComboUI.h"
#include "ui/CComboWnd.h"
#include "ui/CListLabelElementUI.h"
#include "ui/COptionUI.h"
#include "ui/UiMessaging.h"

namespace q208::test {
namespace {

using Events = std::vector<std::string>;

const char* const kForm = R"(<Window size="300,200"><VerticalLayout>
    <Label name="title" height="20"/>
    <Button name="b1" height="20"/>
    <Button name="hidden" height="20" visible="false"/>
    <Button name="off" height="20" enabled="false"/>
    <HorizontalLayout height="20" enabled="false"><Button name="inside_off"/></HorizontalLayout>
    <Option name="o1" height="20" group="g"/>
    <Edit name="e1" height="20"/>
    <Button name="skipped" height="20" tabstop="false"/>
    <Combo name="c1" height="20"><ListLabelElement text="x"/></Combo>
    <Slider name="s1" height="20"/>
  </VerticalLayout></Window>)";

class KeyboardTest : public UiTest {
protected:
    static void Tab(TestWindow& wnd, bool shift = false) {
        wnd.OnKey({KeyAction::Down, VK_TAB, "", shift ? kModShift : 0u, 0, false});
    }
    static std::string Focused(TestWindow& wnd) {
        CControlUI* focus = wnd.GetPaintManager().GetFocus();
        return focus ? focus->GetName() : "none";
    }
};

TEST_F(KeyboardTest, TabWalksTheShownEnabledStopsInTreeOrderAndWraps) {
    auto wnd = Open(kForm);
    Events order;
    for (int i = 0; i < 6; ++i) {
        Tab(*wnd);
        order.push_back(Focused(*wnd));
    }
    EXPECT_EQ(order, (Events{"b1", "o1", "e1", "c1", "s1", "b1"}));
    EXPECT_TRUE(wnd->GetPaintManager().IsFocusFrameShown());
    Tab(*wnd, true);
    EXPECT_EQ(Focused(*wnd), "s1");
    Tab(*wnd, true);
    EXPECT_EQ(Focused(*wnd), "c1");
    // The pointer puts the frame away.
    wnd->ClickControl("b1");
    EXPECT_FALSE(wnd->GetPaintManager().IsFocusFrameShown());
}

TEST_F(KeyboardTest, AFieldThatWantsTabKeepsItAndTheFrameIsPainted) {
    auto wnd = Open(R"(<Window size="200,60"><VerticalLayout>
        <Edit name="capture" height="20" wanttab="true"/><Button name="next" height="20"/></VerticalLayout></Window>)");
    wnd->Find("capture")->SetFocus();
    Tab(*wnd);
    EXPECT_EQ(Focused(*wnd), "capture");
    wnd->Find("next")->SetFocus();
    Tab(*wnd);
    EXPECT_EQ(Focused(*wnd), "capture");
    CRecordingRenderTarget rt;
    wnd->Surface().PaintInto(rt);
    const auto& calls = rt.Calls();
    const bool framed = std::any_of(calls.begin(), calls.end(), [](const CRecordingRenderTarget::Call& c) {
        return c.kind == CRecordingRenderTarget::Kind::Border && c.rect == UiRect{-1, -1, 201, 21};
    });
    EXPECT_TRUE(framed) << "a frame around the focused field";
}

TEST_F(KeyboardTest, SpaceAndEnterPressTheFocusedButtonAndOption) {
    auto wnd = Open(kForm);
    Tab(*wnd);
    wnd->Take();
    wnd->Key(VK_SPACE);
    wnd->Key(VK_RETURN);
    EXPECT_EQ(wnd->Take(), (Events{"click:b1", "click:b1"}));
    Tab(*wnd);
    wnd->Take();
    wnd->Key(VK_SPACE);
    EXPECT_EQ(wnd->Take(), (Events{"click:o1", "selectchanged:o1"}));
    EXPECT_TRUE(wnd->Find<COptionUI>("o1")->IsSelected());
}

const char* const kCombo = R"(<Window size="200,100"><VerticalLayout><Combo name="c" height="20" itemheight="20">
    <ListLabelElement text="one"/><ListLabelElement text="two" enabled="false"/><ListLabelElement text="three"/>
    <ListLabelElement text="four" visible="false"/><ListLabelElement text="five"/>
    </Combo><Control/></VerticalLayout></Window>)";

TEST_F(KeyboardTest, TheDropDownListIsDrivenByKeysAndSkipsWhatCannotBeChosen) {
    auto wnd = Open(kCombo);
    auto* combo = wnd->Find<CComboUI>("c");
    combo->SelectItem(0, false, false);
    combo->SetFocus();
    wnd->Take();
    wnd->Key(VK_RETURN);
    CComboWnd* drop = combo->GetDropWindow();
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(CComboWnd::Current(), drop);
    EXPECT_EQ(drop->GetHotItem(), 0) << "the list opens on the selected item";
    auto& sink = static_cast<CHeadlessSurface*>(drop->GetSurface())->Sink();
    auto key = [&](UINT vk) { sink.OnKey({KeyAction::Down, vk, "", 0, 0, false}); };
    key(VK_DOWN);
    EXPECT_EQ(drop->GetHotItem(), 2) << "the disabled row is passed over";
    key(VK_DOWN);
    EXPECT_EQ(drop->GetHotItem(), 4) << "so is the hidden one";
    key(VK_DOWN);
    EXPECT_EQ(drop->GetHotItem(), 4);
    key(VK_HOME);
    EXPECT_EQ(drop->GetHotItem(), 0);
    key(VK_END);
    EXPECT_EQ(drop->GetHotItem(), 4);
    key(VK_UP);
    EXPECT_EQ(drop->GetHotItem(), 2);
    EXPECT_EQ(wnd->Take(), (Events{"dropdown:c"})) << "moving the highlight chooses nothing";
    key(VK_RETURN);
    EXPECT_FALSE(combo->IsDropped());
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(wnd->Take(), (Events{"itemselect:c"}));
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(CComboWnd::Current(), nullptr);

    wnd->Key(VK_SPACE);
    drop = combo->GetDropWindow();
    ASSERT_NE(drop, nullptr);
    static_cast<CHeadlessSurface*>(drop->GetSurface())->Sink().OnKey({KeyAction::Down, VK_DOWN, "", 0, 0, false});
    static_cast<CHeadlessSurface*>(drop->GetSurface())->Sink().OnKey({KeyAction::Down, VK_ESCAPE, "", 0, 0, false});
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(combo->IsDropped());
    EXPECT_EQ(combo->GetCurSel(), 2) << "Escape chooses nothing";
    EXPECT_EQ(wnd->Take(), (Events{"dropdown:c"}));
}

TEST_F(KeyboardTest, AListNearTheScreenBottomOpensAboveTheComboAndLosingFocusClosesIt) {
    platform_->SetWorkArea({0, 0, 800, 600});
    auto wnd = Open(kCombo);
    wnd->SetWindowPos({100, 540, 300, 640});
    wnd->GetPaintManager().DoLayout();
    auto* combo = wnd->Find<CComboUI>("c");
    combo->ShowDropDown();
    CComboWnd* drop = combo->GetDropWindow();
    ASSERT_NE(drop, nullptr);
    // Four rows of 20 and the border do not fit below 560: the list hangs above the combo.
    EXPECT_EQ(drop->GetWindowRect(), (UiRect{100, 458, 300, 540}));
    drop->OnFocusChanged(false);
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(combo->IsDropped());
}

TEST_F(KeyboardTest, ItemsChangingOrTheComboGoingAwayWhileTheListIsOpenAreSafe) {
    auto wnd = Open(kCombo);
    auto* combo = wnd->Find<CComboUI>("c");
    combo->ShowDropDown();
    ASSERT_TRUE(combo->IsDropped());
    auto item = std::make_unique<CListLabelElementUI>();
    item->SetText("six");
    combo->Add(std::move(item));
    EXPECT_EQ(combo->GetItemAt(5)->GetManager(), &combo->GetDropWindow()->GetPaintManager());
    combo->RemoveAll();
    EXPECT_FALSE(combo->IsDropped());
    CPaintManagerUI::PumpMessages();

    combo->Add(std::make_unique<CListLabelElementUI>());
    combo->ShowDropDown();
    const HWND drop = combo->GetDropWindow()->GetHWND();
    auto* layout = static_cast<CContainerUI*>(combo->GetParent());
    layout->Remove(combo);  // the combo and its items go while the list shows them
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(IsWindow(drop));
}

}  // namespace
}  // namespace q208::test
