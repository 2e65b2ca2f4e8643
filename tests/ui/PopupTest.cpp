// Pop-ups let go: a press outside, Escape and a lost focus close them; windows hear their
// activation and hover as messages.
#include "UiTestSupport.h"
#include "ui/PopupPlacement.h"
#include "ui/UiMessaging.h"

namespace q208::test {
namespace {

const char* const kPopupLayout = R"(<Window size="120,80"><VerticalLayout>
    <Button name="inside" height="40"/><Control/></VerticalLayout></Window>)";

class PopupWindow : public TestWindow {
public:
    using TestWindow::TestWindow;
    std::vector<std::pair<UINT, WPARAM>> notices;

    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (msg == WM_ACTIVATE || msg == WM_MOUSEHOVER || msg == WM_MOUSELEAVE || msg == WM_DISPLAYCHANGE ||
            msg == WM_DPICHANGED) {
            notices.emplace_back(msg, wParam);
        }
        return TestWindow::HandleCustomMessage(msg, wParam, lParam, handled);
    }

protected:
    bool IsPopupWindow() const override { return popup_; }

public:
    bool popup_ = true;
};

class PopupTest : public UiTest {
protected:
    std::unique_ptr<PopupWindow> OpenPopup(bool popup = true) {
        auto wnd = std::make_unique<PopupWindow>(kPopupLayout);
        wnd->popup_ = popup;
        EXPECT_NE(wnd->Create(0, "popup"), 0u);
        wnd->ShowWindow(true, true);
        CPaintManagerUI::PumpMessages();
        wnd->GetPaintManager().DoLayout();
        return wnd;
    }
};

TEST_F(PopupTest, PressOutsideEscapeAndLostFocusCloseIt) {
    auto popup = OpenPopup();
    popup->Click(60, 20);  // inside: a click like any other
    CPaintManagerUI::PumpMessages();
    ASSERT_TRUE(IsWindow(popup->GetHWND()));
    EXPECT_EQ(popup->Take().back(), "click:inside");

    popup->Press(-5, 30);
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(IsWindow(popup->GetHWND()));
    EXPECT_TRUE(popup->Take().empty()) << "the press outside is no click of its own";

    popup = OpenPopup();
    popup->OnKey({KeyAction::Down, VK_ESCAPE, "", 0, 0, false});
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(IsWindow(popup->GetHWND()));

    popup = OpenPopup();
    popup->OnFocusChanged(false);
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(IsWindow(popup->GetHWND()));
}

TEST_F(PopupTest, AnOrdinaryWindowStaysAndHearsActivationHoverAndScreens) {
    auto wnd = OpenPopup(false);
    wnd->Press(500, 500);
    wnd->OnKey({KeyAction::Down, VK_ESCAPE, "", 0, 0, false});
    wnd->OnFocusChanged(true);
    wnd->OnFocusChanged(false);
    wnd->OnPointer({PointerAction::Enter, PointerButton::None, {3, 3}, 0, 0});
    wnd->OnPointer({PointerAction::Leave, PointerButton::None, {}, 0, 0});
    wnd->OnDisplayChanged();
    wnd->OnDpiChanged(144, {0, 0, 180, 120});
    CPaintManagerUI::PumpMessages();
    EXPECT_TRUE(IsWindow(wnd->GetHWND()));
    const std::vector<std::pair<UINT, WPARAM>> expected{
        {WM_ACTIVATE, WA_ACTIVE}, {WM_ACTIVATE, WA_INACTIVE}, {WM_MOUSEHOVER, 0}, {WM_MOUSELEAVE, 0},
        {WM_DISPLAYCHANGE, 0},    {WM_DPICHANGED, (144u << 16) | 144u}};
    EXPECT_EQ(wnd->notices, expected);
}

TEST(PopupPlacement, BelowTheButtonAlignedToItsRightEdgeAndKeptOnTheScreen) {
    const UiRect area{0, 0, 1920, 1040};
    // A title-bar button: the pop-up hangs below it, towards the window.
    EXPECT_EQ(PlaceBeside({900, 10, 936, 54}, {360, 250}, area), (UiRect{576, 54, 936, 304}));
    // Near the left edge it is moved on the screen.
    EXPECT_EQ(PlaceBeside({10, 10, 46, 54}, {360, 250}, area), (UiRect{0, 54, 360, 304}));
    // Without room below it opens above the button.
    EXPECT_EQ(PlaceBeside({900, 1000, 936, 1030}, {360, 250}, area), (UiRect{576, 750, 936, 1000}));
    // Larger than the screen: its top-left corner stays visible.
    EXPECT_EQ(PlaceBeside({900, 10, 936, 54}, {3000, 2000}, area).left, 0);
}

}  // namespace
}  // namespace q208::test
