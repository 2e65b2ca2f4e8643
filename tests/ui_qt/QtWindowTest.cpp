#include <atomic>
#include <thread>

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "QtTestSupport.h"
#include "ui/CEditUI.h"
#include "ui/CWindowRegistry.h"
#include "ui/UiMessaging.h"
#include "ui/qt/CMenuWnd.h"
#include "ui/qt/CQtSurface.h"
#include "ui/qt/CQtSurfaceWidget.h"
#include "ui/qt/CTrayIcon.h"
#include "ui/qt/FileDialogs.h"
#include "ui/UiDefs.h"
#include "ui/UiTestSupport.h"

namespace q208::test {

namespace {

constexpr UINT kAsk = WM_USER + 5;

// A window of layout text on the Qt platform that records notifications and messages.
class QtWindow : public TestWindow {
public:
    using TestWindow::TestWindow;
    std::vector<std::pair<UINT, LPARAM>> messages;

    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (msg == kAsk) {
            handled = true;
            return static_cast<LRESULT>(wParam) * 2;
        }
        if (msg == CTrayIcon::kTrayMessage || msg == CMenuWnd::kMenuMessage) messages.emplace_back(msg, msg == CMenuWnd::kMenuMessage ? static_cast<LPARAM>(wParam) : lParam);
        return TestWindow::HandleCustomMessage(msg, wParam, lParam, handled);
    }
    CQtSurface& Qt() { return static_cast<CQtSurface&>(*GetSurface()); }
    QPoint Center(const std::string& name) {
        m_pm.DoLayout();
        const UiRect rc = Find(name)->GetPos();
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
};

// The skin frame's kind of window: a Qt pop-up over an owner.
class QtPopup : public QtWindow {
public:
    using QtWindow::QtWindow;

protected:
    bool IsPopupWindow() const override { return true; }
};

void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void ClickWidget(QWidget* widget, QPoint pos) {
    SendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
    SendMouse(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

void SendKey(QWidget* widget, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &release);
}

const char* const kForm = R"(<Window size="300,120"><VerticalLayout bkcolor="#FF202020">
    <Button name="btn" height="30" text="Go" bkcolor="#FF0000FF"/>
    <Edit name="edit" height="30" numberonly="true" maxchar="4"/>
    <Control/>
  </VerticalLayout></Window>)";

}  // namespace

class QtWindowTest : public QtTest {
protected:
    std::unique_ptr<QtWindow> Open(const char* xml) {
        auto wnd = std::make_unique<QtWindow>(xml);
        EXPECT_NE(wnd->Create(0, "test"), 0u);
        wnd->ShowWindow(true);
        CPaintManagerUI::PumpMessages();
        wnd->Take();
        return wnd;
    }
};

TEST_F(QtWindowTest, AWindowIsARealWidgetOfTheLayoutSizeAndPaintsIt) {
    auto wnd = Open(kForm);
    QWidget* widget = wnd->Qt().Widget();
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->size(), QSize(300, 120));
    EXPECT_TRUE(widget->windowFlags() & Qt::FramelessWindowHint);
    const QImage shot = widget->grab().toImage();
    EXPECT_EQ(shot.pixel(5, 5), 0xFF0000FFu);  // the button
    EXPECT_EQ(shot.pixel(5, 100), 0xFF202020u);
    wnd->CenterWindow();
    const UiRect area = platform_->WorkArea();
    EXPECT_NEAR(wnd->GetWindowRect().left, area.left + (area.Width() - 300) / 2, 1);
}

TEST_F(QtWindowTest, AClickThroughQtEventsReachesTheNotification) {
    auto wnd = Open(kForm);
    ClickWidget(wnd->Qt().Widget(), wnd->Center("btn"));
    const auto events = wnd->Take();
    EXPECT_NE(std::find(events.begin(), events.end(), "click:btn"), events.end());
}

