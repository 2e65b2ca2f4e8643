#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace q208 {

// The executable file `name` in one of the folders of `path` (a PATH value), or nothing.
std::optional<std::filesystem::path> FindOnPath(const std::string& name, const std::string& path);

// Starts argv[0] with the arguments and does not wait for it; the child is reaped when it
// ends. False when it could not be started.
bool SpawnDetached(const std::vector<std::string>& argv);

}  // namespace q208
