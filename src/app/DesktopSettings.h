#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace q208 {

// The desktop's own keyboard and mouse settings, opened from the main window's
// "windowdeviceset_" 0 (keyboard) and 1 (mouse). The first settings program found on the
// PATH is started, on its own; none found is for the caller to tell the user.
class DesktopSettings {
public:
    enum class Panel { Keyboard = 0, Mouse = 1 };

    // Runs a program detached from this process; false when it could not be started.
    using Launcher = std::function<bool(const std::vector<std::string>& argv)>;

    explicit DesktopSettings(Launcher launcher = {});

    // The command line that opens `panel`, or nothing when no settings program exists.
    static std::optional<std::vector<std::string>> CommandFor(Panel panel, const std::string& path);
    // Opens `panel`; false when no settings program exists or it did not start.
    bool Open(Panel panel) const;

private:
    Launcher launcher_;
};

}  // namespace q208