TEST_F(QtWindowTest, TheTextFieldOverAnEditRoundTrips) {
    auto wnd = Open(kForm);
    ClickWidget(wnd->Qt().Widget(), wnd->Center("edit"));
    QLineEdit* field = wnd->Qt().TextField();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->maxLength(), 4);
    wnd->Take();
    for (const char* key : {"1", "x", "2", "3", "4", "5"}) SendKey(field, key[0] == 'x' ? Qt::Key_X : Qt::Key_0 + (key[0] - '0'), key);
    EXPECT_EQ(field->text().toStdString(), "1234");  // digits only, four at most
    EXPECT_EQ(wnd->Find<CEditUI>("edit")->GetText(), "1234");
    EXPECT_EQ(wnd->Take(), (std::vector<std::string>{"textchanged:edit", "textchanged:edit", "textchanged:edit",
                                                      "textchanged:edit"}));
    SendKey(field, Qt::Key_Return, "\r");
    EXPECT_NE(wnd->Take(), std::vector<std::string>{});  // "return"

    ClickWidget(wnd->Qt().Widget(), wnd->Center("btn"));  // focus leaves the edit
    EXPECT_EQ(wnd->Qt().TextField(), nullptr);
    const auto events = wnd->Take();
    EXPECT_NE(std::find(events.begin(), events.end(), "killfocus:edit"), events.end());
    EXPECT_EQ(wnd->Find<CEditUI>("edit")->GetText(), "1234");
}

TEST_F(QtWindowTest, SendFromAWorkerWhileAModalWindowRunsIsAnswered) {
    auto owner = Open(kForm);
    auto dialog = std::make_unique<QtWindow>(kForm);
    ASSERT_NE(dialog->Create(owner->GetHWND(), "dialog"), 0u);
    const HWND hwnd = dialog->GetHWND();
    std::atomic<LRESULT> answer{0};
    std::thread worker([&] {
        answer = SendMessage(hwnd, kAsk, 21, 0);
        PostMessage(hwnd, WM_CLOSE, 7, 0);
    });
    EXPECT_EQ(dialog->ShowModal(), 7);
    worker.join();
    EXPECT_EQ(answer.load(), 42);
    EXPECT_TRUE(owner->Qt().IsEnabled());  // the owner is usable again
}

TEST_F(QtWindowTest, OwnerIsDisabledWhileTheModalWindowIsOpen) {
    auto owner = Open(kForm);
    auto dialog = std::make_unique<QtWindow>(kForm);
    ASSERT_NE(dialog->Create(owner->GetHWND(), "dialog"), 0u);
    bool ownerEnabled = true;
    CMessageQueue::Current().PostTask([&] {
        ownerEnabled = owner->Qt().IsEnabled();
        dialog->Close(3);
    });
    EXPECT_EQ(dialog->ShowModal(), 3);
    EXPECT_FALSE(ownerEnabled);
}

TEST_F(QtWindowTest, ControlTimersFireFromTheQtLoop) {
    auto wnd = Open(kForm);
    CControlUI* btn = wnd->Find("btn");
    wnd->GetPaintManager().SetTimer(btn, 9, 20);
    int fired = 0;
    wnd->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == DUI_MSGTYPE_TIMER && ++fired == 2) PostQuitMessage(0);
    };
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 0);
    EXPECT_EQ(fired, 2);
}

TEST_F(QtWindowTest, TrayClicksArePostedAndWithoutATrayClosingMinimises) {
    auto wnd = Open(kForm);
    CTrayIcon tray;
    ASSERT_TRUE(tray.CreateTrayIcon(wnd->GetHWND(), "", "Q208"));
    EXPECT_EQ(tray.GetToolTipText(), "Q208");
    tray.OnActivated(WM_RBUTTONUP);
    CPaintManagerUI::PumpMessages();
    EXPECT_EQ(wnd->messages, (std::vector<std::pair<UINT, LPARAM>>{{1025, WM_RBUTTONUP}}));

    CTrayIcon::HideToTray(*wnd);
    if (CTrayIcon::IsTrayAvailable()) {
        EXPECT_FALSE(wnd->IsWindowVisible());
    } else {
        EXPECT_TRUE(wnd->IsWindowVisible());  // still reachable from the task bar
        EXPECT_TRUE(wnd->Qt().IsMinimized());
    }
}

