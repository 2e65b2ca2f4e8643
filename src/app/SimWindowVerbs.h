#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "sim/SimVerbs.h"

namespace q208 {

class CMainWnd;
class CMessageQueue;

// Verbs of a simulating q208 that look at the window rather than the emulated devices, so
// that a script sees what the user would see:
//   screenshot FILE     the main window as a PNG
//   probe CONTROL       the mean colour of a control of the main window, "CONTROL rrggbb"
//   click CONTROL       a left click in the middle of a shown control
//   window minimize|restore|paints
//                       minimise or restore the window; "paints N AREA" since it opened
// They come in on the emulator endpoint's thread and run on the window's thread; the
// caller waits a bounded time for them.
class SimWindowVerbs {
public:
    static constexpr int kWaitMs = 5000;

    // `window` is read on the window's thread only; it is null once the window is gone.
    SimWindowVerbs(std::shared_ptr<CMessageQueue> windowQueue, std::shared_ptr<CMainWnd*> window);

    // The verb's result, or nothing when the line is not one of these verbs.
    std::optional<sim::SimVerbResult> Run(const std::string& line) const;

private:
    sim::SimVerbResult OnWindowThread(std::function<sim::SimVerbResult(CMainWnd&)> verb) const;

    std::weak_ptr<CMessageQueue> queue_;
    std::shared_ptr<CMainWnd*> window_;
};

}  // namespace q208
