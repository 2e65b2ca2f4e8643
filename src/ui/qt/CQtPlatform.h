#pragma once

#include <map>
#include <memory>
#include <vector>

#include "ui/IUiPlatform.h"

class QSocketNotifier;
class QTimer;

namespace q208 {

// The window layer on Qt: surfaces are top-level QWidgets, the layer's message loop waits
// in Qt's event dispatcher (the queue's wake descriptor and the next timer wake it), text
// is measured with QFontMetrics. Needs a QApplication (EnsureQtApplication) and is used
// from the thread that created it; other threads running a message queue of their own
// simply wait on their wake event.
class CQtPlatform : public IUiPlatform {
public:
    CQtPlatform();
    ~CQtPlatform() override;

    std::unique_ptr<IWindowSurface> CreateSurface(const SurfaceParams& params, IWindowEventSink& sink) override;
    uint64_t NowMs() const override;
    void WaitForEvents(const Event& wake, int timeoutMs) override;
    void ProcessNativeEvents() override;
    UiRect WorkArea() const override;
    int SystemDpi() const override;
    UiPoint CursorPos() const override;
    UiSize MeasureText(const std::string& text, const FontDesc& font) const override;

    // While a loop other than the layer's runs on the UI thread (a native modal dialog's
    // exec), the layer's posted messages and control timers are handled from inside that
    // loop: device timers and workers' messages do not wait for the dialog to close.
    // Does nothing when the installed platform is not a Qt one or off the UI thread.
    class ForeignLoopScope {
    public:
        ForeignLoopScope();
        ~ForeignLoopScope();
        ForeignLoopScope(const ForeignLoopScope&) = delete;
        ForeignLoopScope& operator=(const ForeignLoopScope&) = delete;

    private:
        CQtPlatform* platform_ = nullptr;
    };

private:
    void EnterForeignLoop();
    void LeaveForeignLoop();
    // Runs what is due and arms the foreign-loop timer for the next control timer.
    void PumpForeignLoop();
    void ArmForeignTimer();
    bool OnGuiThread() const;
    QSocketNotifier& NotifierFor(const Event& wake);
    // The wake descriptor fired while a loop other than ours runs (a native dialog):
    // the layer's messages are handled there too.
    void OnWakeOutsideOurLoop(QSocketNotifier& notifier);

    std::map<int, std::unique_ptr<QSocketNotifier>> notifiers_;
    std::unique_ptr<QTimer> timer_;
    std::unique_ptr<QTimer> foreignTimer_;
    int ourLoopDepth_ = 0;
    std::vector<int> foreignSavedDepths_;
};

// Creates the process's QApplication when none exists (tests, the render command).
void EnsureQtApplication();

}  // namespace q208
