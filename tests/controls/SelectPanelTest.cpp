#include <gtest/gtest.h>

#include "../ui/UiTestSupport.h"
#include "controls/CDeviceKeyButtonUI.h"
#include "controls/CSelectPanelUI.h"
#include "controls/RegisterControls.h"
#include "ui/CPaintManagerUI.h"

namespace q208::test {
namespace {

// A 300 × 200 panel with three key buttons in a row (client coordinates):
// key_0 10..40, key_1 50..80, light_0 90..120, all from y 10 to 40; a label at 200..230.
constexpr const char* kPage = R"(<Window size="300,200"><SelectPanel name="device_key_light">
    <DeviceKeyButton name="key_0" float="true" pos="10,10,40,40"/>
    <DeviceKeyButton name="key_1" float="true" pos="50,10,80,40"/>
    <DeviceKeyButton name="light_0" float="true" pos="90,10,120,40"/>
    <Label name="note" float="true" pos="200,10,230,40"/>
    </SelectPanel></Window>)";

class SelectPanelTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        RegisterControls();
        wnd_ = Open(kPage);
        panel_ = wnd_->Find<CSelectPanelUI>("device_key_light");
        ASSERT_NE(panel_, nullptr);
        ASSERT_EQ(panel_->GetClass(), "SelectPanel");
    }
    CDeviceKeyButtonUI* Key(const char* name) { return wnd_->Find<CDeviceKeyButtonUI>(name); }
    std::vector<bool> Selection() {
        return {Key("key_0")->IsSelected(), Key("key_1")->IsSelected(), Key("light_0")->IsSelected()};
    }
    void Drag(int x0, int y0, int x1, int y1) {
        wnd_->Move(x0, y0);
        wnd_->Press(x0, y0);
        wnd_->Move(x1, y1, MK_LBUTTON);
        wnd_->Release(x1, y1);
    }
    int SelectEnds() {
        int n = 0;
        for (const auto& e : wnd_->Take()) n += e == "click_select_end:device_key_light";
        return n;
    }

    std::unique_ptr<TestWindow> wnd_;
    CSelectPanelUI* panel_ = nullptr;
};

TEST_F(SelectPanelTest, PressAndReleaseWithoutMoveChangesNothing) {
    Key("key_1")->SetSelected(true);
    wnd_->Take();
    wnd_->Press(150, 100);
    wnd_->Release(150, 100);
    EXPECT_EQ(Selection(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(SelectEnds(), 0);
}

TEST_F(SelectPanelTest, DragSelectsTouchedButtonsAndReplacesTheSelection) {
    Drag(5, 5, 60, 60);
    EXPECT_EQ(Selection(), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(SelectEnds(), 1);
    EXPECT_EQ(panel_->GetSelectionRect(), (UiRect{5, 5, 60, 60}));
    EXPECT_FALSE(panel_->IsDragging());

    Drag(85, 50, 100, 20);  // bottom-left to top-right: only light_0
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(panel_->GetSelectionRect(), (UiRect{85, 20, 100, 50}));
    EXPECT_EQ(SelectEnds(), 1);
}

TEST_F(SelectPanelTest, ReversedDragGivesTheSameRectangle) {
    Drag(130, 60, 45, 5);
    const UiRect reversed = panel_->GetSelectionRect();
    const auto reversedSelection = Selection();
    Drag(45, 5, 130, 60);
    EXPECT_EQ(panel_->GetSelectionRect(), reversed);
    EXPECT_EQ(Selection(), reversedSelection);
    EXPECT_EQ(Selection(), (std::vector<bool>{false, true, true}));
}

TEST_F(SelectPanelTest, LineDragAndEdgeContactSelectNothing) {
    Drag(5, 5, 130, 60);
    ASSERT_EQ(Selection(), (std::vector<bool>{true, true, true}));

    Drag(25, 5, 25, 60);  // zero width, across key_0
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(SelectEnds(), 2);

    Drag(5, 25, 130, 25);  // zero height
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false}));

    Drag(40, 45, 50, 60);  // touches key_0's right edge and key_1's left edge... below them
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false}));
    Drag(41, 5, 49, 60);   // between key_0 and key_1
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false}));
    Drag(80, 5, 90, 60);   // exactly from key_1's right edge to light_0's left edge
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false}));
}

TEST_F(SelectPanelTest, DisabledPanelDoesNotStartADrag) {
    panel_->SetEnabled(false);
    Drag(5, 5, 130, 60);
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(SelectEnds(), 0);
}

