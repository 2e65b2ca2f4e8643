#pragma once

#include <vector>

#include "profile/CBasicProfiledata.h"

namespace q208 {

// Keyboard profile: adds the keyboard options ("SystemStages") and the per-key custom
// lighting groups ("CustomLightMode").
class CKeyboardProfiledata : public CBasicProfiledata {
public:
    KeyboardSystemRecord GetSystemStages();
    void SetSystemStages(const KeyboardSystemRecord& stages);

    int GetCustomLightModeGroupIndex();
    void SetCustomLightModeGroupIndex(int group);

    // The first keyCount colours of custom group `group`. A missing group or key is created
    // in the section with all four values 0 and reads as zeros.
    std::vector<CustomLightColor> GetCustomLightColors(int group, int keyCount);
    // Writes colours[j] into key j of the group, each value in place (containers of the
    // wrong type are replaced). False when the group or the list is out of range.
    bool SetCustomLightColors(int group, const std::vector<CustomLightColor>& colours);

private:
    KeyboardSystemRecord systemStages_;
    std::vector<CustomLightColor> customColours_;
};

}  // namespace q208
