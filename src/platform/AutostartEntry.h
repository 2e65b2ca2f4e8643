#pragma once

#include <filesystem>
#include <string>

namespace q208 {

// "Start with the desktop": the user's autostart entry, $XDG_CONFIG_HOME/autostart/
// org.q208.Q208.desktop (XDG autostart), which starts this executable at log-in.
class AutostartEntry {
public:
    static constexpr const char* kFileName = "org.q208.Q208.desktop";

    // The entry in the user's autostart folder.
    static std::filesystem::path File();
    // True when the entry exists and the desktop has not switched it off (Hidden=true).
    static bool IsEnabled();
    // Writes the entry for `executable` (replacing the file in one step); false with a
    // trace when it cannot be written.
    static bool Enable(const std::filesystem::path& executable);
    // Removes the entry; true when none is left.
    static bool Disable();
    // The entry's text; the path is quoted as the desktop entry format wants it.
    static std::string Text(const std::filesystem::path& executable);
};

}  // namespace q208
