#include "ui/qt/CQtSurfaceWidget.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>

#include <cmath>

#include "ui/IWindowSurface.h"
#include "ui/ScanCodes.h"
#include "ui/UiDefs.h"
#include "ui/qt/CQtKeyMap.h"
#include "ui/qt/CQtRenderTarget.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

namespace {

// X11 and Wayland report evdev codes plus 8 as native scan codes.
constexpr quint32 kNativeScanOffset = 8;

int DpiOf(const QScreen* screen) {
    const double dpi = screen ? screen->logicalDotsPerInch() : 0.0;
    return dpi > 0 ? static_cast<int>(std::lround(dpi)) : 96;
}

UINT Modifiers(Qt::KeyboardModifiers mods) {
    UINT bits = 0;
    if (mods & Qt::ShiftModifier) bits |= kModShift;
    if (mods & Qt::ControlModifier) bits |= kModControl;
    if (mods & Qt::AltModifier) bits |= kModAlt;
    return bits;
}

UINT ButtonsDown(Qt::MouseButtons buttons) {
    UINT bits = 0;
    if (buttons & Qt::LeftButton) bits |= MK_LBUTTON;
    if (buttons & Qt::RightButton) bits |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) bits |= MK_MBUTTON;
    return bits;
}

PointerButton ButtonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton: return PointerButton::Left;
    case Qt::RightButton: return PointerButton::Right;
    case Qt::MiddleButton: return PointerButton::Middle;
    case Qt::BackButton: return PointerButton::Back;
    case Qt::ForwardButton: return PointerButton::Forward;
    default: return PointerButton::None;
    }
}

}  // namespace

CQtSurfaceWidget::CQtSurfaceWidget(IWindowEventSink& sink, Qt::WindowFlags flags) : QWidget(nullptr, flags), sink_(&sink) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (IsPopup()) {
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) { OnFocusWindowChanged(now); });
        connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive && isVisible() && sink_) sink_->OnFocusChanged(false);
        });
    }
}

void CQtSurfaceWidget::WatchScreens() {
    QWindow* window = windowHandle();
    if (!window) return;
    screenDpi_ = DpiOf(window->screen());
    connect(window, &QWindow::screenChanged, this, [this](QScreen* screen) { OnScreenChanged(screen); });
    auto displayChanged = [this] {
        if (sink_) sink_->OnDisplayChanged();
    };
    auto watch = [this, displayChanged](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, displayChanged);
    };
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [watch, displayChanged](QScreen* screen) {
        watch(screen);
        displayChanged();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, displayChanged);
}

void CQtSurfaceWidget::OnScreenChanged(QScreen* screen) {
    const int dpi = DpiOf(screen);
    if (dpi == screenDpi_ || !sink_) {
        screenDpi_ = dpi;
        return;
    }
    // The same window in the new monitor's pixels, as the desktop would size it.
    const QRect now = geometry();
    const int width = now.width() * dpi / screenDpi_;
    const int height = now.height() * dpi / screenDpi_;
    screenDpi_ = dpi;
    sink_->OnDpiChanged(dpi, {now.left(), now.top(), now.left() + width, now.top() + height});
}

void CQtSurfaceWidget::OnFocusWindowChanged(QWindow* now) {
    if (now && now == windowHandle()) {
        hadFocus_ = true;
        return;
    }
    // Only a focus it had can be lost: while it opens, the focus may still move towards it.
    if (hadFocus_ && isVisible() && sink_) sink_->OnFocusChanged(false);
}

bool CQtSurfaceWidget::event(QEvent* event) {
    // A deferred delete destroys this widget inside QObject::event: nothing of it may be
    // touched once that returns.
    if (event->type() == QEvent::DeferredDelete) return QWidget::event(event);
    // Counted so that a surface destroyed from a handler defers deleting this widget.
    ++eventDepth_;
    const bool result = QWidget::event(event);
    --eventDepth_;
    return result;
}

void CQtSurfaceWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().window());
    if (!sink_) return;
    CQtRenderTarget target(painter, &textCache_);
    sink_->OnPaint(target, qtconv::Rect(event->rect()));
}

