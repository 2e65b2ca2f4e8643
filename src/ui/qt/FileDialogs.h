#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/UiTypes.h"

namespace q208 {

// One entry of a file-type filter: what the user sees and the name patterns.
struct FileFilter {
    std::string label;
    std::vector<std::string> patterns;
    bool operator==(const FileFilter&) const = default;
};

// Splits a filter written as "label|patterns|label|patterns||" (patterns separated by ';').
// Blanks around parts are dropped; an entry without patterns is skipped.
std::vector<FileFilter> ParseFileFilter(const std::string& filter);

// Modal system dialogs over `owner` (0: none). Window messages of the layer keep being
// handled while they are open. nullopt when cancelled.
std::optional<std::string> ShowOpenFileDialog(HWND owner, const std::string& title, const std::string& filter,
                                              const std::string& folder = {});
std::optional<std::string> ShowSaveFileDialog(HWND owner, const std::string& title, const std::string& filter,
                                              const std::string& defaultPath = {});
std::optional<ARGB> ShowColorDialog(HWND owner, ARGB initial);

}  // namespace q208
