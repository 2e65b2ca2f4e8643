#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace q208 {
namespace fs = std::filesystem;

namespace {

fs::path EnvPath(const char* name) {
    const char* v = std::getenv(name);
    return (v && *v) ? fs::path(v) : fs::path();
}

fs::path HomeFolder() {
    fs::path home = EnvPath("HOME");
    return home.empty() ? fs::path("/tmp") : home;
}

fs::path XdgFolder(const char* variable, const char* fallbackBelowHome) {
    fs::path p = EnvPath(variable);
    // Relative XDG values are invalid and must be ignored.
    if (p.empty() || p.is_relative()) p = HomeFolder() / fallbackBelowHome;
    return p;
}

DataRoot InstalledLayout(const fs::path& root) {
    return DataRoot{root / "skin", root / "DefaultData", root / "Font"};
}

}  // namespace

fs::path UserDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share") / kProductTitle; }

fs::path UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config") / kProductTitle; }

fs::path SettingsFile() { return UserConfigFolder() / "settings.json"; }

fs::path RuntimeFolder() {
    fs::path base = EnvPath("XDG_RUNTIME_DIR");
    fs::path folder = base.empty() ? fs::path("/tmp") / ("q208-" + std::to_string(getuid())) : base / "q208";
    std::error_code ec;
    fs::create_directories(folder, ec);
    chmod(folder.c_str(), 0700);
    return folder;
}

DataRoot FindDataRoot() {
    if (fs::path env = EnvPath("Q208_DATA_DIR"); !env.empty()) return InstalledLayout(env);
    std::error_code ec;
    if (fs::is_directory(fs::path(Q208_INSTALL_DATADIR) / "skin", ec)) return InstalledLayout(Q208_INSTALL_DATADIR);
    const fs::path source(Q208_SOURCE_DIR);
    return DataRoot{source / "skin", source / "data" / "DefaultData", source / "data" / "Font"};
}

bool EnsureFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

}  // namespace q208