TEST_F(QtWindowTest, AMenuChoiceReachesTheOwnerOnceByName) {
    auto wnd = Open(kForm);
    const HWND menu = CMenuWnd::Popup(wnd->GetHWND(), R"(<Window size="100,60"><VerticalLayout>
        <Button name="open" height="30" userdata="u1"/><Button name="exit" height="30"/></VerticalLayout></Window>)",
                                      {10, 10});
    ASSERT_NE(menu, 0u);
    auto* menuWnd = static_cast<CMenuWnd*>(CWindowRegistry::Instance().WindowOf(menu));
    ASSERT_NE(menuWnd, nullptr);
    auto* surface = static_cast<CQtSurface*>(menuWnd->GetSurface());
    EXPECT_TRUE(surface->Widget()->windowFlags().testFlag(Qt::Popup));
    ClickWidget(surface->Widget(), {50, 45});
    CPaintManagerUI::PumpMessages();
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(IsWindow(menu));
    EXPECT_EQ(CMenuWnd::OpenCount(), 0);
    ASSERT_EQ(wnd->messages.size(), 1u);
    EXPECT_EQ(wnd->messages[0].first, CMenuWnd::kMenuMessage);
    const auto cmd = CMenuWnd::TakeCommand(static_cast<WPARAM>(wnd->messages[0].second));
    ASSERT_TRUE(cmd.has_value());
    EXPECT_EQ(cmd->name, "exit");
    EXPECT_FALSE(CMenuWnd::TakeCommand(static_cast<WPARAM>(wnd->messages[0].second)).has_value());
}

TEST_F(QtWindowTest, KeysCarryTheLayerKeyCodeAndText) {
    auto wnd = Open(R"(<Window size="100,40"><VerticalLayout><Control/></VerticalLayout></Window>)");
    std::vector<std::pair<UINT, WPARAM>> keys;
    struct Filter : IMessageFilterUI {
        std::vector<std::pair<UINT, WPARAM>>* keys;
        LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) override {
            if (msg == WM_KEYDOWN || msg == WM_CHAR || msg == WM_KEYUP) keys->emplace_back(msg, wParam);
            handled = false;
            return 0;
        }
    } filter;
    filter.keys = &keys;
    wnd->GetPaintManager().AddPreMessageFilter(&filter);
    SendKey(wnd->Qt().Widget(), Qt::Key_A, "a");
    SendKey(wnd->Qt().Widget(), Qt::Key_Left, "");
    wnd->GetPaintManager().RemovePreMessageFilter(&filter);
    EXPECT_EQ(keys, (std::vector<std::pair<UINT, WPARAM>>{
                        {WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}, {WM_KEYDOWN, VK_LEFT}, {WM_KEYUP, VK_LEFT}}));
}

}  // namespace q208::test

