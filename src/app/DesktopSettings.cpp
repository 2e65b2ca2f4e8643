#include "app/DesktopSettings.h"

#include <cstdlib>

#include "platform/ProcessLauncher.h"
#include "platform/Trace.h"

namespace q208 {

namespace {

struct SettingsProgram {
    const char* program;
    const char* keyboard;
    const char* mouse;
};

// GNOME's, then KDE's; whichever the desktop has.
constexpr SettingsProgram kPrograms[] = {
    {"gnome-control-center", "keyboard", "mouse"},
    {"systemsettings", "kcm_keyboard", "kcm_mouse"},
};

}  // namespace

DesktopSettings::DesktopSettings(Launcher launcher) : launcher_(std::move(launcher)) {
    if (!launcher_) launcher_ = [](const std::vector<std::string>& argv) { return SpawnDetached(argv); };
}

std::optional<std::vector<std::string>> DesktopSettings::CommandFor(Panel panel, const std::string& path) {
    for (const SettingsProgram& entry : kPrograms) {
        const auto program = FindOnPath(entry.program, path);
        if (!program) continue;
        return std::vector<std::string>{program->string(), panel == Panel::Keyboard ? entry.keyboard : entry.mouse};
    }
    return std::nullopt;
}

bool DesktopSettings::Open(Panel panel) const {
    const char* path = std::getenv("PATH");
    const auto command = CommandFor(panel, path ? path : "");
    if (!command) {
        Trace("main window: no settings program of the desktop was found\n");
        return false;
    }
    if (!launcher_(*command)) {
        Trace("main window: %s did not start\n", command->front().c_str());
        return false;
    }
    return true;
}

}  // namespace q208
