#pragma once

#include <filesystem>
#include <string>

namespace q208 {

// The window title names the per-user folders, as on every platform the program runs on.
inline constexpr const char* kProductTitle = "Tulmaro Q208 3 MODES MECHANICAL KEYBOARD&MOUSE BUNDLE";

// $XDG_DATA_HOME (default ~/.local/share) / product title: profiles, macros, the log.
std::filesystem::path UserDataFolder();
// $XDG_CONFIG_HOME (default ~/.config) / product title: settings.json.
std::filesystem::path UserConfigFolder();
std::filesystem::path SettingsFile();
// $XDG_RUNTIME_DIR/q208 (fallback /tmp/q208-<uid>), created with mode 0700: lock file and
// message endpoints. Empty when the folder is not safe to use (RuntimeFolderProblem).
std::filesystem::path RuntimeFolder();
// Why the runtime folder cannot be used, or "" when it can. Another user who owns it, or
// can write into it, could put sockets there that pose as our windows.
std::string RuntimeFolderProblem();
// Creates `folder` with mode 0700 when it is missing and checks that it is a directory
// (not a link) of this user with exactly that mode: "" when it is, else the reason.
std::string CheckPrivateFolder(const std::filesystem::path& folder);

// Read-only program data: skin/, DefaultData/, Font/.
struct DataRoot {
    std::filesystem::path skin;
    std::filesystem::path defaultData;
    std::filesystem::path fonts;
    // Why this root: "Q208_DATA_DIR", "installed", "source tree", "installed (missing)".
    std::string origin;
};
// Q208_DATA_DIR when set (installed layout); else <exe>/../share/q208, so that a tree
// installed or unpacked into any prefix finds its own data; a program that runs from its
// build folder reads the source tree it was built from (skin/, data/DefaultData,
// data/Font). An installed program never falls back to the source tree.
DataRoot FindDataRoot();
// The same for an executable in `executableFolder`.
DataRoot FindDataRootFor(const std::filesystem::path& executableFolder);
// The running program's executable (/proc/self/exe); empty when it cannot be read.
std::filesystem::path ExecutablePath();

// Creates a folder level by level; true when it exists afterwards.
bool EnsureFolder(const std::filesystem::path& folder);

}  // namespace q208
