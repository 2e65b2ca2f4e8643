#include "ui/qt/CQtPlatform.h"
#include "ui/qt/CQtAccessibleWindow.h"

#include <climits>
#include <cmath>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QIcon>
#include <QCursor>
#include <QFontMetrics>
#include <QScreen>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include "platform/TickCount.h"
#include "ui/CMessageQueue.h"
#include "ui/qt/CQtSurface.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

namespace {

// Leaves the loop-depth counter balanced however the scope ends.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

}  // namespace

void EnsureQtApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "q208";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends and is deliberately never destroyed: Qt's own global
    // objects (input devices, fonts) are torn down at exit in an order that a static
    // application object would break.
    static QApplication* const app = new QApplication(argc, argv);
    // The desktop matches the windows to the installed desktop entry (Wayland app id, the
    // dock's icon and name) and shows the theme's icon of the program.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.q208.Q208"));
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("q208")));
    (void)app;
}

CQtPlatform::CQtPlatform() : timer_(std::make_unique<QTimer>()), foreignTimer_(std::make_unique<QTimer>()) {
    EnsureQtApplication();
    CQtAccessibleWindow::InstallFactory();
    timer_->setSingleShot(true);
    foreignTimer_->setSingleShot(true);
    QObject::connect(foreignTimer_.get(), &QTimer::timeout, foreignTimer_.get(), [this] {
        if (ourLoopDepth_ == 0 && !foreignSavedDepths_.empty()) PumpForeignLoop();
    });
}

CQtPlatform::~CQtPlatform() = default;

bool CQtPlatform::OnGuiThread() const {
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

std::unique_ptr<IWindowSurface> CQtPlatform::CreateSurface(const SurfaceParams& params, IWindowEventSink& sink) {
    return std::make_unique<CQtSurface>(params, sink);
}

uint64_t CQtPlatform::NowMs() const { return TickCount64(); }

QSocketNotifier& CQtPlatform::NotifierFor(const Event& wake) {
    auto& slot = notifiers_[wake.Fd()];
    if (!slot) {
        slot = std::make_unique<QSocketNotifier>(wake.Fd(), QSocketNotifier::Read);
        QSocketNotifier* notifier = slot.get();
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this, notifier] {
            if (ourLoopDepth_ == 0) OnWakeOutsideOurLoop(*notifier);
        });
    }
    return *slot;
}

CQtPlatform::ForeignLoopScope::ForeignLoopScope() {
    platform_ = dynamic_cast<CQtPlatform*>(&UiPlatform());
    if (platform_ && !platform_->OnGuiThread()) platform_ = nullptr;
    if (platform_) platform_->EnterForeignLoop();
}

CQtPlatform::ForeignLoopScope::~ForeignLoopScope() {
    if (platform_) platform_->LeaveForeignLoop();
}

// The foreign loop may have been entered from inside one of ours (a click handler opened
// the dialog): for its duration the layer counts as not looping, so that the wake
// descriptor is served there.
void CQtPlatform::EnterForeignLoop() {
    foreignSavedDepths_.push_back(ourLoopDepth_);
    ourLoopDepth_ = 0;
    NotifierFor(CMessageQueue::Current().WakeEvent()).setEnabled(true);
    ArmForeignTimer();
}

void CQtPlatform::LeaveForeignLoop() {
    if (foreignSavedDepths_.empty()) return;
    ourLoopDepth_ = foreignSavedDepths_.back();
    foreignSavedDepths_.pop_back();
    if (foreignSavedDepths_.empty()) foreignTimer_->stop();
}

void CQtPlatform::ArmForeignTimer() {
    if (foreignSavedDepths_.empty()) return;
    const auto next = CMessageQueue::Current().Timers().NextDeadline();
    if (!next) {
        foreignTimer_->stop();
        return;
    }
    const uint64_t now = NowMs();
    foreignTimer_->start(*next <= now ? 0 : static_cast<int>(std::min<uint64_t>(*next - now, INT_MAX)));
}

void CQtPlatform::PumpForeignLoop() {
    CMessageQueue::Current().ProcessPending();
    ArmForeignTimer();
}

void CQtPlatform::OnWakeOutsideOurLoop(QSocketNotifier& notifier) {
    CMessageQueue& queue = CMessageQueue::Current();
    queue.ProcessPending();
    ArmForeignTimer();
    // Still signalled (a quit request waits for our loop): stop the notifier from firing
    // until our loop waits again.
    if (queue.WakeEvent().IsSet()) notifier.setEnabled(false);
}

void CQtPlatform::WaitForEvents(const Event& wake, int timeoutMs) {
    if (!OnGuiThread()) {
        Event::WaitAny({&wake}, timeoutMs);
        return;
    }
    if (wake.IsSet()) return;
    DepthGuard depth(ourLoopDepth_);
    QSocketNotifier& notifier = NotifierFor(wake);
    notifier.setEnabled(true);
    if (timeoutMs == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    if (timeoutMs > 0) timer_->start(timeoutMs);
    // Returns once something was handled: a native event, the wake descriptor or the timer.
    QAbstractEventDispatcher::instance()->processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    timer_->stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void CQtPlatform::ProcessNativeEvents() {
    if (!OnGuiThread()) return;
    DepthGuard depth(ourLoopDepth_);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Widgets of surfaces destroyed from inside their own event handlers go now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

UiRect CQtPlatform::WorkArea() const {
    if (QScreen* screen = QGuiApplication::primaryScreen()) return qtconv::Rect(screen->availableGeometry());
    return {0, 0, 1920, 1080};
}

int CQtPlatform::SystemDpi() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 96;
    // Qt already scales when it runs with a device-pixel ratio; the layer scales the rest.
    const double dpi = screen->logicalDotsPerInch();
    return dpi > 0 ? static_cast<int>(std::lround(dpi)) : 96;
}

UiPoint CQtPlatform::CursorPos() const {
    const QPoint pos = QCursor::pos();
    return {pos.x(), pos.y()};
}

UiSize CQtPlatform::MeasureText(const std::string& text, const FontDesc& font) const {
    const QFontMetrics metrics(qtconv::Font(font));
    return {metrics.horizontalAdvance(qtconv::Str(text)), metrics.height()};
}

}  // namespace q208
