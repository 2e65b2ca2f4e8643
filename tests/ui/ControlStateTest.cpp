#include "UiTestSupport.h"
#include "ui/CListLabelElementUI.h"
#include "ui/CListUI.h"
#include "ui/COptionUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CVerticalLayoutUI.h"
#include "ui/UiAttr.h"

namespace q208::test {
namespace {

class ControlStateTest : public UiTest {};

TEST(AttrParse, ColoursRectsAndImagesRejectMalformedValues) {
    EXPECT_EQ(attr::Color("#FF112233"), 0xFF112233u);
    EXPECT_EQ(attr::Color("#112233"), 0xFF112233u);  // no alpha: opaque
    EXPECT_EQ(attr::Color("0x80FFFFFF"), 0x80FFFFFFu);
    EXPECT_FALSE(attr::Color("#GG0000"));
    EXPECT_FALSE(attr::Color("red"));
    EXPECT_EQ(attr::Rect("1, 2,3,4"), (UiRect{1, 2, 3, 4}));
    EXPECT_FALSE(attr::Rect("1,2,3"));
    EXPECT_FALSE(attr::Int("12px"));
    auto image = attr::Image("file='a/b.png' source='0,0,10,10' corner='2,2,2,2' fade='128'");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->file, "a/b.png");
    EXPECT_EQ(image->corner, (UiRect{2, 2, 2, 2}));
    EXPECT_EQ(image->fade, 128);
    EXPECT_EQ(attr::Image("plain.png")->file, "plain.png");
    EXPECT_FALSE(attr::Image("file='a.png' source='x'"));
    EXPECT_FALSE(attr::Image("file='unterminated"));
}

TEST_F(ControlStateTest, ListRemovalKeepsSelectionAndIndicesConsistent) {
    CPaintManagerUI pm;
    auto list = std::make_unique<CListUI>();
    CListUI* l = list.get();
    pm.AttachDialog(std::move(list));
    for (int i = 0; i < 4; ++i) {
        auto item = std::make_unique<CListLabelElementUI>();
        item->SetText("row" + std::to_string(i));
        l->Add(std::move(item));
    }
    l->SelectItem(2, false, false);
    l->RemoveAt(0);
    l->Remove(l->GetItemAt(0));
    EXPECT_EQ(l->GetCurSel(), 0);
    auto* first = static_cast<CListLabelElementUI*>(l->GetItemAt(0));
    EXPECT_EQ(first->GetText(), "row2");
    EXPECT_EQ(first->GetIndex(), 0);
    EXPECT_TRUE(first->IsSelected());
    l->Remove(first);
    EXPECT_EQ(l->GetCurSel(), -1);
    EXPECT_EQ(static_cast<CListLabelElementUI*>(l->GetItemAt(0))->GetIndex(), 0);
}

TEST_F(ControlStateTest, DetachedSubtreesLeaveTheWindowTablesAndCanMoveElsewhere) {
    auto wnd = Open(R"(<Window size="100,100"><VerticalLayout name="root">
        <VerticalLayout name="panel"><Option name="opt" group="g"/><Label name="inner"/></VerticalLayout>
        <TabLayout name="tabs"/></VerticalLayout></Window>)");
    auto& pm = wnd->GetPaintManager();
    auto* root = wnd->Find<CVerticalLayoutUI>("root");
    auto panel = root->Detach(wnd->Find("panel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(pm.FindControl("inner"), nullptr);
    EXPECT_EQ(pm.GetOptionGroup("g") ? pm.GetOptionGroup("g")->size() : 0u, 0u);
    auto* tabs = wnd->Find<CTabLayoutUI>("tabs");
    tabs->Add(std::move(panel));  // a page moved between layouts keeps its controls
    EXPECT_NE(pm.FindControl("inner"), nullptr);
    EXPECT_EQ(pm.GetOptionGroup("g")->size(), 1u);
    EXPECT_EQ(tabs->GetCurSel(), 0);
}

TEST_F(ControlStateTest, AsyncNotificationsArriveLaterAndAreDroppedWithTheirSender) {
    auto wnd = Open(R"(<Window size="100,100"><VerticalLayout name="root"><Label name="a"/><Label name="b"/></VerticalLayout></Window>)");
    auto& pm = wnd->GetPaintManager();
    wnd->Take();
    pm.SendNotify(wnd->Find("a"), "colorchanged", 1, 0, true);
    pm.SendNotify(wnd->Find("b"), "click_select_end", 0, 0, true);
    EXPECT_TRUE(wnd->Take().empty());
    wnd->Find<CVerticalLayoutUI>("root")->Remove(wnd->Find("b"));
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(wnd->Take(), (std::vector<std::string>{"colorchanged:a"}));
}

TEST_F(ControlStateTest, MessageFiltersAndCustomHandlersSeeMessagesInOrder) {
    struct Filter : IMessageFilterUI {
        std::vector<UINT>* log = nullptr;
        bool swallow = false;
        LRESULT MessageHandler(UINT msg, WPARAM, LPARAM, bool& handled) override {
            log->push_back(msg);
            handled = swallow && msg == WM_USER + 7;
            return 99;
        }
    };
    struct Custom : TestWindow {
        using TestWindow::TestWindow;
        std::vector<UINT> custom;
        LRESULT HandleCustomMessage(UINT msg, WPARAM, LPARAM, bool& handled) override {
            if (msg >= WM_USER) custom.push_back(msg);
            handled = msg == WM_USER + 8;
            return 5;
        }
    } wnd(R"(<Window size="10,10"><Control/></Window>)");
    ASSERT_NE(wnd.Create(0, "w"), 0u);
    std::vector<UINT> pre;
    Filter filter;
    filter.log = &pre;
    filter.swallow = true;
    wnd.GetPaintManager().AddPreMessageFilter(&filter);
    EXPECT_EQ(wnd.SendMessage(WM_USER + 7), 99);  // the pre-filter took it
    EXPECT_EQ(wnd.SendMessage(WM_USER + 8), 5);   // the custom handler took it
    EXPECT_TRUE(wnd.PostMessage(WM_USER + 9));
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(wnd.custom, (std::vector<UINT>{WM_USER + 8, WM_USER + 9}));
    wnd.GetPaintManager().RemovePreMessageFilter(&filter);
}

TEST_F(ControlStateTest, HoverFollowsThePointerAndTooltipReachesTheSurface) {
    auto wnd = Open(R"(<Window size="100,40"><HorizontalLayout>
        <Control name="a" tooltip="first"/><Control name="b" mouse="false"/></HorizontalLayout></Window>)");
    wnd->Move(10, 10);
    EXPECT_EQ(wnd->GetPaintManager().GetHover(), wnd->Find("a"));
    EXPECT_EQ(wnd->Surface().ToolTip(), "first");
    wnd->Move(60, 10);  // "b" ignores the pointer: the layout under it gets it
    EXPECT_NE(wnd->GetPaintManager().GetHover(), wnd->Find("b"));
    wnd->OnPointer({PointerAction::Leave, PointerButton::None, {}, 0, 0});
    EXPECT_EQ(wnd->GetPaintManager().GetHover(), nullptr);
}

}  // namespace
}  // namespace q208::test
