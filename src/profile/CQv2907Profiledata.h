#pragma once

#include <string>
#include <vector>

#include "profile/CBasicProfiledata.h"

namespace q208 {

// Headset profile: adds the equaliser presets, the custom equaliser presets with their
// names, and the audio settings ("SystemSetStages").
class CQv2907Profiledata : public CBasicProfiledata {
public:
    static constexpr int kEqBandCount = 10;
    static constexpr int kCustomEqPreset = 13;  // "EqType" of the custom presets

    // Bands of built-in preset 1 ... 12 ("EQHzValueInfo"[preset]). Preset 0 and presets
    // above 13 mean preset 1; preset 13 (custom) gives an empty list. A preset missing from
    // the section is created with ten zero bands.
    std::vector<int> GetEqBands(int preset);
    // Writes the bands of a built-in preset (same preset rules; 13 writes nothing).
    void SetEqBands(int preset, const std::vector<int>& bands);
    // The same over "CustomEQHzValueInfo"[index], without the preset rules.
    std::vector<int> GetCustomEqBands(int index);
    void SetCustomEqBands(int index, const std::vector<int>& bands);
    // Removes the band list of custom preset `index`; the later ones move down by one, as
    // their names do when the preset is deleted.
    void RemoveCustomEqBands(int index);

    // Names of the custom presets (UTF-8), one per "CustomEQNameInfo" element.
    std::vector<std::string> GetCustomEqNames();
    // Replaces the whole name array.
    void SetCustomEqNames(const std::vector<std::string>& names);

    HeadsetSettingsRecord GetSystemSetStages();
    void SetSystemSetStages(const HeadsetSettingsRecord& stages);

private:
    std::vector<int> ReadBands(const char* key, int slot);
    void WriteBands(const char* key, int slot, const std::vector<int>& bands);

    std::vector<int> eqBands_;
    std::vector<int> customEqBands_;
    std::vector<std::string> customEqNames_;
    HeadsetSettingsRecord systemSetStages_;
};

}  // namespace q208
