// The controls the editors are built from: colour palette, tile layout, sliders with ticks
// and a value, the busy ring, and lists with a header, cells and rows that move.
#include "UiTestSupport.h"
#include "ui/CColorPaletteUI.h"
#include "ui/CEditUI.h"
#include "ui/CListContainerElementUI.h"
#include "ui/CListUI.h"
#include "ui/CRingUI.h"
#include "ui/CSliderUI.h"
#include "ui/CTileLayoutUI.h"

namespace q208::test {
namespace {

using Events = std::vector<std::string>;

class EditorControlsTest : public UiTest {};

TEST_F(EditorControlsTest, ThePalettePicksHueAndSaturationInTheAreaAndBrightnessOnTheBar) {
    auto wnd = Open(R"(<Window size="181,100"><VerticalLayout>
        <ColorPalette name="deng_Color_Pallet" barheight="14"/></VerticalLayout></Window>)");
    auto* palette = wnd->Find<CColorPaletteUI>("deng_Color_Pallet");
    std::vector<ARGB> colours;
    wnd->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == "colorchanged") colours.push_back(static_cast<ARGB>(msg.wParam));
    };
    EXPECT_EQ(palette->AreaRect(), (UiRect{0, 0, 181, 80}));
    wnd->Press(90, 0);  // half way: hue 180, full saturation
    EXPECT_EQ(palette->GetSelectColor(), 0xFF00FFFFu);
    wnd->Move(0, 79, MK_LBUTTON);  // bottom left: no saturation left
    wnd->Move(0, 200, MK_LBUTTON);  // beyond the area: held at its edge, no change
    wnd->Release(0, 200);
    EXPECT_EQ(colours, (std::vector<ARGB>{0xFF00FFFF, 0xFFFFFFFF, 0xFFFFFFFF})) << "each change, then the release";
    EXPECT_FALSE(palette->IsDragging());

    palette->SetSelectColor(0x00336699);
    EXPECT_EQ(palette->GetSelectColor(), 0xFF336699u) << "a colour given is kept exactly, opaque";
    colours.clear();
    wnd->Click(0, 93);  // the left end of the brightness bar
    EXPECT_EQ(palette->GetSelectColor(), 0xFF000000u);
    palette->SetSelectColor(0xFF000000);
    wnd->Click(180, 93);  // black kept the hue and saturation: full brightness brings them back
    double h = 0, s = 0, v = 0;
    ArgbToHsv(palette->GetSelectColor(), h, s, v);
    EXPECT_NEAR(h, 210, 1);
    EXPECT_NEAR(s, 0.667, 0.01);
    EXPECT_NEAR(v, 1.0, 0.01);

    palette->SetFocus();
    colours.clear();
    wnd->Key(VK_RIGHT);
    wnd->Key(VK_NEXT);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_NE(colours[0], colours[1]);
}

TEST_F(EditorControlsTest, ATileLayoutFillsRowsOfColumnsAndScrollsTheRest) {
    auto wnd = Open(R"(<Window size="100,50"><VerticalLayout>
        <TileLayout name="tiles" columns="3" childpadding="5" vscrollbar="true">
          <Button name="t0"/><Button name="t1"/><Button name="t2"/><Button name="t3" height="10"/><Button name="t4"/>
        </TileLayout></VerticalLayout></Window>)");
    auto* tiles = wnd->Find<CTileLayoutUI>("tiles");
    EXPECT_EQ(tiles->GetLaidOutColumns(), 3);
    // Square cells 30 wide; two rows of 30 and a gap are more than 50: a bar appears and
    // the cells get narrower.
    const UiRect t0 = wnd->Find("t0")->GetPos();
    EXPECT_EQ(t0.left, 0);
    EXPECT_LT(t0.Width(), 30);
    EXPECT_EQ(t0.Height(), t0.Width());
    EXPECT_EQ(wnd->Find("t1")->GetPos().left, t0.Width() + 5);
    EXPECT_EQ(wnd->Find("t3")->GetPos().top, t0.Height() + 5) << "the fourth starts the second row";
    EXPECT_GT(tiles->GetScrollRange().cy, 0);

    tiles->SetColumns(0);
    tiles->SetItemSize({20, 12});
    wnd->GetPaintManager().DoLayout();
    EXPECT_EQ(tiles->GetLaidOutColumns(), 4) << "as many 20-wide cells as fit with their gaps";
    EXPECT_EQ(wnd->Find("t4")->GetPos(), (UiRect{0, 17, 20, 29}));
}