namespace q208::test {

TEST_F(QtWindowTest, OnlyTheBareTitleBarMovesTheWindow) {
    auto wnd = Open(R"(<Window size="200,100" caption="0,0,0,30"><VerticalLayout>
        <HorizontalLayout height="30"><Label name="title"/><Button name="closebtn" width="30"/></HorizontalLayout>
        <Control/></VerticalLayout></Window>)");
    CPaintManagerUI& pm = wnd->GetPaintManager();
    pm.DoLayout();
    EXPECT_EQ(pm.GetCaptionRect(), (UiRect{0, 0, 0, 30}));
    EXPECT_TRUE(pm.IsCaptionPoint({20, 10}));    // on the title label
    EXPECT_FALSE(pm.IsCaptionPoint({185, 10}));  // on the close button
    EXPECT_FALSE(pm.IsCaptionPoint({20, 50}));   // below the title bar
}

TEST_F(QtWindowTest, APopupLetsGoOnAPressOutsideAndOnEscape) {
    auto owner = Open(kForm);
    auto open = [&] {
        auto popup = std::make_unique<QtPopup>(kForm);
        EXPECT_NE(popup->Create(owner->GetHWND(), "popup", 0, 0, 40, 40, 0, 0), 0u);
        popup->ShowWindow(true, true);
        CPaintManagerUI::PumpMessages();
        EXPECT_TRUE(popup->Qt().Widget()->windowFlags().testFlag(Qt::Popup));
        return popup;
    };
    // Qt hands a press anywhere on the screen to the open pop-up, at a position outside it.
    auto popup = open();
    SendMouse(popup->Qt().Widget(), QEvent::MouseButtonPress, {-30, 200}, Qt::LeftButton, Qt::LeftButton);
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(IsWindow(popup->GetHWND()));
    // The owner takes clicks again.
    owner->Take();
    ClickWidget(owner->Qt().Widget(), owner->Center("btn"));
    const auto events = owner->Take();
    EXPECT_NE(std::find(events.begin(), events.end(), "click:btn"), events.end());

    popup = open();
    SendKey(popup->Qt().Widget(), Qt::Key_Escape, {});
    CPaintManagerUI::PumpMessages();
    EXPECT_FALSE(IsWindow(popup->GetHWND()));
}

TEST_F(QtWindowTest, AMenuTakesTheDpiOfItsOwner) {
    auto owner = Open(kForm);
    owner->FitToDpi(144);
    EXPECT_EQ(owner->GetWindowRect().Width(), 450);
    const HWND menu = CMenuWnd::Popup(owner->GetHWND(), R"(<Window size="100,60"><VerticalLayout>
        <Button name="open" height="30"/></VerticalLayout></Window>)", {10, 10});
    ASSERT_NE(menu, 0u);
    auto* menuWnd = static_cast<CMenuWnd*>(CWindowRegistry::Instance().WindowOf(menu));
    EXPECT_EQ(menuWnd->GetPaintManager().GetDPI(), 144);
    EXPECT_EQ(menuWnd->GetWindowRect().Width(), 150);
    EXPECT_EQ(menuWnd->GetWindowRect().Height(), 90);
    menuWnd->Close(IDCANCEL);
    CPaintManagerUI::PumpMessages();
}

TEST_F(QtWindowTest, AFileDialogOutlivesThePopupThatClosesWhileItIsOpen) {
    auto owner = Open(kForm);
    auto popup = std::make_unique<QtPopup>(kForm);
    ASSERT_NE(popup->Create(owner->GetHWND(), "popup", 0, 0, 40, 40, 0, 0), 0u);
    popup->ShowWindow(true, true);
    CPaintManagerUI::PumpMessages();
    QWidget* dialogParent = nullptr;
    bool sawDialog = false;
    // While the dialog's loop runs, the pop-up goes away, then the user cancels.
    QTimer::singleShot(50, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        sawDialog = dialog != nullptr;
        if (dialog) dialogParent = dialog->parentWidget();
        popup->DestroyWindow();
        popup.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (dialog) dialog->reject();
    });
    const auto chosen = ShowOpenFileDialog(popup->GetHWND(), "pick", "(*.png)|*.png||", folder_.string());
    EXPECT_FALSE(chosen.has_value());
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(dialogParent, owner->Qt().Widget()) << "the dialog sits over the owner, not the pop-up";
    EXPECT_EQ(popup, nullptr);
    // The layer goes on: the owner is usable.
    ClickWidget(owner->Qt().Widget(), owner->Center("btn"));
    const auto events = owner->Take();
    EXPECT_NE(std::find(events.begin(), events.end(), "click:btn"), events.end());
}

}  // namespace q208::test
