#include "app/SimWindowVerbs.h"

#include <chrono>
#include <cstdio>
#include <future>
#include <sstream>

#include "app/CMainWnd.h"
#include "sim/SimControl.h"
#include "ui/CControlUI.h"
#include "ui/CMessageQueue.h"
#include "ui/CPaintManagerUI.h"
#include "ui/IWindowSurface.h"
#include "ui/UiInput.h"
#include "ui/qt/WindowSnapshot.h"

namespace q208 {

namespace {

using sim::SimVerbResult;
using sim::SimVerbs;

SimVerbResult Screenshot(CMainWnd& window, const std::string& file) {
    std::string error;
    if (!SaveWindowPng(window.GetPaintManager(), file, &error)) return {SimVerbs::kRefused, error};
    return {SimVerbs::kDone, file + "\n"};
}

SimVerbResult Probe(CMainWnd& window, const std::string& name) {
    CControlUI* control = window.GetPaintManager().FindControl(name);
    if (!control) return {SimVerbs::kRefused, "no control named " + name};
    if (!control->IsVisible()) return {SimVerbs::kRefused, name + " is not shown"};
    std::string error;
    const auto colour = MeanColourOf(window.GetPaintManager(), control->GetPos(), &error);
    if (!colour) return {SimVerbs::kRefused, error};
    char text[16];
    std::snprintf(text, sizeof text, "%06x", static_cast<unsigned>(*colour));
    return {SimVerbs::kDone, name + " " + text + "\n"};
}

SimVerbResult Click(CMainWnd& window, const std::string& name) {
    CPaintManagerUI& pm = window.GetPaintManager();
    pm.DoLayout();
    CControlUI* control = pm.FindControl(name);
    if (!control) return {SimVerbs::kRefused, "no control named " + name};
    if (!control->IsShownInTree()) return {SimVerbs::kRefused, name + " is not shown"};
    const UiRect rc = control->GetPos();
    const UiPoint pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    window.OnPointer({PointerAction::Move, PointerButton::None, pt, 0, 0});
    window.OnPointer({PointerAction::Press, PointerButton::Left, pt, 0, MK_LBUTTON});
    window.OnPointer({PointerAction::Release, PointerButton::Left, pt, 0, 0});
    return {SimVerbs::kDone, ""};
}

SimVerbResult Window(CMainWnd& window, const std::string& what) {
    IWindowSurface* surface = window.GetSurface();
    if (!surface) return {SimVerbs::kRefused, "the window has no surface"};
    if (what == "minimize") {
        surface->Minimize();
    } else if (what == "restore") {
        surface->Restore();
    } else if (what == "paints") {
        return {SimVerbs::kDone, "paints " + std::to_string(window.SurfacePaints()) + ' ' +
                                     std::to_string(window.SurfacePaintedPixels()) + '\n'};
    } else {
        return {SimVerbs::kBadLine, "window takes minimize, restore or paints, not '" + what + "'"};
    }
    return {SimVerbs::kDone, ""};
}

struct WindowVerb {
    const char* name;
    SimVerbResult (*run)(CMainWnd&, const std::string& argument);
    const char* synopsis;
};
constexpr WindowVerb kWindowVerbs[] = {
    {"screenshot", Screenshot, sim::kSimWindowVerbSynopsis[0]},
    {"probe", Probe, sim::kSimWindowVerbSynopsis[1]},
    {"click", Click, sim::kSimWindowVerbSynopsis[2]},
    {"window", Window, sim::kSimWindowVerbSynopsis[3]},
};

}  // namespace

SimWindowVerbs::SimWindowVerbs(std::shared_ptr<CMessageQueue> windowQueue, std::shared_ptr<CMainWnd*> window)
    : queue_(std::move(windowQueue)), window_(std::move(window)) {}

std::optional<SimVerbResult> SimWindowVerbs::Run(const std::string& line) const {
    std::istringstream words(line);
    std::string name, argument, extra;
    words >> name >> argument;
    for (const WindowVerb& verb : kWindowVerbs) {
        if (name != verb.name) continue;
        if (argument.empty() || (words >> extra)) return SimVerbResult{SimVerbs::kBadLine, "usage: " + std::string(verb.synopsis)};
        return OnWindowThread([&verb, argument](CMainWnd& window) { return verb.run(window, argument); });
    }
    return std::nullopt;
}

SimVerbResult SimWindowVerbs::OnWindowThread(std::function<SimVerbResult(CMainWnd&)> verb) const {
    const auto queue = queue_.lock();
    if (!queue) return {SimVerbs::kRefused, "the window is gone"};
    auto result = std::make_shared<std::promise<SimVerbResult>>();
    std::future<SimVerbResult> done = result->get_future();
    const bool posted = queue->PostTask([window = window_, verb = std::move(verb), result] {
        if (!*window) {
            result->set_value({SimVerbs::kRefused, "the window is gone"});
            return;
        }
        result->set_value(verb(**window));
    });
    if (!posted || done.wait_for(std::chrono::milliseconds(kWaitMs)) != std::future_status::ready) {
        return {SimVerbs::kRefused, "the window did not answer"};
    }
    return done.get();
}


}  // namespace q208