TEST_F(SelectPanelTest, DoubleClickInsideSendsDbclick) {
    CDeviceKeyButtonUI* key = Key("key_0");
    LRESULT result = 0;
    wnd_->Take();
    wnd_->GetPaintManager().MessageHandler(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(20, 20), result);
    wnd_->Release(20, 20);
    const auto events = wnd_->Take();
    EXPECT_NE(std::find(events.begin(), events.end(), "dbclick:key_0"), events.end());
    key->SetEnabled(false);
    wnd_->GetPaintManager().MessageHandler(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(20, 20), result);
    wnd_->Release(20, 20);
    const auto disabled = wnd_->Take();
    EXPECT_EQ(std::find(disabled.begin(), disabled.end(), "dbclick:key_0"), disabled.end());
}

// ---- key button: fields, attributes, painting ----

TEST_F(SelectPanelTest, KeyButtonStartsWithItsDefaultsAndTakesItsAttributes) {
    CDeviceKeyButtonUI button;
    EXPECT_TRUE(button.IsKeySetImageHidden());
    EXPECT_FALSE(button.IsLightOn());
    EXPECT_EQ(button.GetLightColour(), 255u);
    EXPECT_EQ(button.GetLightIntensity(), 200);
    EXPECT_FALSE(button.IsSelected());
    EXPECT_EQ(button.SetAttribute("LightImage", "file='key/light.png'"), AttrResult::Applied);
    EXPECT_EQ(button.GetLightImage(), "file='key/light.png'");
    EXPECT_EQ(button.SetAttribute("keysetimage", "file='key/set.png'"), AttrResult::Applied);
    EXPECT_EQ(button.SetAttribute("gmnametextcolor", "#FF00FF00"), AttrResult::Applied);
    EXPECT_EQ(button.SetAttribute("text", "Esc"), AttrResult::Applied);
    EXPECT_EQ(button.GetText(), "Esc");
}

TEST_F(SelectPanelTest, KeyButtonPaintsTintedLightThenMarker) {
    CDeviceKeyButtonUI* key = Key("key_0");
    ASSERT_EQ(key->SetAttribute("normalimage", "file='key/normal.png'"), AttrResult::Applied);
    ASSERT_EQ(key->SetAttribute("lightimage", "file='key/light.png'"), AttrResult::Applied);
    ASSERT_EQ(key->SetAttribute("keysetimage", "file='key/set.png'"), AttrResult::Applied);

    auto paint = [&] {
        CRecordingRenderTarget target;
        key->PaintStatusImage(target);
        std::vector<ImageDraw> draws;
        for (const auto& call : target.Calls()) {
            if (call.kind == CRecordingRenderTarget::Kind::Image) draws.push_back(call.image);
        }
        return draws;
    };
    auto draws = paint();  // light off, marker hidden: the button's own image only
    ASSERT_EQ(draws.size(), 1u);

    key->SetKeyLight(0x123456, 180, true);
    key->SetKeySetImageHidden(false);
    draws = paint();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_NE(draws[0].file.find("normal.png"), std::string::npos);
    EXPECT_NE(draws[1].file.find("light.png"), std::string::npos);
    EXPECT_EQ(draws[1].tint, 0xFF123456u);
    EXPECT_EQ(draws[1].tintIntensity, 180);
    EXPECT_NE(draws[2].file.find("set.png"), std::string::npos);
    EXPECT_EQ(draws[2].tint, 0u);
}

// The device pushes the same colours every few milliseconds: only a real change repaints,
// and then only the button itself; a button on a hidden page repaints nothing.
TEST_F(SelectPanelTest, AKeyLightRepaintsItsOwnButtonOnlyWhenItChanges) {
    CDeviceKeyButtonUI* light = Key("light_0");
    light->SetKeyLight(0x00FF00, 255, true);
    wnd_->Surface().ClearDirty();
    light->SetKeyLight(0x00FF00, 255, true);
    EXPECT_TRUE(wnd_->Surface().Dirty().IsEmpty());

    light->SetKeyLight(0x00FF00, 254, true);
    EXPECT_EQ(wnd_->Surface().Dirty(), (UiRect{90, 10, 120, 40}));

    panel_->SetVisible(false);
    wnd_->Surface().ClearDirty();
    light->SetKeyLight(0xFF0000, 255, true);
    EXPECT_TRUE(wnd_->Surface().Dirty().IsEmpty());
    EXPECT_EQ(light->GetLightColour(), 0xFF0000u);
}

}  // namespace
}  // namespace q208::test
