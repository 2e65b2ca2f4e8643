#pragma once

#include <map>
#include <memory>

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

private:
    bool OnGuiThread() const;
    QSocketNotifier& NotifierFor(const Event& wake);
    // The wake descriptor fired while a loop other than ours runs (a native dialog):
    // the layer's messages are handled there too.
    void OnWakeOutsideOurLoop(QSocketNotifier& notifier);

    std::map<int, std::unique_ptr<QSocketNotifier>> notifiers_;
    std::unique_ptr<QTimer> timer_;
    int ourLoopDepth_ = 0;
};

// Creates the process's QApplication when none exists (tests, the render command).
void EnsureQtApplication();

}  // namespace q208
