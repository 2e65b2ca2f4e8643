#include "ui/CHeadlessPlatform.h"

#include "platform/TickCount.h"
#include "ui/CHeadlessSurface.h"

namespace q208 {

void CHeadlessPlatform::UseManualClock(uint64_t startMs) {
    manualNow_ = startMs;
    manual_ = true;
}

void CHeadlessPlatform::AdvanceClock(uint64_t ms) {
    manualNow_ += ms;
    clockMoved_.Set();
}

std::unique_ptr<IWindowSurface> CHeadlessPlatform::CreateSurface(const SurfaceParams& params,
                                                                 IWindowEventSink& sink) {
    return std::make_unique<CHeadlessSurface>(params, sink);
}

uint64_t CHeadlessPlatform::NowMs() const {
    return manual_ ? manualNow_.load() : TickCount64();
}

void CHeadlessPlatform::WaitForEvents(const Event& wake, int timeoutMs) {
    if (wake.IsSet()) return;
    if (!manual_) {
        Event::WaitAny({&wake}, timeoutMs);  // the wake event is manual-reset: not consumed
        return;
    }
    // With a manual clock a time-out means "until the clock moves": the loop re-checks
    // its timers after every AdvanceClock.
    if (timeoutMs == 0) return;
    Event::WaitAny({&wake, &clockMoved_}, -1);
}

UiSize CHeadlessPlatform::MeasureText(const std::string& text, const FontDesc& font) const {
    int glyphs = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) ++glyphs;  // count UTF-8 lead bytes
    }
    return {glyphs * std::max(1, font.size / 2), font.size};
}

}  // namespace q208
