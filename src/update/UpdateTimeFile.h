#pragma once

#include <filesystem>
#include <string>

namespace q208 {

// updatetime.config in the user data folder: {"updatelasttime": {"value": "2026-12-9"}},
// the local date of the last check that reached the service (no leading zeros).
class UpdateTimeFile {
public:
    static constexpr const char* kFileName = "updatetime.config";

    explicit UpdateTimeFile(std::filesystem::path userDataFolder) : file_(std::move(userDataFolder) / kFileName) {}

    // Today's local date; false when the file could not be written.
    bool StoreToday() const;
    bool Store(const std::string& date) const;
    // The stored date, empty when none.
    std::string Load() const;
    static std::string Today();
    const std::filesystem::path& Path() const { return file_; }

private:
    std::filesystem::path file_;
};

}  // namespace q208
