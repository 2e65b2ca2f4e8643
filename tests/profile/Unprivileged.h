#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <system_error>

// The tests run as root, and root reads and writes files whatever their mode. What a user
// meets with a file of mode 000 or a read-only folder is tried in a child process that has
// dropped to the unprivileged user "nobody" (as itself when the tests are not root).
inline constexpr uid_t kNobody = 65534;

// Hands a folder and everything in it to the user the child will run as.
inline void GiveToUnprivileged(const std::filesystem::path& folder) {
    if (geteuid() != 0) return;
    std::error_code error;
    [[maybe_unused]] int rc = ::chown(folder.c_str(), kNobody, kNobody);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        rc = ::lchown(entry.path().c_str(), kNobody, kNobody);
    }
}

// Runs `body` in a child as that user; true when the child could drop its privileges and
// `body` returned true. Use EXPECT_TRUE on it and report details from the parent.
inline bool RunUnprivileged(const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(2);
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
