#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Event.h"
#include "ui/IUiPlatform.h"

namespace q208 {

class CHeadlessSurface;

// A platform without a display. Surfaces only remember what was asked of them; input is
// injected by calling the window's IWindowEventSink directly. The clock is the steady
// clock, or a manual clock that only moves with AdvanceClock (deterministic timer tests).
class CHeadlessPlatform : public IUiPlatform {
public:
    CHeadlessPlatform() = default;

    // Switches to a manual clock starting at `startMs`.
    void UseManualClock(uint64_t startMs = 1000);
    bool HasManualClock() const { return manual_.load(); }
    // Moves the manual clock forward and wakes a UI thread waiting for a timer.
    void AdvanceClock(uint64_t ms);

    std::unique_ptr<IWindowSurface> CreateSurface(const SurfaceParams& params,
                                                  IWindowEventSink& sink) override;
    uint64_t NowMs() const override;
    void WaitForEvents(const Event& wake, int timeoutMs) override;
    void ProcessNativeEvents() override {}
    UiRect WorkArea() const override { return workArea_; }
    int SystemDpi() const override { return 96; }
    // Average glyph width of half the font size, line height of the font size.
    UiSize MeasureText(const std::string& text, const FontDesc& font) const override;

    void SetWorkArea(const UiRect& area) { workArea_ = area; }
    UiPoint CursorPos() const override { return cursor_ ? *cursor_ : IUiPlatform::CursorPos(); }
    void SetCursorPos(UiPoint pos) { cursor_ = pos; }

private:
    std::atomic<bool> manual_{false};
    std::atomic<uint64_t> manualNow_{0};
    Event clockMoved_{Event::ResetMode::Auto};
    UiRect workArea_{0, 0, 1920, 1080};
    std::optional<UiPoint> cursor_;
};

}  // namespace q208
