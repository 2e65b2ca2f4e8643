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
// Registers the private fonts found in `fontFolder` with the text renderer; missing or
// unreadable files are skipped. Returns the font families that were added.
std::vector<std::string> LoadPrivateFonts(const std::filesystem::path& fontFolder);

}  // namespace q208
