// Pop-ups on Qt: the combo's list is a real pop-up window placed on the screen and let go
// of as the desktop expects, menus open at the pointer with their sub-menus, and a native
// dialog leaves the layer's timers and posted messages running.
#include <atomic>
#include <fstream>
#include <thread>

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "QtTestSupport.h"
#include "ui/CComboUI.h"
#include "ui/CComboWnd.h"
#include "ui/CMenuElementUI.h"
#include "ui/CWindowRegistry.h"
#include "ui/UiDefs.h"
#include "ui/UiMessaging.h"
#include "ui/UiTestSupport.h"
#include "ui/qt/CMenuWnd.h"
#include "ui/qt/CQtSurface.h"
#include "ui/qt/CQtSurfaceWidget.h"
#include "ui/qt/FileDialogs.h"

namespace q208::test {

namespace {

constexpr UINT kPing = WM_USER + 9;

class QtOwner : public TestWindow {
public:
    using TestWindow::TestWindow;
    std::vector<WPARAM> menus;
    int pings = 0;

    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (msg == CMenuWnd::kMenuMessage) menus.push_back(wParam);
        if (msg == kPing) ++pings;
        return TestWindow::HandleCustomMessage(msg, wParam, lParam, handled);
    }
};

QWidget* WidgetOf(CWindowWnd& window) { return static_cast<CQtSurface*>(window.GetSurface())->Widget(); }

void Mouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void Click(QWidget* widget, QPoint pos) {
    Mouse(widget, QEvent::MouseMove, pos, Qt::NoButton);
    Mouse(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

void Key(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

// A combo near the bottom of a short window: its list is longer than what is left below.
const char* const kComboForm = R"(<Window size="200,60"><VerticalLayout bkcolor="#FF202020">
    <Control height="30"/>
    <Combo name="c" height="24" itemheight="24" dropbkcolor="#FF0000FF">
      <ListLabelElement text="one"/><ListLabelElement text="two"/><ListLabelElement text="three"/>
      <ListLabelElement text="four"/><ListLabelElement text="five"/>
    </Combo><Control/></VerticalLayout></Window>)";

const char* const kMenu = R"(<Window size="120,100"><VerticalLayout>
    <MenuElement name="first" height="24"/>
    <MenuElement name="off" height="24" enabled="false"/>
    <MenuSeparator/>
    <MenuElement name="more" height="24" submenu="SUB"/>
    <MenuElement name="check" height="19" checkable="true"/>
  </VerticalLayout></Window>)";

const char* const kSubmenu = R"(<Window size="100,48"><VerticalLayout>
    <MenuElement name="deep" height="24" userdata="d"/><MenuElement name="deeper" height="24"/>
  </VerticalLayout></Window>)";

}  // namespace

class QtPopupTest : public QtTest {
protected:
    std::unique_ptr<QtOwner> OpenOwner(const char* xml, UiPoint at = {100, 100}) {
        auto wnd = std::make_unique<QtOwner>(xml);
        EXPECT_NE(wnd->Create(0, "owner", 0, 0, at.x, at.y, 0, 0), 0u);
        wnd->ShowWindow(true);
        CPaintManagerUI::PumpMessages();
        wnd->Take();
        return wnd;
    }
    CComboWnd* DropOf(QtOwner& owner) {
        auto* combo = owner.Find<CComboUI>("c");
        owner.GetPaintManager().DoLayout();
        const UiRect rc = combo->GetPos();
        Click(WidgetOf(owner), {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
        CPaintManagerUI::PumpMessages();
        return combo->GetDropWindow();
    }
    std::string MenuFile(const char* name, const std::string& xml) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path) << xml;
        return path;
    }
};

TEST_F(QtPopupTest, TheComboListIsAPopupBelowTheComboReachingPastTheWindowEdge) {
    auto owner = OpenOwner(kComboForm);
    CComboWnd* drop = DropOf(*owner);
    ASSERT_NE(drop, nullptr);
    QWidget* widget = WidgetOf(*drop);
    EXPECT_TRUE(widget->windowFlags().testFlag(Qt::Popup));
    EXPECT_TRUE(widget->isVisible());
    const UiRect combo = owner->Find("c")->GetPos().Offset(100, 100);
    // Five rows of 24 and the border, starting under the combo, far below the owner's bottom (160).
    EXPECT_EQ(drop->GetWindowRect(), (UiRect{combo.left, combo.bottom, combo.right, combo.bottom + 122}));
    const QImage shot = widget->grab().toImage();
    EXPECT_EQ(shot.pixel(100, 110), 0xFF0000FFu) << "the list paints its whole height";
    EXPECT_EQ(owner->Take(), (std::vector<std::string>{"setfocus:c", "dropdown:c"}));

    // Over the fourth row, a click chooses it.
    Click(widget, {50, 1 + 3 * 24 + 10});
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(owner->Find<CComboUI>("c")->GetCurSel(), 3);
    EXPECT_EQ(owner->Take(), (std::vector<std::string>{"itemselect:c"}));
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(CComboWnd::Current(), nullptr);
}

