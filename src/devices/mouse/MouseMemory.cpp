#include "devices/mouse/MouseMemory.h"

#include <algorithm>

#include "device/DeviceResult.h"

namespace q208 {

bool MouseMemory::Reachable(CDeviceCommands& commands, const CDeviceChannel& channel) {
    if (!channel.ViaReceiver()) return true;
    // QueryLink is true while either device is linked; the mouse's own byte tells whether
    // it is awake, so a linked keyboard does not make the receiver talk to a sleeping mouse.
    std::array<uint8_t, 2> link{};
    return commands.QueryLink(link) && link[kLinkMouseByte] == kLinked;
}

MouseSensor MouseMemory::Sensor() const {
    if (!hasInfo_) return {};
    return *MouseSensor::FromInfo(info_);
}

void MouseMemory::SetCopies(const InfoBlock& info, std::span<const uint8_t> keyMap) {
    info_ = info;
    hasInfo_ = true;
    keyMap_.fill(0);
    std::copy_n(keyMap.begin(), std::min(keyMap.size(), keyMap_.size()), keyMap_.begin());
    buttons_.Rebuild(keyMap_, KeyCount());
}

int MouseMemory::ReadInfo(CDeviceCommands& commands, const CDeviceChannel& channel) {
    if (!Reachable(commands, channel)) return kResultUnreachable;
    InfoBlock info{};
    const int result = commands.ReadDeviceInfo(info);
    if (result != kResultOk) return result;
    info_ = info;
    hasInfo_ = true;
    return kResultOk;
}

int MouseMemory::ReadAll(CDeviceCommands& commands, CDeviceChannel& channel) {
    if (!Reachable(commands, channel)) return kResultUnreachable;
    if (const int r = commands.BeginConfig(); r != kResultOk) return r;
    InfoBlock info{};
    if (const int r = commands.ReadDeviceInfo(info); r != kResultOk) return r;
    const uint32_t size = uint32_t{info[kInfoKeyCount]} * MouseButtonMap::kCodeSize;
    if (!channel.SetDataSize(size)) return kResultNoAnswer;
    std::vector<uint8_t> keyMap(size);
    if (const int r = commands.ReadKeyMap(keyMap); r != kResultOk) return r;
    const int end = commands.EndConfig();
    SetCopies(info, keyMap);
    return end;
}

int MouseMemory::ReadSettings(CDeviceCommands& commands, const CDeviceChannel& channel,
                              MouseSettingsBlock::Bytes& block, uint8_t& blockNumber) {
    if (!Reachable(commands, channel)) return kResultUnreachable;
    std::array<uint8_t, 1> number{};
    if (const int r = commands.ReadConfig(number, 0); r != kResultOk) return r;
    MouseSettingsBlock::Bytes read{};
    const auto offset = static_cast<uint16_t>(number[0] * MouseSettingsBlock::kStride);
    if (const int r = commands.ReadConfig(read, offset); r != kResultOk) return r;
    block = read;
    blockNumber = number[0];
    return kResultOk;
}

int MouseMemory::WriteSettings(CDeviceCommands& commands, const CDeviceChannel& channel, uint8_t blockNumber,
                               const MouseSettingsBlock::Bytes& block) {
    if (!Reachable(commands, channel)) return kResultUnreachable;
    if (const int r = commands.BeginConfig(); r != kResultOk) return r;
    // The mouse may fall asleep between the steps; what it cannot hear is not sent.
    if (!Reachable(commands, channel)) return kResultUnreachable;
    const int written = commands.WriteConfig(block, static_cast<uint16_t>(blockNumber * MouseSettingsBlock::kStride));
    if (!Reachable(commands, channel)) return kResultUnreachable;
    const int end = commands.EndConfig();
    return written != kResultOk ? written : end;
}

int MouseMemory::WriteKeyMap(CDeviceCommands& commands, CDeviceChannel& channel, int bank,
                             std::span<const KeyAssignmentRecord> records, int macroCount,
                             std::vector<int>* macroOrder) {
    if (const int r = ReadInfo(commands, channel); r != kResultOk) return r;
    const uint32_t size = uint32_t(KeyCount()) * MouseButtonMap::kCodeSize;
    if (!channel.SetDataSize(size)) return kResultNoAnswer;
    std::vector<uint8_t> keyMap(keyMap_.begin(), keyMap_.begin() + size);
    const std::vector<int> order = buttons_.Apply(records, macroCount, keyMap);
    if (const int r = commands.BeginConfig(); r != kResultOk) return r;
    const int written = commands.WriteKeyMap(keyMap, bank);
    if (!Reachable(commands, channel)) return kResultUnreachable;
    const int end = commands.EndConfig();
    if (written != kResultOk) return written;
    std::copy(keyMap.begin(), keyMap.end(), keyMap_.begin());
    if (macroOrder) *macroOrder = order;
    return end;
}

}  // namespace q208