TEST_F(EditorControlsTest, AVerticalSliderWithTicksAndItsValueAbove) {
    auto wnd = Open(R"(<Window size="40,150"><VerticalLayout>
        <Slider name="2907_eq_hz_slider_0" hor="false" min="-12" max="12" value="0" ticks="4" showvalue="true"
                valuesize="30" thumbsize="20,10" bkcolor="#FF333333"/></VerticalLayout></Window>)");
    auto* slider = wnd->Find<CSliderUI>("2907_eq_hz_slider_0");
    EXPECT_EQ(slider->ValueRect(), (UiRect{0, 0, 40, 30}));
    EXPECT_EQ(slider->GetThumbRect(), (UiRect{10, 85, 30, 95})) << "the middle of the bar below the value";
    wnd->Take();
    wnd->Press(20, 145);  // the bottom is the minimum
    wnd->Release(20, 145);
    EXPECT_EQ(slider->GetValue(), -12);
    wnd->Press(20, 10);  // on the value band: nothing
    wnd->Release(20, 10);
    EXPECT_EQ(slider->GetValue(), -12);
    wnd->Key(VK_END);
    EXPECT_EQ(slider->GetValue(), 12);
    wnd->Key(VK_DOWN);
    EXPECT_EQ(slider->GetValue(), 11);
    EXPECT_EQ(wnd->Take(), (Events{"setfocus:2907_eq_hz_slider_0", "movevaluechanged:2907_eq_hz_slider_0",
                                   "valuechanged:2907_eq_hz_slider_0", "valuechanged:2907_eq_hz_slider_0",
                                   "valuechanged:2907_eq_hz_slider_0"}));
    CRecordingRenderTarget rt;
    wnd->Surface().PaintInto(rt);
    EXPECT_NE(rt.FindText("11"), nullptr);
    size_t marks = 0;
    for (const auto& call : rt.Calls()) {
        if (call.kind == CRecordingRenderTarget::Kind::FillRect && call.rect.Height() == 1 && call.rect.Width() == 4) ++marks;
    }
    EXPECT_EQ(marks, 10u) << "five marks on either side";
}

TEST_F(EditorControlsTest, TheBusyRingTurnsOnlyWhileItIsShown) {
    auto wnd = Open(R"(<Window size="60,60"><VerticalLayout>
        <Ring name="update_status_ring" dots="8" interval="50"/></VerticalLayout></Window>)");
    auto* ring = wnd->Find<CRingUI>("update_status_ring");
    CRecordingRenderTarget rt;
    wnd->Surface().PaintInto(rt);
    EXPECT_EQ(rt.Count(CRecordingRenderTarget::Kind::FillRoundRect), 8u);
    EXPECT_TRUE(ring->IsSpinning());
    wnd->Take();
    platform_->AdvanceClock(50);
    CPaintManagerUI::PumpMessages();
    platform_->AdvanceClock(50);
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(ring->GetPhase(), 2);
    EXPECT_TRUE(wnd->Take().empty()) << "its own timer is no notification";
    ring->SetVisible(false);
    platform_->AdvanceClock(50);
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(ring->IsSpinning());
    EXPECT_FALSE(wnd->GetPaintManager().HasTimer(ring, CRingUI::kSpinTimer)) << "a hidden ring costs nothing";
}

const char* const kEventList = R"(<Window size="200,100"><VerticalLayout>
    <List name="macro_action_list" itemheight="20">
      <ListHeader height="20"><ListHeaderItem name="h_name" width="90" text="Key"/>
        <ListHeaderItem name="h_action" width="50"/><ListHeaderItem name="h_delay"/></ListHeader>
    </List></VerticalLayout></Window>)";