TEST_F(QtPopupTest, TheComboListLetsGoOnAPressOutsideEscapeAndAnotherWindowTakingTheFocus) {
    auto owner = OpenOwner(kComboForm);
    auto* combo = owner->Find<CComboUI>("c");
    CComboWnd* drop = DropOf(*owner);
    ASSERT_NE(drop, nullptr);
    Mouse(WidgetOf(*drop), QEvent::MouseButtonPress, {-40, -40}, Qt::LeftButton);
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(combo->IsDropped());

    drop = DropOf(*owner);
    ASSERT_NE(drop, nullptr);
    Key(WidgetOf(*drop), Qt::Key_Down);
    Key(WidgetOf(*drop), Qt::Key_Escape);
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(combo->IsDropped());
    EXPECT_EQ(combo->GetCurSel(), -1) << "nothing chosen";

    drop = DropOf(*owner);
    ASSERT_NE(drop, nullptr);
    const HWND dropHwnd = drop->GetHWND();
    QApplication::processEvents();
    QWidget other;
    other.setGeometry(600, 600, 50, 50);
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(IsWindow(dropHwnd));
    EXPECT_FALSE(combo->IsDropped());
}

TEST_F(QtPopupTest, AMenuOpensAtThePointerAndTurnsBackAtTheScreenEdge) {
    auto owner = OpenOwner(kComboForm);
    const std::string menu = MenuFile("menu.xml", kMenu);
    QCursor::setPos(300, 200);
    HWND hwnd = CMenuWnd::Popup(owner->GetHWND(), menu, platform_->CursorPos());
    ASSERT_NE(hwnd, 0u);
    EXPECT_EQ(CWindowRegistry::Instance().WindowOf(hwnd)->GetWindowRect(), (UiRect{300, 200, 420, 300}));
    PostMessage(hwnd, WM_CLOSE, IDCANCEL, 0);
    CPaintManagerUI::PumpMessages();

    const UiRect area = platform_->WorkArea();
    hwnd = CMenuWnd::Popup(owner->GetHWND(), menu, {area.right - 10, area.bottom - 10});
    ASSERT_NE(hwnd, 0u);
    EXPECT_EQ(CWindowRegistry::Instance().WindowOf(hwnd)->GetWindowRect(),
              (UiRect{area.right - 130, area.bottom - 110, area.right - 10, area.bottom - 10}));
    PostMessage(hwnd, WM_CLOSE, IDCANCEL, 0);
    CPaintManagerUI::PumpMessages();
}

