#include "devices/mouse/MouseController.h"

#include <algorithm>

#include "device/DeviceResult.h"
#include "devices/base/MacroBlock.h"
#include "profile/MacroStore.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "device/DeviceSlot.h"
#include "profile/ProfileList.h"
#include "profile/ProfilePaths.h"

namespace q208 {
namespace {


}  // namespace

MouseController::MouseController(CDeviceChannel& channel, CMouseProfiledata& profile)
    : channel_(channel), commands_(channel), profile_(profile) {}

bool MouseController::LoadModes(const std::filesystem::path& file) {
    return modes_.Load(file, kListIndex);
}

std::filesystem::path MouseController::SelectedProfile(std::string& profileId) {
    if (profileId.empty()) {
        ProfileList list(DeviceUserFolder(kMouseFolder), DefaultProfileFile(kMouseFolder), kKindMouse);
        if (list.Load()) profileId = list.SelectedId();
    }
    return ProfileFile(kMouseFolder, profileId);
}

bool MouseController::LoadProfile(const std::filesystem::path& path) {
    const bool loaded = !profile_.LoadSection(path.empty() ? profile_.GetDefaultPath() : path).isNull();
    TakeProfileRecords();
    return loaded;
}

void MouseController::TakeProfileRecords() {
    keyList_ = profile_.GetKeyList();
    memory_.MapAssignedButtons(keyList_);
    stages_ = profile_.GetDpiStages();
    activeStage_ = profile_.GetActiveDpiStage();
    settings_ = profile_.GetMouseSettings();
}

int MouseController::MacroCount(const std::filesystem::path& userFolder) { return MacroStore(userFolder).Count(); }

std::vector<std::string> MouseController::MacroNames(const std::filesystem::path& userFolder) {
    return MacroStore(userFolder).Names();
}

// ---- device sequences ----

int MouseController::ReadDevice() {
    if (!channel_.IsOpen()) return kResultNoAnswer;
    const int result = memory_.ReadAll(commands_, channel_);
    memory_.MapAssignedButtons(keyList_);
    return result;
}

int MouseController::ReadInfo() {
    if (!channel_.IsOpen()) return kResultNoAnswer;
    return memory_.ReadInfo(commands_, channel_);
}

int MouseController::ReadSettingsFromDevice() {
    if (!channel_.IsOpen()) return kResultNoAnswer;
    MouseSettingsBlock::Bytes block{};
    uint8_t number = 0;
    if (const int r = MouseMemory::ReadSettings(commands_, channel_, block, number); r != kResultOk) return r;
    lastBlock_ = block;
    blockNumber_ = number;
    const MouseSettingsBlock::Decoded decoded = MouseSettingsBlock::Decode(block, modes_);
    LightInfoRecord light = profile_.GetLightInfo();
    const uint8_t direction = light.fx;
    light.selectItem = decoded.light.selectItem;
    light.light = decoded.light.light;
    light.speed = decoded.light.speed;
    light.multiColor = decoded.light.multiColor;
    light.red = decoded.light.red;
    light.green = decoded.light.green;
    light.blue = decoded.light.blue;
    light.fx = direction;
    MouseSettingsBlock::ApplyTo(decoded, settings_);
    profile_.SetMouseSettings(settings_);
    SetActiveStage(decoded.activeStage);
    profile_.SetLightInfo(light);
    return kResultOk;
}

int MouseController::WriteSettingsToDevice(uint8_t block, uint8_t value) {
    const auto bytes =
        MouseSettingsBlock::Encode(profile_.GetLightInfo(), stages_, settings_, activeStage_, modes_, value);
    if (!channel_.IsOpen()) return kResultNoAnswer;
    return MouseMemory::WriteSettings(commands_, channel_, block, bytes);
}

int MouseController::WriteKeyMapToDevice(int bank, int macroCount, std::vector<int>* macroOrder) {
    if (!channel_.IsOpen()) return kResultNoAnswer;
    return memory_.WriteKeyMap(commands_, channel_, bank, keyList_, macroCount, macroOrder);
}

int MouseController::WriteMacrosToDevice(const std::filesystem::path& userFolder) {
    if (!channel_.IsOpen()) return kResultNoAnswer;
    if (const int r = memory_.ReadInfo(commands_, channel_); r != kResultOk) return r;
    const std::vector<int> numbers = memory_.Buttons().MacrosInUse(keyList_, MacroCount(userFolder));
    if (!MouseMemory::Reachable(commands_, channel_)) return kResultUnreachable;
    return MacroBlock::Write(commands_, channel_, memory_.MacroCapacity(), userFolder, numbers);
}

// ---- edits ----

DpiStage& MouseController::GrowTo(int stage) {
    if (static_cast<int>(stages_.size()) <= stage) stages_.resize(stage + 1);
    return stages_[stage];
}

bool MouseController::SetStageStep(int stage, int step) {
    if (!ValidStage(stage)) return false;
    const auto s = static_cast<uint8_t>(std::clamp(step, 0, kMaxDpiStep));
    GrowTo(stage).SetSteps(s, s);
    profile_.SetDpiStages(stages_);
    return true;
}

std::optional<int> MouseController::SetStageDpi(int stage, int dpi) {
    if (!ValidStage(stage)) return std::nullopt;
    const int step = DpiToStep(Sensor(), dpi);
    SetStageStep(stage, step);
    return step;
}

void MouseController::SetActiveStage(int stage) {
    activeStage_ = stage;
    profile_.SetActiveDpiStage(stage);
}

bool MouseController::SelectStage(int stage) {
    if (!ValidStage(stage)) return false;
    SetActiveStage(stage);
    // The active stage is always on: the mouse would skip a stage that is off.
    GrowTo(stage).active = 1;
    profile_.SetDpiStages(stages_);
    return true;
}

bool MouseController::SetStageEnabled(int stage, bool enabled) {
    if (!ValidStage(stage)) return false;
    if (!enabled && !EnableClickable()[stage]) return false;
    GrowTo(stage).active = enabled ? 1 : 0;
    profile_.SetDpiStages(stages_);
    return true;
}

bool MouseController::SetStageColour(int stage, uint8_t red, uint8_t green, uint8_t blue) {
    if (!ValidStage(stage)) return false;
    DpiStage& s = GrowTo(stage);
    s.red = red;
    s.green = green;
    s.blue = blue;
    profile_.SetDpiStages(stages_);
    return true;
}

bool MouseController::SetPolling(int option) {
    if (option < 0 || option >= MouseSettingsBlock::kPollingOptions) return false;
    settings_.pollingIndex = static_cast<uint16_t>(option);
    profile_.SetMouseSettings(settings_);
    return true;
}

void MouseController::SetSleep(Sleep which, int minutes) {
    const auto value = static_cast<uint16_t>(std::clamp(minutes, 0, 255));
    switch (which) {
        case Sleep::Ble1:
            settings_.bleSleep1 = value;
            break;
        case Sleep::Ble2:
            settings_.bleSleep2 = value;
            break;
        case Sleep::Device1:
            settings_.deviceSleep1 = value;
            break;
        case Sleep::Device2:
            settings_.deviceSleep2 = value;
            break;
    }
    profile_.SetMouseSettings(settings_);
}

void MouseController::SetLogo(int mode) {
    settings_.logoLedMode = static_cast<uint16_t>(std::clamp(mode, 0, 255));
    profile_.SetMouseSettings(settings_);
}

void MouseController::SetSystemValue(uint16_t MouseSettingsRecord::*field, int value) {
    settings_.*field = static_cast<uint16_t>(std::clamp(value, 0, 0xFFFF));
    profile_.SetMouseSettings(settings_);
}

void MouseController::SetLight(const LightInfoRecord& light) {
    profile_.SetLightInfo(light);
}

bool MouseController::SetButton(int function, const MouseButtonMap::Code& code) {
    if (function < 0 || function >= static_cast<int>(MouseButtonMap::kFunctionCount)) return false;
    // A profile without records for every function gets the default codes for the missing
    // ones, so writing the key map leaves those buttons as they are.
    while (static_cast<int>(keyList_.size()) <= function) {
        const auto& code = MouseButtonMap::DefaultCodes()[keyList_.size()];
        KeyAssignmentRecord record;
        record.current = {static_cast<uint16_t>(keyList_.size()), code[0], code[1], code[2], 0};
        record.defaults = record.current;
        keyList_.push_back(record);
    }
    KeyAssignmentHalf& half = keyList_[function].current;
    half.type = code[0];
    half.param1 = code[1];
    half.param2 = code[2];
    profile_.SetKeyList(keyList_);
    return true;
}

bool MouseController::DropStaleMacros(int macroCount) {
    if (!MouseButtonMap::DropStaleMacros(keyList_, macroCount)) return false;
    profile_.SetKeyList(keyList_);
    return true;
}

// ---- what the page shows ----

std::array<bool, MouseController::kStageCount> MouseController::EnableClickable() const {
    std::array<bool, kStageCount> clickable{};
    int enabled = 0;
    for (int i = 0; i < kStageCount; ++i)
        enabled += (i < static_cast<int>(stages_.size()) && stages_[i].active) ? 1 : 0;
    for (int i = 0; i < kStageCount; ++i) {
        const bool on = i < static_cast<int>(stages_.size()) && stages_[i].active;
        clickable[i] = i != activeStage_ && !(on && enabled <= 1);
    }
    return clickable;
}

int MouseController::StageStep(int stage) const {
    if (stage < 0 || stage >= static_cast<int>(stages_.size())) return 0;
    return stages_[stage].dpiX[0];
}

}  // namespace q208
