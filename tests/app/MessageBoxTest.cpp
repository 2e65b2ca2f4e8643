#include <optional>

#include "app/CMsgWnd.h"
#include "app/AppTestSupport.h"
#include "ui/CLabelUI.h"

namespace q208::test {
namespace {

constexpr const char* kOwner = R"(<Window size="600,400"><VerticalLayout name="root"/></Window>)";

class MessageBoxTest : public ShellTest {
protected:
    void TearDown() override {
        CMsgWnd::SetShownHook(nullptr);
        ShellTest::TearDown();
    }
    // Shows a box over a fresh owner; `answer` runs once the box is up.
    int Ask(const std::string& title, const std::string& text, int dpi, bool resource, int buttons,
            CMsgWnd::ShownHook answer) {
        owner_ = Open(kOwner);
        owner_->ShowWindow(true);
        CMsgWnd::SetShownHook(std::move(answer));
        return ShowMessageBox(owner_->GetHWND(), title, text, dpi, resource, buttons);
    }

    std::unique_ptr<TestWindow> owner_;
};

TEST_F(MessageBoxTest, ResultIsOneOnlyForConfirm) {
    EXPECT_EQ(Ask("", "message_text_4", 96, true, 1, [](CMsgWnd& box) { ClickIn(box, "confirm_btn"); }), 1);
    EXPECT_EQ(Ask("", "message_text_4", 96, true, 1, [](CMsgWnd& box) { ClickIn(box, "cancel_btn"); }), 0);
    // The window's own close button answers a question like "cancel_btn".
    EXPECT_EQ(Ask("", "message_text_4", 96, true, 1, [](CMsgWnd& box) { ClickIn(box, "closebtn"); }), 0);
    // Closed by the window manager.
    EXPECT_EQ(Ask("", "message_text_4", 96, true, 1, [](CMsgWnd& box) { box.OnCloseRequested(); }), 0);
    EXPECT_TRUE(owner_->Surface().IsEnabled());
}

TEST_F(MessageBoxTest, ShowsResourceOrLiteralTextAndTheAskedButtons) {
    struct Seen {
        std::string title, text;
        bool cancelVisible = false;
    };
    auto look = [](Seen& seen) {
        return [&seen](CMsgWnd& box) {
            seen.title = box.GetPaintManager().FindControl("MessageTitle")->GetText();
            seen.text = box.GetPaintManager().FindControl("MessageText")->GetText();
            seen.cancelVisible = box.GetPaintManager().FindControl("cancel_btn")->IsVisible();
            ClickIn(box, "confirm_btn");
        };
    };
    Seen question, notice, literal;
    Ask("", "message_text_29", 96, true, 1, look(question));
    EXPECT_EQ(question.text, "Delete the selected profile? This cannot be undone.");
    EXPECT_EQ(question.title, "Notice");  // the layout's title stays when none is given
    EXPECT_TRUE(question.cancelVisible);

    Ask("Profiles", "message_text_30", 96, true, 0, look(notice));
    EXPECT_EQ(notice.title, "Profiles");
    EXPECT_FALSE(notice.cancelVisible);

    Ask("", "message_text_30", 96, false, 7, look(literal));
    EXPECT_EQ(literal.text, "message_text_30");
    EXPECT_TRUE(literal.cancelVisible);  // other values leave the layout's buttons
}

TEST_F(MessageBoxTest, EveryBoxAppliesTheCallersDpi) {
    std::vector<int> seen;
    auto record = [&seen](CMsgWnd& box) {
        seen.push_back(box.GetPaintManager().GetDPI());
        ClickIn(box, "confirm_btn");
    };
    Ask("", "message_text_4", 144, true, 0, record);
    Ask("", "message_text_4", 144, true, 0, record);
    EXPECT_EQ(seen, (std::vector<int>{144, 144}));
    EXPECT_FALSE(Traced("MSG_WND DPI SET ERROR"));

    Ask("", "message_text_4", 100, true, 0, record);
    EXPECT_EQ(seen.back(), 96);
    EXPECT_TRUE(Traced("MSG_WND DPI SET ERROR"));
}

TEST_F(MessageBoxTest, ClickOnTheBoxAtDpi144StillFindsTheButtons) {
    // At 144 DPI the layout is scaled; the hit test must follow it.
    EXPECT_EQ(Ask("", "message_text_4", 144, true, 1, [](CMsgWnd& box) { ClickIn(box, "cancel_btn"); }), 0);
    EXPECT_EQ(Ask("", "message_text_4", 144, true, 1, [](CMsgWnd& box) { ClickIn(box, "confirm_btn"); }), 1);
}

TEST_F(MessageBoxTest, DpiChangeMovesTheBoxToTheSuggestedRectangle) {
    std::optional<UiRect> rect;
    int dpi = 0;
    Ask("", "message_text_4", 96, true, 0, [&](CMsgWnd& box) {
        UiRect suggested{100, 100, 700, 400};
        box.SendMessage(WM_DPICHANGED, 120 | (120 << 16), reinterpret_cast<LPARAM>(&suggested));
        rect = box.GetWindowRect();
        dpi = box.GetPaintManager().GetDPI();
        ClickIn(box, "confirm_btn");
    });
    ASSERT_TRUE(rect);
    EXPECT_EQ(*rect, (UiRect{100, 100, 700, 400}));
    EXPECT_EQ(dpi, 120);
}

TEST(MessageTexts, EveryKeyTheProgramShowsHasEnglishAndChineseText) {
    const std::vector<std::string> keys{"message_text_2",  "message_text_4",  "message_text_5",  "message_text_17",
                                        "message_text_22", "message_text_25", "message_text_27", "message_text_29",
                                        "message_text_30", "message_text_31", "message_text_32", "message_text_33",
                                        "message_text_34"};
    const std::string saved = CPaintManagerUI::GetResourcePath();
    CPaintManagerUI::SetResourcePath(FindDataRoot().skin.string());
    for (const char* file : {"lan_en.xml", "lan_cn.xml"}) {
        ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage(file));
        for (const std::string& key : keys) {
            const std::string text = CResourceManager::GetInstance().GetText(key);
            EXPECT_NE(text, key) << file;
            EXPECT_FALSE(text.empty()) << file << " " << key;
        }
    }
    CPaintManagerUI::SetResourcePath(saved);
}

}  // namespace
}  // namespace q208::test
