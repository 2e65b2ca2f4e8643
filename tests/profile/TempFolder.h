#pragma once

#include <gtest/gtest.h>
#include <json/value.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "profile/JsonFile.h"

// A fresh folder below the test temp folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string name = testing::TempDir() + "q208-profile-XXXXXX";
        path_ = mkdtemp(name.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline Json::Value Parse(const std::string& text) {
    Json::Value value = q208::ParseJsonText(text);
    EXPECT_FALSE(value.isNull()) << text;
    return value;
}

inline int CountEntries(const std::filesystem::path& folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}
