#pragma once

#include <filesystem>

namespace q208 {

// Only one copy of the program runs per user: the first copy holds an exclusive flock on a
// lock file in the runtime folder until it ends. The kernel drops the lock with the
// process, so a lock file left behind by a crashed copy never blocks the next start.
class SingleInstanceLock {
public:
    // RuntimeFolder()/q208.lock
    SingleInstanceLock();
    explicit SingleInstanceLock(std::filesystem::path lockFile);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True for the first copy (also when called again while held); false when another
    // holder has the lock. A lock file that cannot be opened counts as first copy, so a
    // broken runtime folder never keeps the program from starting.
    bool Acquire();
    void Release();
    bool IsHeld() const { return held_; }
    const std::filesystem::path& LockFile() const { return lockFile_; }

    static constexpr const char* kLockFileName = "q208.lock";

private:
    std::filesystem::path lockFile_;
    int fd_ = -1;
    bool held_ = false;
};

}  // namespace q208
