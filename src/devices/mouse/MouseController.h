#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "devices/lighting/KeyboardEffectList.h"
#include "devices/mouse/MouseMemory.h"
#include "devices/mouse/ShootBlock.h"
#include "profile/CMouseProfiledata.h"

namespace q208 {

// The mouse's logic without a toolkit: the profile's DPI stages, settings and buttons, and
// the blocks that carry them to the mouse. The mouse page and q208ctl both work through it,
// so every block and conversion exists once. Edits change the profile in memory; the caller
// saves it and writes the settings block, as the page does after each change.
class MouseController {
public:
    static constexpr int kStageCount = static_cast<int>(MouseSettingsBlock::kStageCount);
    static constexpr int kListIndex = 1;  // the mouse's list in "default_light.json"
    enum class Sleep { Ble1, Ble2, Device1, Device2 };

    MouseController(CDeviceChannel& channel, CMouseProfiledata& profile);

    // The LED modes of "default_light.json" (the mouse's list).
    bool LoadModes(const std::filesystem::path& file);
    void SetModes(KeyboardEffectList modes) { modes_ = std::move(modes); }
    const KeyboardEffectList& Modes() const { return modes_; }

    // The profile file the user selected last for the mouse (created from the factory file
    // when there is none yet); empty when there is no profile list.
    static std::filesystem::path SelectedProfile(std::string& profileId);
    // Loads the section of `path` (the factory file when empty) and takes its records.
    bool LoadProfile(const std::filesystem::path& path);
    // Takes the records of the current section again.
    void TakeProfileRecords();

    // ---- device sequences (results as CDeviceCommands; 0 with a closed channel) ----
    int ReadDevice();
    // The information block alone (the sensor of the DPI conversion).
    int ReadInfo();
    // Block number and block, then lighting, polling, sleep times, logo and active stage
    // into the profile (the DPI list is not read back).
    int ReadSettingsFromDevice();
    // The settings block from the profile, at block `block` with value `value`.
    int WriteSettingsToDevice(uint8_t block = 0, uint8_t value = 0);
    int WriteKeyMapToDevice(int bank, int macroCount, std::vector<int>* macroOrder = nullptr);
    // The macros the present buttons use, in the order the key map numbers them, from the
    // macro store in `userFolder`; the macro memory size comes from the information block.
    int WriteMacrosToDevice(const std::filesystem::path& userFolder);
    // The four gun files of `shootFolder` as the shoot block (ShootBlock::Write).
    ShootBlock::Upload WriteShootToDevice(const std::filesystem::path& shootFolder) {
        return ShootBlock::Write(commands_, channel_, memory_, shootFolder);
    }

    // ---- edits ----
    // Stage i's X and Y steps become the step; the list grows to i + 1 stages when shorter.
    bool SetStageStep(int stage, int step);
    // The step of a DPI with the mouse's sensor; the stage takes it. None for a bad stage.
    std::optional<int> SetStageDpi(int stage, int dpi);
    bool SelectStage(int stage);
    bool SetStageEnabled(int stage, bool enabled);
    bool SetStageColour(int stage, uint8_t red, uint8_t green, uint8_t blue);
    bool SetPolling(int option);
    void SetSleep(Sleep which, int minutes);
    void SetLogo(int mode);
    void SetLight(const LightInfoRecord& light);
    // Double-click time, pointer speed and precision, scroll-page flag, wheel lines: kept in
    // the profile only, nothing goes to the mouse.
    void SetSystemValue(uint16_t MouseSettingsRecord::*field, int value);
    // Function j's current assignment; false for a function past the list.
    bool SetButton(int function, const MouseButtonMap::Code& code);
    // Macro assignments past `macroCount` back to their defaults; true when one changed.
    bool DropStaleMacros(int macroCount);

    // ---- what the page shows ----
    // Whether each stage's enable check may be clicked: never the active stage's (it cannot
    // be switched off), nor the last enabled stage's.
    std::array<bool, kStageCount> EnableClickable() const;
    int StageStep(int stage) const;  // 0 for a stage the list does not have
    int StageDpi(int stage) const { return StepToDpi(Sensor(), StageStep(stage)); }
    MouseSensor Sensor() const { return memory_.Sensor(); }
    const std::vector<DpiStage>& Stages() const { return stages_; }
    int ActiveStage() const { return activeStage_; }
    const MouseSettingsRecord& Settings() const { return settings_; }
    LightInfoRecord Light() { return profile_.GetLightInfo(); }
    const std::vector<KeyAssignmentRecord>& Buttons() const { return keyList_; }
    MouseMemory& Memory() { return memory_; }
    const MouseMemory& Memory() const { return memory_; }
    uint8_t BlockNumber() const { return blockNumber_; }
    void SetBlockNumber(uint8_t n) { blockNumber_ = n; }
    void SetActiveStage(int stage);
    const MouseSettingsBlock::Bytes& LastBlock() const { return lastBlock_; }
    // The number of macros of "macro.config" in a user folder (0 when it is missing).
    static int MacroCount(const std::filesystem::path& userFolder);
    static std::vector<std::string> MacroNames(const std::filesystem::path& userFolder);

private:
    bool ValidStage(int stage) const { return stage >= 0 && stage < kStageCount; }
    DpiStage& GrowTo(int stage);

    CDeviceChannel& channel_;
    CDeviceCommands commands_;
    CMouseProfiledata& profile_;
    KeyboardEffectList modes_;
    MouseMemory memory_;
    std::vector<DpiStage> stages_;
    MouseSettingsRecord settings_;
    std::vector<KeyAssignmentRecord> keyList_;
    int activeStage_ = 0;
    uint8_t blockNumber_ = 0;
    MouseSettingsBlock::Bytes lastBlock_{};
};

}  // namespace q208
