// The input hook on real Qt key events in an offscreen window: while installed the window
// holds the keyboard, keys become the mode's message with their set-1 scan code and never
// reach a text field; the lock keys pass; focus loss and removal let go.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>

#include "QtTestSupport.h"
#include "platform/RegisteredMessageNames.h"
#include "ui/CDeviceHook.h"
#include "editors/KeyAssignTables.h"
#include "ui/CEditUI.h"
#include "ui/ScanCodes.h"
#include "ui/UiDefs.h"
#include "ui/UiMessaging.h"
#include "ui/UiTestSupport.h"
#include "ui/qt/CQtSurface.h"
#include "ui/qt/CQtSurfaceWidget.h"

namespace q208::test {

namespace {

// Linux input key codes (linux/input-event-codes.h).
constexpr unsigned kEvdevA = 30;
constexpr unsigned kEvdevRightAlt = 100;
constexpr unsigned kEvdevCapsLock = 58;
constexpr quint32 kNativeOffset = 8;

const char* const kForm = R"(<Window size="300,100"><VerticalLayout bkcolor="#FF202020">
    <Edit name="capture" height="30" captureonly="true"/>
    <Edit name="edit" height="30"/>
    <Control/>
  </VerticalLayout></Window>)";

class HookWindow : public TestWindow {
public:
    using TestWindow::TestWindow;
    std::vector<CDeviceHook::Key> keys;
    UINT hookMessage = RegisterWindowMessage(kHookKeySingleKey);

    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (msg == hookMessage) keys.push_back(CDeviceHook::UnpackKey(wParam, lParam));
        return TestWindow::HandleCustomMessage(msg, wParam, lParam, handled);
    }
    QWidget* Widget() { return static_cast<CQtSurface&>(*GetSurface()).Widget(); }
    QLineEdit* Field() { return static_cast<CQtSurface&>(*GetSurface()).TextField(); }
    void ClickOn(const std::string& name) {
        m_pm.DoLayout();
        const UiRect rc = Find(name)->GetPos();
        const QPointF pos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        for (auto [type, button, buttons] : {std::tuple{QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton},
                                             std::tuple{QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton}}) {
            QMouseEvent event(type, pos, Widget()->mapToGlobal(pos), button, buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(Widget(), &event);
        }
    }
};

// A physical key as the desktop delivers it: to the widget holding the keyboard, if any.
void PressKey(QWidget* window, unsigned evdev, const QString& text = {}) {
    QWidget* target = QWidget::keyboardGrabber() ? QWidget::keyboardGrabber() : window;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, evdev + kNativeOffset, 0, 0, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, evdev + kNativeOffset, 0, 0, text);
    QCoreApplication::sendEvent(target, &release);
    CPaintManagerUI::PumpMessages();
}

}  // namespace

class DeviceHookTest : public QtTest {
protected:
    std::unique_ptr<HookWindow> Open() {
        auto wnd = std::make_unique<HookWindow>(kForm);
        EXPECT_NE(wnd->Create(0, "hook"), 0u);
        wnd->ShowWindow(true);
        CPaintManagerUI::PumpMessages();
        return wnd;
    }
};

TEST_F(DeviceHookTest, KeysReachTheHookAsScanCodesAndNotATextField) {
    auto wnd = Open();
    wnd->ClickOn("edit");
    ASSERT_NE(wnd->Field(), nullptr);  // a native field over the plain edit
    CDeviceHook hook(*wnd);
    ASSERT_TRUE(hook.Install(CDeviceHook::kSingleKey));
    EXPECT_EQ(QWidget::keyboardGrabber(), wnd->Widget());

    PressKey(wnd->Widget(), kEvdevRightAlt);
    PressKey(wnd->Widget(), kEvdevA, "a");
    ASSERT_EQ(wnd->keys.size(), 4u);  // press and release of each
    EXPECT_EQ(wnd->keys[0].scanCode, 0x38);
    EXPECT_TRUE(wnd->keys[0].extended);
    EXPECT_TRUE(wnd->keys[0].down);
    EXPECT_FALSE(wnd->keys[1].down);
    EXPECT_EQ(wnd->keys[2].scanCode, 0x1E);
    EXPECT_FALSE(wnd->keys[2].extended);
    EXPECT_TRUE(wnd->Field() == nullptr || wnd->Field()->text().isEmpty());
    EXPECT_EQ(wnd->Find<CEditUI>("edit")->GetText(), "");

    // Caps Lock keeps working: it is no key of the hook's.
    PressKey(wnd->Widget(), kEvdevCapsLock);
    EXPECT_EQ(wnd->keys.size(), 4u);

    hook.Uninstall();
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    PressKey(wnd->Widget(), kEvdevA, "a");
    EXPECT_EQ(wnd->keys.size(), 4u);
}

TEST_F(DeviceHookTest, LosingTheFocusReleasesTheKeyboardAndTellsTheOwner) {
    auto wnd = Open();
    CDeviceHook hook(*wnd);
    bool released = false;
    hook.SetReleaseHandler([&] { released = true; });
    ASSERT_TRUE(hook.Install(CDeviceHook::kSingleKey));
    EXPECT_FALSE(hook.Install(3));  // no message of its own
    EXPECT_EQ(hook.GetMode(), CDeviceHook::kSingleKey);
    wnd->OnFocusChanged(false);
    EXPECT_TRUE(released);
    EXPECT_FALSE(hook.IsInstalled());
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST_F(DeviceHookTest, ACaptureOnlyEditOpensNoTextFieldAndIgnoresTyping) {
    auto wnd = Open();
    wnd->ClickOn("capture");
    EXPECT_EQ(wnd->Field(), nullptr);
    PressKey(wnd->Widget(), kEvdevA, "a");
    EXPECT_EQ(wnd->Find<CEditUI>("capture")->GetText(), "");
    wnd->ClickOn("edit");
    EXPECT_NE(wnd->Field(), nullptr);
}

// Every key the assignment panel can capture is one a Linux keyboard can send: its scan
// code has an input key code that maps back to it.
TEST(CaptureScanCodesTest, EveryCapturableKeyHasALinuxKeyCode) {
    for (int i = 0; i < keytables::kCaptureTableSize; ++i) {
        const CapturedKey key = keytables::CaptureTable()[i];
        const auto evdev = EvdevFromScanCode({key.scanCode, key.extended});
        ASSERT_TRUE(evdev) << "position " << i << " scan 0x" << std::hex << int(key.scanCode);
        EXPECT_EQ(ScanCodeFromEvdev(*evdev), (ScanCode{key.scanCode, key.extended})) << i;
    }
    EXPECT_EQ(ScanCodeFromEvdev(54), (ScanCode{0x36, true}));  // right Shift
}

}  // namespace q208::test