std::unique_ptr<CListContainerElementUI> Row(const std::string& key) {
    auto row = std::make_unique<CListContainerElementUI>();
    row->SetName("row_" + key);
    row->SetUserData(key);
    auto name = std::make_unique<CLabelUI>();
    name->SetText(key);
    row->Add(std::move(name));
    row->Add(std::make_unique<CLabelUI>());
    auto delay = std::make_unique<CEditUI>();
    delay->SetName("delay_" + key);
    delay->SetNumberOnly(true);
    row->Add(std::move(delay));
    return row;
}

TEST_F(EditorControlsTest, AListWithAHeaderLaysCellsUnderItsColumnsAndSelectsByKeysAndCells) {
    auto wnd = Open(kEventList);
    auto* list = wnd->Find<CListUI>("macro_action_list");
    ASSERT_NE(list->GetHeader(), nullptr);
    EXPECT_EQ(list->GetCount(), 0) << "the header is no row";
    EXPECT_NE(wnd->Find("h_delay"), nullptr);
    for (const char* key : {"a", "b", "c", "d", "e", "f"}) list->Add(Row(key));
    wnd->GetPaintManager().DoLayout();
    auto* first = static_cast<CContainerUI*>(list->GetItemAt(0));
    EXPECT_EQ(first->GetPos().top, 20) << "rows start under the header";
    const int barLeft = list->GetColumns().back().second;
    EXPECT_EQ(first->GetItemAt(0)->GetPos().right, 90);
    EXPECT_EQ(first->GetItemAt(1)->GetPos().left, 90);
    EXPECT_EQ(first->GetItemAt(2)->GetPos(), (UiRect{140, 20, barLeft, 40}));

    wnd->Take();
    wnd->ClickControl("h_action");
    const Events clicked = wnd->Take();
    EXPECT_NE(std::find(clicked.begin(), clicked.end(), "headerclick:"), clicked.end());
    // Clicking into a row's delay cell selects the row.
    wnd->ClickControl("delay_c");
    EXPECT_EQ(list->GetCurSel(), 2);
    list->SetFocus();
    wnd->Key(VK_NEXT);  // four rows show under the header
    EXPECT_EQ(list->GetCurSel(), 5);
    wnd->Key(VK_HOME);
    EXPECT_EQ(list->GetCurSel(), 0);
    wnd->Key(VK_END);
    wnd->GetPaintManager().DoLayout();
    const UiRect last = list->GetItemAt(5)->GetPos();
    EXPECT_GE(last.top, 20);
    EXPECT_LE(last.bottom, 100) << "the selected row is scrolled into view";
}

TEST_F(EditorControlsTest, MovingRowsKeepsTheSelectionOnItsRow) {
    auto wnd = Open(kEventList);
    auto* list = wnd->Find<CListUI>("macro_action_list");
    for (const char* key : {"a", "b", "c", "d"}) list->Add(Row(key));
    list->SelectItem(1, false, false);
    ASSERT_TRUE(list->MoveItem(1, 2));  // move down
    EXPECT_EQ(list->GetItemAt(2)->GetUserData(), "b");
    EXPECT_EQ(list->GetCurSel(), 2);
    ASSERT_TRUE(list->MoveItem(0, 3));  // another row moves past the selected one
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(list->GetItemAt(1)->GetUserData(), "b");
    ASSERT_TRUE(list->MoveItem(1, 3));  // to the end
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_FALSE(list->MoveItem(3, 4));
    std::string order;
    for (int i = 0; i < list->GetCount(); ++i) order += list->GetItemAt(i)->GetUserData();
    EXPECT_EQ(order, "cdab");
    EXPECT_EQ(static_cast<CListContainerElementUI*>(list->GetItemAt(3)->GetInterface("ListContainerElement"))->GetIndex(), 3);
}

}  // namespace
}  // namespace q208::test
