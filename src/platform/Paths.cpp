#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

DataRoot InstalledLayout(const fs::path& root, std::string origin) {
    return DataRoot{root / "skin", root / "DefaultData", root / "Font", std::move(origin)};
}

// Whether `inner` is `outer` or lies below it, after resolving links and "..".
bool IsWithin(const fs::path& inner, const fs::path& outer) {
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(inner, ec);
    const fs::path b = fs::weakly_canonical(outer, ec);
    return !b.empty() && std::mismatch(b.begin(), b.end(), a.begin(), a.end()).first == b.end();
}

}  // namespace

fs::path UserDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share") / kProductTitle; }

fs::path UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config") / kProductTitle; }

fs::path SettingsFile() { return UserConfigFolder() / "settings.json"; }

namespace {

fs::path RuntimeFolderPath() {
    const fs::path base = EnvPath("XDG_RUNTIME_DIR");
    return base.empty() ? fs::path("/tmp") / ("q208-" + std::to_string(getuid())) : base / "q208";
}

}  // namespace

std::string CheckPrivateFolder(const fs::path& folder) {
    const std::string name = "'" + folder.string() + "'";
    std::error_code ec;
    fs::create_directories(folder.parent_path(), ec);  // the levels above are not ours to check
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return "the folder " + name + " cannot be created: " + std::strerror(errno);
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) return "the folder " + name + " cannot be read: " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode)) return name + " is not a folder";
    if (info.st_uid != ::getuid()) return "the folder " + name + " belongs to another user";
    if ((info.st_mode & 07777) != 0700) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return "the folder " + name + " has mode " + mode + ", not 0700";
    }
    return {};
}

std::string RuntimeFolderProblem() { return CheckPrivateFolder(RuntimeFolderPath()); }

fs::path RuntimeFolder() { return RuntimeFolderProblem().empty() ? RuntimeFolderPath() : fs::path(); }

fs::path ExecutablePath() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe;
}

DataRoot FindDataRootFor(const fs::path& executableFolder) {
    if (fs::path env = EnvPath("Q208_DATA_DIR"); !env.empty()) return InstalledLayout(env, "Q208_DATA_DIR");
    const fs::path installed = (executableFolder / ".." / "share" / "q208").lexically_normal();
    std::error_code ec;
    if (fs::is_directory(installed / "skin", ec)) return InstalledLayout(installed, "installed");
    if (IsWithin(executableFolder, Q208_BUILD_DIR)) {
        const fs::path source(Q208_SOURCE_DIR);
        return DataRoot{source / "skin", source / "data" / "DefaultData", source / "data" / "Font", "source tree"};
    }
    return InstalledLayout(installed, "installed (missing)");
}

DataRoot FindDataRoot() { return FindDataRootFor(ExecutablePath().parent_path()); }

bool EnsureFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

}  // namespace q208
