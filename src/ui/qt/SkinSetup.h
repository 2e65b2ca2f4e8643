#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace q208 {

// Points the window layer at a skin folder: plain files, the layout index res.xml and the
// shared style (fonts every window sees). Missing pieces are traced and skipped; false
// when the folder or its index could not be read.
bool LoadSkin(const std::filesystem::path& skinFolder);
// Builds `layout` (a <Window> with shared <Font> and <Default> entries) for its fonts.
bool LoadSharedStyle(const std::string& layout);

// The program's private font files, relative to the data root's font folder.
const std::vector<std::string>& PrivateFontFiles();
// The private fonts found in a folder, registered with the text renderer while the object
// lives and removed in the reverse order of loading when it goes. Missing or unreadable
// files are skipped.
class PrivateFonts {
public:
    explicit PrivateFonts(const std::filesystem::path& fontFolder);
    ~PrivateFonts();
    PrivateFonts(const PrivateFonts&) = delete;
    PrivateFonts& operator=(const PrivateFonts&) = delete;

    // The font families that were added.
    const std::vector<std::string>& Families() const { return families_; }
    // The renderer's ids of the loaded files, in the order of loading.
    const std::vector<int>& Ids() const { return ids_; }

private:
    std::vector<int> ids_;
    std::vector<std::string> families_;
};

}  // namespace q208
