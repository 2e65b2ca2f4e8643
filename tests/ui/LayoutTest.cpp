#include "UiTestSupport.h"
#include "ui/CHorizontalLayoutUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CVerticalLayoutUI.h"

namespace q208::test {
namespace {

class LayoutTest : public UiTest {};

TEST_F(LayoutTest, HorizontalSharesTheRestAmongStretchChildrenLastTakesRemainder) {
    auto wnd = Open(R"(<Window size="301,100"><HorizontalLayout name="root">
        <Control name="fixed" width="100"/>
        <Control name="a"/><Control name="b"/></HorizontalLayout></Window>)");
    EXPECT_EQ(wnd->Find("fixed")->GetPos(), (UiRect{0, 0, 100, 100}));
    EXPECT_EQ(wnd->Find("a")->GetPos(), (UiRect{100, 0, 200, 100}));
    EXPECT_EQ(wnd->Find("b")->GetPos(), (UiRect{200, 0, 301, 100}));  // takes the odd pixel
}

TEST_F(LayoutTest, InsetChildPaddingAndPaddingAlongAndAcross) {
    auto wnd = Open(R"(<Window size="200,100"><VerticalLayout inset="10,5,10,5" childpadding="4">
        <Control name="a" height="20" padding="3,2,0,1"/>
        <Control name="b"/>
        <Control name="c" height="10" width="50"/></VerticalLayout></Window>)");
    // a: fixed height, full width minus its horizontal padding
    EXPECT_EQ(wnd->Find("a")->GetPos(), (UiRect{13, 7, 190, 27}));
    // c at the bottom: 95 - 10
    EXPECT_EQ(wnd->Find("c")->GetPos(), (UiRect{10, 85, 60, 95}));
    // b stretches between: after a (27 + 1 padding + 4 gap) up to c (85 - 4 gap)
    EXPECT_EQ(wnd->Find("b")->GetPos(), (UiRect{10, 32, 190, 81}));
}

TEST_F(LayoutTest, MinAndMaxBoundStretchChildren) {
    auto wnd = Open(R"(<Window size="300,50"><HorizontalLayout>
        <Control name="a" maxwidth="50"/><Control name="b" minwidth="200"/></HorizontalLayout></Window>)");
    EXPECT_EQ(wnd->Find("a")->GetWidth(), 50);
    EXPECT_GE(wnd->Find("b")->GetWidth(), 200);
}

TEST_F(LayoutTest, ChildAlignCentresFixedChildren) {
    auto wnd = Open(R"(<Window size="200,100"><HorizontalLayout childalign="center" childvalign="vcenter">
        <Control name="a" width="40" height="20"/><Control name="b" width="60" height="10"/></HorizontalLayout></Window>)");
    EXPECT_EQ(wnd->Find("a")->GetPos(), (UiRect{50, 40, 90, 60}));
    EXPECT_EQ(wnd->Find("b")->GetPos(), (UiRect{90, 45, 150, 55}));
}

TEST_F(LayoutTest, FloatChildrenArePlacedByPosFromTheParentOrigin) {
    auto wnd = Open(R"(<Window size="200,100"><VerticalLayout><HorizontalLayout name="row" padding="0,20,0,0" height="50">
        <Control name="flow"/>
        <Control name="float" float="true" pos="5,6,35,16"/>
        <Control name="right" float="true" pos="-30,0,-10,10"/></HorizontalLayout></VerticalLayout></Window>)");
    EXPECT_EQ(wnd->Find("row")->GetPos(), (UiRect{0, 20, 200, 70}));
    EXPECT_EQ(wnd->Find("flow")->GetPos(), (UiRect{0, 20, 200, 70}));  // floats take no room
    EXPECT_EQ(wnd->Find("float")->GetPos(), (UiRect{5, 26, 35, 36}));
    EXPECT_EQ(wnd->Find("right")->GetPos(), (UiRect{170, 20, 190, 30}));
}

TEST_F(LayoutTest, TabLayoutShowsOnlyItsPageAndKeepsTheOthersBuilt) {
    auto wnd = Open(R"(<Window size="100,100"><TabLayout name="tabs" selectedid="1" inset="2,2,2,2">
        <Label name="p0" text="zero"/><Label name="p1" text="one"/><Label name="p2"/></TabLayout></Window>)");
    auto* tabs = wnd->Find<CTabLayoutUI>("tabs");
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_FALSE(wnd->Find("p0")->IsVisible());
    EXPECT_TRUE(wnd->Find("p1")->IsVisible());
    EXPECT_EQ(wnd->Find("p1")->GetPos(), (UiRect{2, 2, 98, 98}));

    CControlUI* page0 = wnd->Find("p0");
    EXPECT_TRUE(tabs->SelectItem(0));
    EXPECT_FALSE(tabs->SelectItem(7));
    wnd->GetPaintManager().DoLayout();
    EXPECT_EQ(wnd->Find("p0"), page0);  // the same object, not rebuilt
    EXPECT_TRUE(page0->IsVisible());
    EXPECT_FALSE(wnd->Find("p1")->IsVisible());
    EXPECT_EQ(page0->GetPos(), (UiRect{2, 2, 98, 98}));

    CRecordingRenderTarget rt;
    wnd->Surface().PaintInto(rt);
    EXPECT_NE(rt.FindText("zero"), nullptr);
    EXPECT_EQ(rt.FindText("one"), nullptr);
}

TEST_F(LayoutTest, HiddenChildrenTakeNoRoomAndShowingThemRelaysOut) {
    auto wnd = Open(R"(<Window size="100,100"><VerticalLayout>
        <Control name="a" height="30" visible="false"/><Control name="b" height="30"/></VerticalLayout></Window>)");
    EXPECT_EQ(wnd->Find("b")->GetPos().top, 0);
    wnd->Find("a")->SetVisible(true);
    wnd->GetPaintManager().DoLayout();
    EXPECT_EQ(wnd->Find("b")->GetPos().top, 30);
}

TEST_F(LayoutTest, DpiScalesFixedSizesPaddingAndFonts) {
    auto wnd = Open(R"(<Window size="400,200"><Font id="1" name="Sans" size="10"/><HorizontalLayout inset="10,0,0,0">
        <Label name="a" width="100" font="1"/><Control name="b"/></HorizontalLayout></Window>)");
    auto& pm = wnd->GetPaintManager();
    pm.SetDPI(144);
    pm.DoLayout();
    EXPECT_EQ(wnd->Find("a")->GetPos(), (UiRect{15, 0, 165, 200}));
    EXPECT_EQ(pm.GetFont(1).size, 15);
    CPaintManagerUI::SetAllDPI(96);
    pm.DoLayout();
    EXPECT_EQ(wnd->Find("a")->GetPos(), (UiRect{10, 0, 110, 200}));
}

TEST_F(LayoutTest, VerticalScrollBarAppearsForTallContentAndScrollsChildren) {
    auto wnd = Open(R"(<Window size="100,100"><VerticalLayout name="list" vscrollbar="true">
        <Control name="a" height="80"/><Control name="b" height="80"/></VerticalLayout></Window>)");
    auto* list = wnd->Find<CVerticalLayoutUI>("list");
    EXPECT_EQ(list->GetScrollRange().cy, 60);
    EXPECT_LT(wnd->Find("a")->GetPos().right, 100);  // the bar takes its width
    list->SetScrollPos({0, 50});
    wnd->GetPaintManager().DoLayout();
    EXPECT_EQ(wnd->Find("b")->GetPos().top, 30);
    list->SetScrollPos({0, 500});
    EXPECT_EQ(list->GetScrollPos().cy, 60);
}

}  // namespace
}  // namespace q208::test
