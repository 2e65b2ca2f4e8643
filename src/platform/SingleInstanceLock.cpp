#include "platform/SingleInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Paths.h"
#include "platform/Trace.h"

namespace q208 {

SingleInstanceLock::SingleInstanceLock() {
    // Without a safe runtime folder there is no lock file; the program refuses to start then.
    if (const auto folder = RuntimeFolder(); !folder.empty()) lockFile_ = folder / kLockFileName;
}

SingleInstanceLock::SingleInstanceLock(std::filesystem::path lockFile) : lockFile_(std::move(lockFile)) {}

SingleInstanceLock::~SingleInstanceLock() { Release(); }

bool SingleInstanceLock::Acquire() {
    if (held_) return true;
    if (fd_ < 0 && lockFile_.empty()) return true;
    if (fd_ < 0) fd_ = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        // Start-up goes on as the first copy when the lock cannot be had at all.
        Trace("single instance: cannot open '%s': %s", lockFile_.c_str(), std::strerror(errno));
        return true;
    }
    int result;
    do {
        result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        held_ = true;
        return true;
    }
    if (errno != EWOULDBLOCK) {
        Trace("single instance: flock '%s' failed: %s", lockFile_.c_str(), std::strerror(errno));
        return true;
    }
    ::close(fd_);
    fd_ = -1;
    return false;
}

void SingleInstanceLock::Release() {
    if (fd_ >= 0) ::close(fd_);  // closing the descriptor drops the lock
    fd_ = -1;
    held_ = false;
}

}  // namespace q208
