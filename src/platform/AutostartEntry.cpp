#include "platform/AutostartEntry.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/Paths.h"
#include "platform/Trace.h"

namespace q208 {
namespace fs = std::filesystem;
namespace {

// An Exec argument: plain when it has only safe characters, else in double quotes with
// the characters the format reserves escaped, and every backslash escaped once more for
// the string value around it; '%' is a field code unless doubled.
std::string ExecArgument(const std::string& path) {
    const bool plain = path.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._+-") ==
                       std::string::npos;
    if (plain) return path;
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$') quoted += "\\\\";
        if (c == '\\') quoted += "\\\\\\";
        if (c == '%') quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

fs::path AutostartEntry::File() { return UserConfigFolder().parent_path() / "autostart" / kFileName; }

bool AutostartEntry::IsEnabled() {
    std::ifstream in(File());
    if (!in) return false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("Hidden=true", 0) == 0) return false;
    }
    return true;
}

std::string AutostartEntry::Text(const fs::path& executable) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Q208 Configurator\n"
           "Comment=Set up the keys, lighting, DPI and profiles of the Tulmaro Q208 devices\n"
           "Exec=" + ExecArgument(executable.string()) + "\n"
           "Icon=q208\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEntry::Enable(const fs::path& executable) {
    const fs::path file = File();
    if (!EnsureFolder(file.parent_path())) {
        Trace("autostart: cannot create %s\n", file.parent_path().c_str());
        return false;
    }
    const fs::path temporary = file.string() + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << Text(executable);
        if (!out.flush()) {
            Trace("autostart: cannot write %s\n", temporary.c_str());
            std::error_code ec;
            fs::remove(temporary, ec);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temporary, file, ec);
    if (ec) {
        Trace("autostart: cannot write %s: %s\n", file.c_str(), ec.message().c_str());
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool AutostartEntry::Disable() {
    std::error_code ec;
    fs::remove(File(), ec);
    return !fs::exists(File(), ec);
}

}  // namespace q208
