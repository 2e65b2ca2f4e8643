#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/Paths.h"

namespace q208::test {

// Points XDG_RUNTIME_DIR at a fresh short folder for the duration of a test, so endpoints
// and lock files of other tests and of a running program are never seen.
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder() {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) old_ = old, hadOld_ = true;
        char pattern[] = "/tmp/q208rt-XXXXXX";
        base_ = mkdtemp(pattern) ? pattern : "";
        EXPECT_FALSE(base_.empty());
        setenv("XDG_RUNTIME_DIR", base_.c_str(), 1);
        folder_ = RuntimeFolder();
    }
    ~PrivateRuntimeFolder() {
        hadOld_ ? setenv("XDG_RUNTIME_DIR", old_.c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
        std::error_code ec;
        std::filesystem::remove_all(base_, ec);
    }
    PrivateRuntimeFolder(const PrivateRuntimeFolder&) = delete;
    PrivateRuntimeFolder& operator=(const PrivateRuntimeFolder&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::string base_;
    std::filesystem::path folder_;
    std::string old_;
    bool hadOld_ = false;
};

}  // namespace q208::test
