#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Event.h"
#include "ui/IWindowSurface.h"
#include "ui/UiTypes.h"

namespace q208 {

// The platform under the window layer. The window layer itself owns the message queue, the
// timers, layout, hit testing and painting order; a backend only supplies native windows,
// a clock, a way to sleep until something happens, and text measurement.
//
// How a backend drives the layer:
//  - CPaintManagerUI::MessageLoop (and modal loops) run on the UI thread. Each turn they call
//    ProcessNativeEvents(), dispatch queued window messages and due timers, then call
//    WaitForEvents(wake, ms) with the time until the next timer (-1: none).
//  - WaitForEvents must return when `wake` becomes signalled (another thread posted a
//    message; the descriptor wake.Fd() turns readable, e.g. for a QSocketNotifier), when
//    native events arrived (after handling them), or when the time-out passed. `wake` is a
//    manual-reset event that the queue resets itself before draining.
//  - Native input and paint requests go to the IWindowEventSink given to CreateSurface,
//    on the UI thread, from inside ProcessNativeEvents or WaitForEvents.
//  - Timers need no native support: the layer schedules them from NowMs().
class IUiPlatform {
public:
    virtual ~IUiPlatform() = default;

    virtual std::unique_ptr<IWindowSurface> CreateSurface(const SurfaceParams& params,
                                                          IWindowEventSink& sink) = 0;
    // Monotonic milliseconds; all timers of the layer run on this clock.
    virtual uint64_t NowMs() const = 0;
    virtual void WaitForEvents(const Event& wake, int timeoutMs) = 0;
    // Handles native events already pending, without waiting.
    virtual void ProcessNativeEvents() = 0;
    // Available area of the primary screen in screen coordinates (for centring).
    virtual UiRect WorkArea() const = 0;
    // Dots per inch of the primary screen (96 = scale 1).
    virtual int SystemDpi() const = 0;
    // Where the pointer is, in screen coordinates (menus open there).
    virtual UiPoint CursorPos() const {
        const UiRect area = WorkArea();
        return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    }
    // Size of single-line `text` in `font` (already DPI-scaled), in pixels.
    virtual UiSize MeasureText(const std::string& text, const FontDesc& font) const = 0;
};

// The process-wide platform. Until one is installed, a headless platform with the real
// clock is used, so that tests and tools need no display.
IUiPlatform& UiPlatform();
void SetUiPlatform(std::shared_ptr<IUiPlatform> platform);

}  // namespace q208
