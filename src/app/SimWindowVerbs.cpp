#include "app/SimWindowVerbs.h"

#include <chrono>
#include <cstdio>
#include <future>
#include <sstream>

#include "app/CMainWnd.h"
#include "app/CSetWnd.h"
#include "app/CSkinFrame.h"
#include "editors/KeyAssignTables.h"
#include "sim/SimControl.h"
#include "ui/CControlUI.h"
#include "ui/CMessageQueue.h"
#include "ui/CPaintManagerUI.h"
#include "ui/IWindowSurface.h"
#include "ui/ScanCodes.h"
#include "ui/qt/SyntheticInput.h"
#include "ui/qt/WindowSnapshot.h"

namespace q208 {

namespace {

using sim::SimVerbResult;
using sim::SimVerbs;

bool ShownWithItsParents(const CControlUI* control) {
    for (; control; control = control->GetParent()) {
        if (!control->IsVisible()) return false;
    }
    return true;
}

// The control of that name the user can see: pages of several devices share control names
// ("key_3", "keyset_function_combo"), and only the shown page's is meant.
CControlUI* ShownControl(CPaintManagerUI& manager, const std::string& name) {
    CControlUI* first = manager.FindControl(name);
    if (!first || ShownWithItsParents(first) || !manager.GetRoot()) return first;
    CControlUI* shown = manager.GetRoot()->FindControl(
        [&name](CControlUI* c) { return c->GetName() == name && ShownWithItsParents(c) ? c : nullptr; }, UIFIND_ALL);
    return shown ? shown : first;
}

// "skin/NAME" names a control of the skin frame, "NAME" one of the main window.
struct Target {
    WindowImplBase* window = nullptr;
    std::string control;
};

WindowImplBase* WindowNamed(CMainWnd& main, const std::string& name) {
    if (name == "main") return &main;
    if (name == "skin") return main.SkinFrame();
    if (name == "settings") return main.SettingsWindow();
    return nullptr;
}

Target TargetOf(CMainWnd& main, const std::string& argument) {
    const size_t slash = argument.find('/');
    if (slash == std::string::npos) return {&main, argument};
    return {WindowNamed(main, argument.substr(0, slash)), argument.substr(slash + 1)};
}

// "WINDOW/FILE" saves a child window ("settings//tmp/set.png"); any other FILE the main window.
SimVerbResult Screenshot(CMainWnd& main, const std::string& argument) {
    WindowImplBase* window = &main;
    std::string file = argument;
    if (const size_t slash = argument.find('/'); slash != std::string::npos && slash > 0) {
        if (WindowImplBase* named = WindowNamed(main, argument.substr(0, slash))) {
            window = named;
            file = argument.substr(slash + 1);
        } else if (argument.substr(0, slash) == "skin" || argument.substr(0, slash) == "settings") {
            return {SimVerbs::kRefused, "that window is not open: " + argument};
        }
    }
    std::string error;
    if (!SaveWindowPng(window->GetPaintManager(), file, &error)) return {SimVerbs::kRefused, error};
    return {SimVerbs::kDone, file + "\n"};
}

SimVerbResult Probe(CMainWnd& main, const std::string& argument) {
    const Target target = TargetOf(main, argument);
    if (!target.window) return {SimVerbs::kRefused, "that window is not open: " + argument};
    CControlUI* control = ShownControl(target.window->GetPaintManager(), target.control);
    if (!control) return {SimVerbs::kRefused, "no control named " + target.control};
    if (!control->IsVisible()) return {SimVerbs::kRefused, target.control + " is not shown"};
    std::string error;
    const auto colour = MeanColourOf(target.window->GetPaintManager(), control->GetPos(), &error);
    if (!colour) return {SimVerbs::kRefused, error};
    char text[16];
    std::snprintf(text, sizeof text, "%06x", static_cast<unsigned>(*colour));
    return {SimVerbs::kDone, argument + " " + text + "\n"};
}

SimVerbResult Click(CMainWnd& main, const std::string& argument) {
    const Target target = TargetOf(main, argument);
    if (!target.window) return {SimVerbs::kRefused, "that window is not open: " + argument};
    UiPoint point{-10, -10};  // "outside": beside the window's top-left corner
    if (target.control != "outside") {
        target.window->GetPaintManager().DoLayout();
        CControlUI* control = ShownControl(target.window->GetPaintManager(), target.control);
        if (!control || !ShownWithItsParents(control))
            return {SimVerbs::kRefused, "no control shown named " + target.control};
        const UiRect rc = control->GetPos();
        point = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    if (!SendClickTo(*target.window, point)) return {SimVerbs::kRefused, "the window takes no input"};
    return {SimVerbs::kDone, "clicked " + argument + "\n"};
}

SimVerbResult Key(CMainWnd& main, const std::string& argument) {
    const Target target = TargetOf(main, argument);
    if (!target.window) return {SimVerbs::kRefused, "that window is not open: " + argument};
    if (target.control == "escape") {
        if (!SendKeyTo(*target.window, VK_ESCAPE)) return {SimVerbs::kRefused, "the window takes no input"};
        return {SimVerbs::kDone, "pressed " + argument + "\n"};
    }
    // Any other key by its name in the key table, as the physical key sends it.
    const auto position = keytables::FindKeyByName(target.control);
    const auto evdev = position && *position < keytables::kCaptureTableSize
                           ? EvdevFromScanCode({keytables::CaptureTable()[*position].scanCode,
                                                keytables::CaptureTable()[*position].extended})
                           : std::nullopt;
    if (!evdev) return {SimVerbs::kRefused, "no such key"};
    if (!SendPhysicalKeyTo(*target.window, *evdev)) return {SimVerbs::kRefused, "the window takes no input"};
    return {SimVerbs::kDone, "pressed " + argument + "\n"};
}

SimVerbResult Text(CMainWnd& main, const std::string& argument) {
    const Target target = TargetOf(main, argument);
    CControlUI* control = target.window ? ShownControl(target.window->GetPaintManager(), target.control) : nullptr;
    if (!control) return {SimVerbs::kRefused, "no control named " + argument};
    return {SimVerbs::kDone, argument + ": " + control->GetText() + "\n"};
}

// Minimising and restoring the main window, and what it has painted since it opened.
std::optional<SimVerbResult> MainWindowState(CMainWnd& window, const std::string& what) {
    IWindowSurface* surface = window.GetSurface();
    if (what != "minimize" && what != "restore" && what != "paints") return std::nullopt;
    if (!surface) return SimVerbResult{SimVerbs::kRefused, "the window has no surface"};
    if (what == "minimize") surface->Minimize();
    if (what == "restore") surface->Restore();
    if (what != "paints") return SimVerbResult{SimVerbs::kDone, ""};
    return SimVerbResult{SimVerbs::kDone, "paints " + std::to_string(window.SurfacePaints()) + ' ' +
                                              std::to_string(window.SurfacePaintedPixels()) + '\n'};
}

SimVerbResult Window(CMainWnd& main, const std::string& name) {
    if (auto state = MainWindowState(main, name)) return *state;
    WindowImplBase* window = WindowNamed(main, name);
    if (!window) return {SimVerbs::kRefused, name + " is not open"};
    const UiRect rc = window->GetWindowRect();
    const IWindowSurface* surface = window->GetSurface();
    char text[160];
    std::snprintf(text, sizeof text, "%s %dx%d+%d+%d dpi %d shown %d max %d\n", name.c_str(), rc.Width(), rc.Height(),
                  rc.left, rc.top, window->GetPaintManager().GetDPI(), window->IsWindowVisible() ? 1 : 0,
                  surface && surface->IsMaximized() ? 1 : 0);
    return {SimVerbs::kDone, text};
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
    {"key", Key, sim::kSimWindowVerbSynopsis[3]},
    {"window", Window, sim::kSimWindowVerbSynopsis[4]},
    {"text", Text, sim::kSimWindowVerbSynopsis[5]},
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
