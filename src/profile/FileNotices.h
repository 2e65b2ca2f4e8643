#pragma once

// Files of the user's that the program could not use, for the user to hear of once.
//
// The file layer notes a problem where it meets it (reading a profile, the profile list,
// the settings file); whoever talks to the user (the main window's notice line, the
// command-line tool's stderr) listens. Each file is told once per kind and process, so a
// profile read on every device poll does not repeat itself. Thread-safe.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace q208 {

enum class FileNoticeKind {
    Unreadable,  // exists but could not be read; left exactly as it was
    KeptAside,   // not a usable document; moved to `detail` (its "<name>.bad" copy)
    Unwritable,  // could not be saved (a full disk, a read-only folder); the old file stays
};

struct FileNotice {
    std::filesystem::path file;
    FileNoticeKind kind = FileNoticeKind::Unreadable;
    std::string detail;  // Unreadable: the reason; KeptAside: the new path
};

class FileNotices {
public:
    using Listener = std::function<void(const FileNotice&)>;

    // Tells the listener (on this thread), or keeps the notice until one is set. A notice
    // of a file and kind already told is dropped.
    static void Note(FileNotice notice);
    // Sets the listener and hands it the notices kept so far; returns the previous one.
    static Listener SetListener(Listener listener);
    // Forgets what was told (tests).
    static void Reset();
};

}  // namespace q208