TEST_F(QtPopupTest, SubmenusDisabledItemsAndCheckMarksBehaveAsMenusDo) {
    auto owner = OpenOwner(kComboForm);
    const std::string sub = MenuFile("sub.xml", kSubmenu);
    std::string layout = kMenu;
    layout.replace(layout.find("SUB"), 3, sub);
    const std::string menu = MenuFile("menu.xml", layout);
    const HWND hwnd = CMenuWnd::Popup(owner->GetHWND(), menu, {300, 200});
    ASSERT_NE(hwnd, 0u);
    auto* root = static_cast<CMenuWnd*>(CWindowRegistry::Instance().WindowOf(hwnd));
    Click(WidgetOf(*root), {60, 36});  // the disabled item
    CPaintManagerUI::PumpMessages();
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(owner->menus.empty());

    Click(WidgetOf(*root), {60, 70});  // "more": its sub-menu opens to the right of it
    CPaintManagerUI::PumpMessages();
    CMenuWnd* submenu = CMenuWnd::Current();
    ASSERT_NE(submenu, nullptr);
    ASSERT_NE(submenu, root);
    EXPECT_EQ(submenu->GetWindowRect(), (UiRect{420, 257, 520, 305}));
    Key(WidgetOf(*submenu), Qt::Key_Escape);  // closes the sub-menu alone
    CPaintManagerUI::PumpMessages();
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(CMenuWnd::Current(), root);

    // By keys: Up and Down pass over the disabled item and the separator, Right opens,
    // Enter chooses.
    EXPECT_EQ(root->GetPaintManager().GetFocus()->GetName(), "more");
    Key(WidgetOf(*root), Qt::Key_Up);
    EXPECT_EQ(root->GetPaintManager().GetFocus()->GetName(), "first");
    Key(WidgetOf(*root), Qt::Key_Down);
    EXPECT_EQ(root->GetPaintManager().GetFocus()->GetName(), "more");
    Key(WidgetOf(*root), Qt::Key_Right);
    CPaintManagerUI::PumpMessages();
    submenu = CMenuWnd::Current();
    ASSERT_NE(submenu, root);
    Key(WidgetOf(*submenu), Qt::Key_Down);
    Key(WidgetOf(*submenu), Qt::Key_Return);
    CPaintManagerUI::PumpMessages();
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(IsWindow(hwnd)) << "a choice closes the whole chain";
    EXPECT_EQ(CMenuWnd::OpenCount(), 0);
    ASSERT_EQ(owner->menus.size(), 1u);
    auto cmd = CMenuWnd::TakeCommand(owner->menus[0]);
    ASSERT_TRUE(cmd);
    EXPECT_EQ(cmd->name, "deep");
    EXPECT_EQ(cmd->userData, "d");

    // Resting on "more" opens its sub-menu, resting on "first" closes it again.
    const HWND rested = CMenuWnd::Popup(owner->GetHWND(), menu, {300, 200});
    auto* restedMenu = static_cast<CMenuWnd*>(CWindowRegistry::Instance().WindowOf(rested));
    Mouse(WidgetOf(*restedMenu), QEvent::MouseMove, {60, 70}, Qt::NoButton);
    auto runFor = [](int ms) {
        CMessageQueue::Current().PostTask([ms] { QTimer::singleShot(ms, [] { PostQuitMessage(0); }); });
        CPaintManagerUI::MessageLoop();
    };
    runFor(2 * static_cast<int>(CMenuWnd::kHoverDelayMs));
    ASSERT_TRUE(IsWindow(restedMenu->GetSubmenu()));
    // Qt gives the moves to the innermost pop-up: over "first" of the menu beside it.
    CWindowWnd* restedSub = CWindowRegistry::Instance().WindowOf(restedMenu->GetSubmenu());
    const UiRect subAt = restedSub->GetWindowRect();
    Mouse(WidgetOf(*restedSub), QEvent::MouseMove, {300 + 60 - subAt.left, 200 + 10 - subAt.top}, Qt::NoButton);
    runFor(2 * static_cast<int>(CMenuWnd::kHoverDelayMs));
    EXPECT_FALSE(IsWindow(restedMenu->GetSubmenu()));
    EXPECT_TRUE(IsWindow(rested));
    PostMessage(rested, WM_CLOSE, IDCANCEL, 0);
    CPaintManagerUI::PumpMessages();

    const HWND again = CMenuWnd::Popup(owner->GetHWND(), menu, {300, 200});
    Click(WidgetOf(*CWindowRegistry::Instance().WindowOf(again)), {60, 90});  // the check item
    CPaintManagerUI::PumpMessages();
    ASSERT_EQ(owner->menus.size(), 2u);
    cmd = CMenuWnd::TakeCommand(owner->menus[1]);
    ASSERT_TRUE(cmd);
    EXPECT_EQ(cmd->name, "check");
    EXPECT_TRUE(cmd->checked) << "the state the user asked for";
}

TEST_F(QtPopupTest, TimersAndPostedMessagesRunWhileAFileDialogIsOpen) {
    auto owner = OpenOwner(kComboForm);
    CControlUI* combo = owner->Find("c");
    int fired = 0;
    int firedWhileOpen = 0;
    int pingsWhileOpen = 0;
    bool dialogSeen = false;
    owner->GetPaintManager().SetTimer(combo, 7, 20);
    owner->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == DUI_MSGTYPE_TIMER) ++fired;
    };
    const HWND hwnd = owner->GetHWND();
    std::thread worker;
    // Opened from inside the layer's loop, as a click handler opens it.
    CMessageQueue::Current().PostTask([&] {
        QTimer::singleShot(400, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            dialogSeen = dialog != nullptr;
            firedWhileOpen = fired;
            pingsWhileOpen = owner->pings;
            if (dialog) dialog->reject();
        });
        worker = std::thread([hwnd] { PostMessage(hwnd, kPing, 0, 0); });
        const auto chosen = ShowOpenFileDialog(hwnd, "pick", "(*.png)|*.png||", folder_.string());
        EXPECT_FALSE(chosen.has_value());
        PostQuitMessage(0);
    });
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 0);
    worker.join();
    EXPECT_TRUE(dialogSeen);
    EXPECT_GE(firedWhileOpen, 5) << "a 20 ms timer over 400 ms";
    EXPECT_EQ(pingsWhileOpen, 1) << "a worker's message is handled before the dialog closes";
}

}  // namespace q208::test
