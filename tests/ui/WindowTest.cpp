#include <atomic>
#include <thread>

#include "UiTestSupport.h"
#include "ui/CMessageQueue.h"
#include "ui/CNotifyPump.h"
#include "ui/UiMessaging.h"

namespace q208::test {
namespace {

using Events = std::vector<std::string>;

class WindowTest : public UiTest {};

const char* kPanel = R"(<Window size="200,100"><HorizontalLayout name="root" bkcolor="#FF202020">
    <Label name="a" text="A" width="100" bordersize="1" bordercolor="#FFFF0000"/><Label name="b" text="B"/></HorizontalLayout></Window>)";

TEST_F(WindowTest, WindowInitArrivesFromTheLoopAfterInitWindow) {
    TestWindow wnd(kPanel);
    ASSERT_NE(wnd.Create(0, "w"), 0u);
    EXPECT_EQ(wnd.GetWindowRect(), (UiRect{0, 0, 200, 100}));
    EXPECT_EQ(wnd.Take(), Events{});
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(wnd.Take(), (Events{"windowinit:root"}));
    wnd.ResizeClient(300, 100);
    EXPECT_EQ(wnd.Take(), (Events{"windowsize:root"}));
    wnd.GetPaintManager().DoLayout();
    EXPECT_EQ(wnd.Find("b")->GetPos(), (UiRect{100, 0, 300, 100}));
}

TEST_F(WindowTest, PaintsBackgroundTextAndBorderInOrderClippedToContainers) {
    auto wnd = Open(kPanel);
    CRecordingRenderTarget rt;
    wnd->Surface().PaintInto(rt);
    using K = CRecordingRenderTarget::Kind;
    std::vector<K> kinds;
    for (const auto& c : rt.Calls()) kinds.push_back(c.kind);
    EXPECT_EQ(kinds, (std::vector<K>{K::PushClip, K::FillRect, K::Text, K::Border, K::Text, K::PopClip}));
    EXPECT_EQ(rt.Calls()[1].color, 0xFF202020u);
    EXPECT_EQ(rt.FindText("A")->rect, (UiRect{0, 0, 100, 100}));
    EXPECT_EQ(rt.ClipDepth(), 0);
}

TEST_F(WindowTest, TimersFireInOrderRepeatAndStopWhenKilled) {
    auto wnd = Open(kPanel);
    auto& pm = wnd->GetPaintManager();
    std::vector<std::pair<std::string, WPARAM>> fired;
    wnd->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == "timer") fired.emplace_back(msg.pSender->GetName(), msg.wParam);
    };
    pm.SetTimer(wnd->Find("b"), 2, 100);
    pm.SetTimer(wnd->Find("a"), 1, 100);
    pm.SetTimer(wnd->Find("a"), 3, 250);
    platform_->AdvanceClock(99);
    CPaintManagerUI::PumpMessages();
    EXPECT_TRUE(fired.empty());
    platform_->AdvanceClock(1);
    CPaintManagerUI::PumpMessages();
    platform_->AdvanceClock(100);
    CPaintManagerUI::PumpMessages();
    platform_->AdvanceClock(50);
    CPaintManagerUI::PumpMessages();
    using F = std::vector<std::pair<std::string, WPARAM>>;
    EXPECT_EQ(fired, (F{{"b", 2}, {"a", 1}, {"b", 2}, {"a", 1}, {"a", 3}}));

    fired.clear();
    EXPECT_TRUE(pm.KillTimer(wnd->Find("b"), 2));
    EXPECT_FALSE(pm.KillTimer(wnd->Find("b"), 2));
    pm.KillTimer(wnd->Find("a"));
    platform_->AdvanceClock(1000);
    CPaintManagerUI::PumpMessages();
    EXPECT_TRUE(fired.empty());
}

