#include "devices/mousepad/MousePadController.h"

#include "device/DeviceResult.h"
#include "device/DeviceSlot.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/ProfileList.h"
#include "profile/ProfilePaths.h"
#include "profile/MacroStore.h"

namespace q208 {
namespace {

using Block = MousePadSettingsBlock;

// Item `key` of every element of an array, as text.
std::vector<std::string> NamesOf(const Json::Value& list, const char* key) {
    std::vector<std::string> names;
    for (int k = 0; list.isArray() && k < static_cast<int>(list.size()); ++k)
        names.push_back(json::ToString(json::Find(json::At(list, k), key)));
    return names;
}

}  // namespace

MousePadController::MousePadController(CDeviceChannel& channel, CBasicProfiledata& profile, int listIndex)
    : channel_(channel), commands_(channel), profile_(profile), listIndex_(listIndex) {}

bool MousePadController::LoadModes(const std::filesystem::path& file) { return modes_.Load(file, listIndex_); }

std::filesystem::path MousePadController::SelectedProfile(std::string& profileId, const char* folder, uint16_t kind) {
    if (profileId.empty()) {
        ProfileList list(DeviceUserFolder(folder), DefaultProfileFile(folder), kind);
        if (list.Load()) profileId = list.SelectedId();
    }
    return ProfileFile(folder, profileId);
}

bool MousePadController::LoadProfile(const std::filesystem::path& path) {
    return !profile_.LoadSection(path.empty() ? profile_.GetDefaultPath() : path).isNull();
}

void MousePadController::Initialize() { Block::TakeLight(profile_.GetLightInfo(), block_); }

void MousePadController::SetLight(const LightInfoRecord& light) { profile_.SetLightInfo(light); }

int MousePadController::ReadInfo() {
    if (!channel_.IsOpen()) return kResultNoAnswer;
    if (const int r = commands_.BeginConfig(); r != kResultOk) return r;
    InfoBlock info{};
    const int read = commands_.ReadDeviceInfo(info);
    // The session the pad opened is closed whatever the read gave.
    const int end = commands_.EndConfig();
    if (read != kResultOk) return read;
    info_ = info;
    return end;
}

int MousePadController::ReadSettingsFromDevice() {
    if (!channel_.IsOpen()) return kResultNoAnswer;
    std::array<uint8_t, 1> number{};
    if (const int r = commands_.ReadConfig(number, 0); r != kResultOk) return r;
    Block::ReadBytes read{};
    if (const int r = commands_.ReadConfig(read, Block::ReadOffset(number[0])); r != kResultOk) return r;
    lastRead_ = read;
    block_ = Block::FromDevice(read, number[0], modes_);
    return kResultOk;
}

int MousePadController::WriteSettingsToDevice(uint8_t block) {
    if (!channel_.IsOpen()) return kResultNoAnswer;
    const Block::Bytes sent = Block::ToDevice(block_, modes_);
    if (const int r = commands_.BeginConfig(); r != kResultOk) return r;
    const int written = commands_.WriteConfig(sent, Block::WriteOffset(block));
    const int end = commands_.EndConfig();
    return written != kResultOk ? written : end;
}

std::vector<std::string> MousePadController::MacroNames(const std::filesystem::path& userFolder) {
    return MacroStore(userFolder, kMacroIndexFile).Names();
}

std::vector<std::string> MousePadController::CustomLightNames(const std::filesystem::path& lightConfig,
                                                             int listIndex) {
    const Json::Value document = ReadJsonValue(lightConfig);
    return NamesOf(json::At(json::Find(document, "LightInfo"), listIndex), "LightName");
}

}  // namespace q208
