#pragma once

// Loaders that take a path get the fuzzer's bytes through one private file per process.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace q208::fuzz {

inline const std::filesystem::path& FuzzFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("q208-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// Writes the bytes to FuzzFolder()/name and returns the path.
inline std::filesystem::path WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size) {
    const std::filesystem::path path = FuzzFolder() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    return path;
}

}  // namespace q208::fuzz