TEST_F(WindowTest, SendMessageFromAWorkerBlocksUntilTheUiThreadHandledIt) {
    const UINT kAsk = RegisterWindowMessage("Q208_TEST_ASK");
    struct Handler : TestWindow {
        using TestWindow::TestWindow;
        UINT ask = 0;
        std::atomic<bool> handled{false};
        std::thread::id handledOn;
        LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM, bool& bHandled) override {
            if (msg != ask) return 0;
            bHandled = true;
            handledOn = std::this_thread::get_id();
            handled = true;
            if (wParam == 21) PostQuitMessage(7);
            return static_cast<LRESULT>(wParam * 2);
        }
    } wnd(kPanel);
    wnd.ask = kAsk;
    ASSERT_NE(wnd.Create(0, "w"), 0u);
    const HWND hwnd = wnd.GetHWND();

    std::atomic<LRESULT> result{0};
    std::atomic<bool> handledBeforeReturn{false};
    std::thread worker([&] {
        result = SendMessage(hwnd, kAsk, 21, 0);
        handledBeforeReturn = wnd.handled.load();
    });
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 7);
    worker.join();
    EXPECT_EQ(result.load(), 42);
    EXPECT_TRUE(handledBeforeReturn);
    EXPECT_EQ(wnd.handledOn, std::this_thread::get_id());
    // From the UI thread itself the call is direct.
    EXPECT_EQ(SendMessage(hwnd, kAsk, 5, 0), 10);
    EXPECT_EQ(SendMessage(0xDEAD, kAsk, 5, 0), 0);
}

TEST_F(WindowTest, SendersAreReleasedWhenTheWindowGoesAway) {
    auto wnd = Open(kPanel);
    const HWND hwnd = wnd->GetHWND();
    std::atomic<LRESULT> result{-1};
    std::thread worker([&] { result = SendMessage(hwnd, WM_USER + 1, 0, 0); });
    // The message reaches the queue, then the window is destroyed before it is handled.
    while (CMessageQueue::Current().WakeEvent().IsSet() == false) std::this_thread::yield();
    wnd->DestroyWindow();
    CPaintManagerUI::PumpMessages();
    worker.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowTest, ShowModalReturnsTheCodeGivenToClose) {
    auto owner = Open(kPanel);
    owner->ShowWindow(true);
    TestWindow dialog(kPanel);
    ASSERT_NE(dialog.Create(owner->GetHWND(), "dialog"), 0u);
    bool ownerDisabledWhileModal = false;
    dialog.onNotify = [&](TNotifyUI& msg) {
        if (msg.sType != "windowinit") return;
        ownerDisabledWhileModal = !owner->Surface().IsEnabled();
        dialog.Close(42);
    };
    EXPECT_EQ(dialog.ShowModal(), 42);
    EXPECT_TRUE(ownerDisabledWhileModal);
    EXPECT_TRUE(owner->Surface().IsEnabled());
    EXPECT_EQ(dialog.GetHWND(), 0u);
}

TEST_F(WindowTest, RegisteredMessagesAreStableNumbersFromC000) {
    const UINT a = RegisterWindowMessage("Q208_TEST_A");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("Q208_TEST_A"), a);
    EXPECT_EQ(RegisterWindowMessage("q208_test_a"), a);
    EXPECT_NE(RegisterWindowMessage("Q208_TEST_B"), a);
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

TEST_F(WindowTest, NotifyPumpDispatchesByNameThenPrefixThenType) {
    CNotifyPump pump;
    std::vector<std::string> seen;
    pump.On("click", "ok", [&](TNotifyUI&) { seen.push_back("exact"); });
    pump.OnPrefix("click", "key_", [&](TNotifyUI&) { seen.push_back("key"); });
    pump.OnPrefix("click", "key_long_", [&](TNotifyUI&) { seen.push_back("longer"); });
    pump.On("click", [&](TNotifyUI&) { seen.push_back("any"); });
    CControlUI ok, key, longKey, other;
    ok.SetName("ok");
    key.SetName("key_3");
    longKey.SetName("key_long_1");
    other.SetName("x");
    for (CControlUI* c : {&ok, &key, &longKey, &other}) {
        TNotifyUI msg;
        msg.sType = "click";
        msg.pSender = c;
        pump.LoopDispatch(msg);
    }
    TNotifyUI unknown;
    unknown.sType = "menu";
    EXPECT_FALSE(pump.LoopDispatch(unknown));
    EXPECT_EQ(seen, (std::vector<std::string>{"exact", "key", "longer", "any"}));
}

TEST_F(WindowTest, CloseFromTheWindowManagerDestroysAndCallsFinalMessage) {
    struct Final : TestWindow {
        using TestWindow::TestWindow;
        HWND finalFor = 0;
        void OnFinalMessage(HWND hwnd) override { finalFor = hwnd; }
    } wnd(kPanel);
    const HWND hwnd = wnd.Create(0, "w");
    wnd.OnCloseRequested();
    EXPECT_EQ(wnd.finalFor, hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessage(hwnd, WM_USER));
}

}  // namespace
}  // namespace q208::test
