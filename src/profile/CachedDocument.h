#pragma once

#include <json/value.h>

#include <ctime>
#include <filesystem>
#include <optional>

namespace q208 {

// The last profile document a profile object read or wrote, reused while the file on disk
// is unchanged, so that saving after every edit does not parse the whole file again. Any
// change of the file (another program, the profile list rewriting it) shows in its inode,
// size or times and makes the next Get read it again.
class CachedDocument {
public:
    // The document at path (ReadProfileDocument), from memory when the file is unchanged.
    Json::Value& Get(const std::filesystem::path& path);
    // True when the file Get last looked at must not be written over (it could not be read).
    bool Locked() const { return locked_; }
    // To be called after the document returned by Get was written to path (or failed to).
    void Written(const std::filesystem::path& path, bool ok);

private:
    struct Stamp {
        dev_t device;
        ino_t inode;
        off_t size;
        timespec modified;
        timespec changed;
        bool operator==(const Stamp& other) const;
    };
    static std::optional<Stamp> StampOf(const std::filesystem::path& path);

    std::filesystem::path path_;
    std::optional<Stamp> stamp_;
    Json::Value document_;
    bool locked_ = false;
};

}  // namespace q208