void CQtSurfaceWidget::Pointer(QMouseEvent* event, int action) {
    if (!sink_) return;
    PointerEvent pointer;
    pointer.action = static_cast<PointerAction>(action);
    pointer.button = ButtonOf(event->button());
    const QPoint pos = event->position().toPoint();
    pointer.pos = {pos.x(), pos.y()};
    pointer.modifiers = Modifiers(event->modifiers());
    pointer.buttonsDown = ButtonsDown(event->buttons());
    sink_->OnPointer(pointer);
}

void CQtSurfaceWidget::mousePressEvent(QMouseEvent* event) { Pointer(event, static_cast<int>(PointerAction::Press)); }
void CQtSurfaceWidget::mouseReleaseEvent(QMouseEvent* event) { Pointer(event, static_cast<int>(PointerAction::Release)); }
void CQtSurfaceWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    Pointer(event, static_cast<int>(PointerAction::DoubleClick));
}
void CQtSurfaceWidget::mouseMoveEvent(QMouseEvent* event) { Pointer(event, static_cast<int>(PointerAction::Move)); }

void CQtSurfaceWidget::enterEvent(QEnterEvent* event) {
    if (!sink_) return;
    PointerEvent enter;
    enter.action = PointerAction::Enter;
    const QPoint pos = event->position().toPoint();
    enter.pos = {pos.x(), pos.y()};
    sink_->OnPointer(enter);
}

void CQtSurfaceWidget::leaveEvent(QEvent*) {
    if (!sink_) return;
    PointerEvent leave;
    leave.action = PointerAction::Leave;
    sink_->OnPointer(leave);
}

void CQtSurfaceWidget::wheelEvent(QWheelEvent* event) {
    if (!sink_) return;
    WheelEvent wheel;
    const QPoint pos = event->position().toPoint();
    wheel.pos = {pos.x(), pos.y()};
    wheel.delta = event->angleDelta().y();  // Qt counts 120 per notch as well
    wheel.modifiers = Modifiers(event->modifiers());
    sink_->OnWheel(wheel);
}

void CQtSurfaceWidget::Key(QKeyEvent* event, bool down) {
    if (!sink_) return;
    KeyEvent key;
    key.action = down ? KeyAction::Down : KeyAction::Up;
    key.virtualKey = VirtualKeyFromQt(event->key());
    if (down) key.text = qtconv::Str(event->text());
    key.modifiers = Modifiers(event->modifiers());
    if (event->nativeScanCode() > kNativeScanOffset) {
        if (auto scan = ScanCodeFromEvdev(event->nativeScanCode() - kNativeScanOffset)) {
            key.scanCode = scan->code;
            key.extended = scan->extended;
        }
    }
    sink_->OnKey(key);
}

void CQtSurfaceWidget::keyPressEvent(QKeyEvent* event) { Key(event, true); }
void CQtSurfaceWidget::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;  // repeats arrive as presses
    Key(event, false);
}

bool CQtSurfaceWidget::focusNextPrevChild(bool next) {
    if (!sink_) return true;
    KeyEvent key;
    key.virtualKey = VK_TAB;
    key.modifiers = next ? 0 : kModShift;
    sink_->OnKey(key);
    return true;
}

void CQtSurfaceWidget::resizeEvent(QResizeEvent* event) {
    if (sink_) sink_->OnResized(event->size().width(), event->size().height());
}

void CQtSurfaceWidget::moveEvent(QMoveEvent* event) {
    if (sink_) sink_->OnMoved(event->pos().x(), event->pos().y());
}

void CQtSurfaceWidget::closeEvent(QCloseEvent* event) {
    // The window decides; it may destroy the surface, so not from inside this handler.
    event->ignore();
    QPointer<CQtSurfaceWidget> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (self && self->sink_) self->sink_->OnCloseRequested();
        },
        Qt::QueuedConnection);
}

void CQtSurfaceWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A pop-up counts as active while it is shown; its focus is followed above instead.
    if (event->type() == QEvent::ActivationChange && sink_ && !IsPopup()) sink_->OnFocusChanged(isActiveWindow());
    // Changes while minimised were not painted (CQtSurface::Invalidate): all of it now.
    if (event->type() == QEvent::WindowStateChange && !isMinimized()) update();
    if (event->type() == QEvent::WindowStateChange && sink_) {
        const bool minimized = isMinimized();
        const bool was = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
        if (minimized != was) sink_->OnMinimizedChanged(minimized);
    }
}

}  // namespace q208
