#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace Json {
class Value;
}

namespace q208 {

// The four colour styles of the music lighting and which one is chosen, as kept in
// AudioFile.json under "Device" / "AudioLightInfo".
struct AudioLightInfo {
    static constexpr int kStyles = 4;
    struct Colour {
        uint8_t red = 0, green = 0, blue = 0;
        bool operator==(const Colour&) const = default;
    };
    int style = 0;  // 0 … 3
    std::array<std::string, kStyles> names{};
    std::array<Colour, kStyles> colours{};

    const Colour& Current() const { return colours[static_cast<size_t>(style)]; }
    bool operator==(const AudioLightInfo&) const = default;

    // A missing member reads as style 0 with empty names and black; a style outside 0 … 3
    // reads as 0 and channels are held to 0 … 255.
    static AudioLightInfo FromJson(const Json::Value& info);
    void ToJson(Json::Value& info) const;
};

// AudioFile.json in the user's folder, with the program's default copy for a user who
// has none yet.
class AudioLightStyles {
public:
    static constexpr const char* kFileName = "AudioFile.json";

    AudioLightStyles(std::filesystem::path userFolder, std::filesystem::path defaultFolder);

    AudioLightInfo Load() const;
    // Keeps whatever else the file holds. False when it could not be written.
    bool Save(const AudioLightInfo& info) const;
    std::filesystem::path UserFile() const { return userFolder_ / kFileName; }

private:
    std::filesystem::path userFolder_;
    std::filesystem::path defaultFolder_;
};

}  // namespace q208
