#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/UiTypes.h"

namespace q208 {

class CControlUI;

// A background choice of the skin frame: a plain colour, or an image.
struct SkinChangedParam {
    bool colorFlag = false;
    ARGB color = 0;
    std::string image;
    bool operator==(const SkinChangedParam&) const = default;
};

// Sets the main window's background ("root") to a skin choice; an image that cannot be
// read leaves the background as it is (false).
bool ApplySkinToRoot(CControlUI& root, const SkinChangedParam& param);

// The process-wide subject every skin choice goes through; the main window listens.
// UI thread only.
class SkinChangeSubject {
public:
    using Receiver = std::function<void(const SkinChangedParam&)>;
    static SkinChangeSubject& Instance();
    int Add(Receiver receiver);
    void Remove(int handle);
    void Broadcast(const SkinChangedParam& param);

private:
    int next_ = 1;
    std::vector<std::pair<int, Receiver>> receivers_;
};

// The saved background: main.ini in the user data folder, section "SKINIMAGE", "FLAGS"
// ("1" a chosen image, "0" the default) and "IMAGE".
class SkinSettings {
public:
    static constexpr const char* kFileName = "main.ini";
    static constexpr const char* kSection = "SKINIMAGE";
    static constexpr const char* kDefaultImage = "common/background.png";

    explicit SkinSettings(std::filesystem::path userDataFolder);

    // The saved choice; nothing when none was saved or the file does not make sense (traced).
    std::optional<SkinChangedParam> LoadSaved() const;
    bool Save(bool chosenImage, const std::string& image) const;
    // Applies the saved choice to `root` (at start); false when there was none.
    bool ApplySaved(CControlUI& root) const;

    // True when `path` is a readable PNG file.
    static bool IsPngFile(const std::string& path);
    // True when the file of an image attribute ("a.png" or "file='a.png' ...", relative
    // to the skin folder) is a readable PNG.
    static bool IsReadableImage(const std::string& image);

    std::filesystem::path File() const { return folder_ / kFileName; }

private:
    std::filesystem::path folder_;
};

}  // namespace q208
