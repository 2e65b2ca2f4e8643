#pragma once

// Where profile documents live. Each device model has a folder name that appears twice:
// as the factory profile "<data root>/DefaultData/<folder>.Json" and as the user folder
// "<user data folder>/<folder>/" holding the model's profiles and light configuration.

#include <filesystem>
#include <string_view>

namespace q208 {

inline constexpr const char* kKeyboardFolder = "Keyboard";
inline constexpr const char* kMouseFolder = "Mouse";
inline constexpr const char* kMousePadFolder = "MousePad";
inline constexpr const char* kHeadsetFolder = "Headset";

inline constexpr const char* kProfileExtension = ".Json";
inline constexpr const char* kLightConfigName = "qelin_light";
inline constexpr const char* kLightConfigExtension = ".config";
inline constexpr const char* kCustomLightExtension = ".light";

// "<data root>/DefaultData/<folder>.Json" (factory data, only read).
std::filesystem::path DefaultProfileFile(std::string_view deviceFolder);

// "<user data folder>/<folder>", created level by level each time it is asked for.
std::filesystem::path DeviceUserFolder(std::string_view deviceFolder);

// "<user folder>/<profile id>.Json"; empty when the id is not a plain identifier.
std::filesystem::path ProfileFile(std::string_view deviceFolder, std::string_view profileId);

// "<user folder>/qelin_light.config".
std::filesystem::path LightConfigFile(std::string_view deviceFolder);

}  // namespace q208
