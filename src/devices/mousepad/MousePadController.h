#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "devices/lighting/KeyboardEffectList.h"
#include "devices/mousepad/MousePadSettingsBlock.h"
#include "device/DeviceSlot.h"
#include "profile/CBasicProfiledata.h"
#include "profile/MacroStore.h"
#include "profile/ProfilePaths.h"

namespace q208 {

// The mouse pad's logic without a toolkit: the host's copy of the pad's settings block, the
// profile's lighting that fills it, and the command sequences that move it. The pad page and
// q208ctl both work through it.
//
// A read only changes the host's copy of the block, never the profile; Initialize fills
// the copy's lighting bytes from the profile again, as every write from the page does first.
class MousePadController {
public:
    static constexpr int kListIndex = 2;  // the pad's list in "default_light.json"
    static constexpr const char* kMacroIndexFile = MacroStore::kPeripheralIndexFile;
    using InfoBlock = std::array<uint8_t, CDeviceCommands::kDeviceInfoSize>;

    // `listIndex`: the device's list in "default_light.json" and "qelin_light.config" (the
    // headset shares the pad's lighting block with a list of its own).
    MousePadController(CDeviceChannel& channel, CBasicProfiledata& profile, int listIndex = kListIndex);

    // The LED modes of "default_light.json" (the pad's list).
    bool LoadModes(const std::filesystem::path& file);
    int ListIndex() const { return listIndex_; }
    void SetModes(KeyboardEffectList modes) { modes_ = std::move(modes); }
    const KeyboardEffectList& Modes() const { return modes_; }

    // The profile file the user selected last for the pad (the list is created with the
    // factory profile when there is none); empty when there is no profile list.
    static std::filesystem::path SelectedProfile(std::string& profileId, const char* folder = kMousePadFolder,
                                                 uint16_t kind = kKindMousePad);
    // Loads the section of `path` (the factory file when empty); true when it has one.
    bool LoadProfile(const std::filesystem::path& path);
    // The block's lighting bytes from the profile's "LightInfo".
    void Initialize();
    // The profile's lighting (in memory; the caller saves).
    void SetLight(const LightInfoRecord& light);
    LightInfoRecord ProfileLight() { return profile_.GetLightInfo(); }

    // ---- device sequences (results as CDeviceCommands; 0 with a closed channel) ----
    // BeginConfig, the information block, EndConfig.
    int ReadInfo();
    // Byte 0 of the setting area names block n; 26 bytes at n × 25 become the host's copy.
    int ReadSettingsFromDevice();
    // BeginConfig, the copy's 21 bytes at a × 64, EndConfig: the first failure is the result.
    int WriteSettingsToDevice(uint8_t block = 0);

    // ---- the host's copy ----
    const MousePadSettingsBlock::Bytes& Block() const { return block_; }
    // The 26 bytes of the last read as the pad sent them.
    const MousePadSettingsBlock::ReadBytes& LastRead() const { return lastRead_; }
    uint8_t BlockNumber() const { return block_[MousePadSettingsBlock::kBlockNumber]; }
    // The copy's lighting over the profile's other fields (direction and the rest).
    LightInfoRecord BlockLight() { return MousePadSettingsBlock::LightOf(block_, profile_.GetLightInfo()); }
    const InfoBlock& Info() const { return info_; }

    // Name lists of the pad's page: macro names of "qelin_macro.config" and the custom-light
    // names of "qelin_light.config" in the pad's user folder ("MacroInfo"[k]."MacroName",
    // "LightInfo"[pad list][k]."LightName"); missing files give empty lists.
    static std::vector<std::string> MacroNames(const std::filesystem::path& userFolder);
    static std::vector<std::string> CustomLightNames(const std::filesystem::path& lightConfig,
                                                     int listIndex = kListIndex);

private:
    CDeviceChannel& channel_;
    CDeviceCommands commands_;
    CBasicProfiledata& profile_;
    int listIndex_;
    KeyboardEffectList modes_;
    MousePadSettingsBlock::Bytes block_{};
    MousePadSettingsBlock::ReadBytes lastRead_{};
    InfoBlock info_{};
};

}  // namespace q208
