#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "devices/mouse/MouseButtonMap.h"
#include "devices/mouse/MouseDpi.h"
#include "devices/mouse/MouseSettingsBlock.h"

namespace q208 {

// What the host knows of the mouse's memory and the command sequences that move it: the
// information block, a copy of the key map with its function-to-button map, and the
// settings block. Behind the receiver every sequence first asks whether the mouse is
// linked; an unlinked mouse gets nothing and the sequence reports kResultUnreachable.
class MouseMemory {
public:
    static constexpr size_t kKeyMapCopySize = CDeviceChannel::kMaxDataSize;
    static constexpr size_t kInfoKeyCount = 5;
    static constexpr size_t kInfoMacroUnits = 6;
    static constexpr uint32_t kMacroUnitBytes = 128;
    using InfoBlock = std::array<uint8_t, CDeviceCommands::kDeviceInfoSize>;
    static constexpr size_t kLinkMouseByte = 1;  // of QueryLink's two bytes
    static constexpr uint8_t kLinked = 0xFF;

    // True on the cable; behind the receiver whether QueryLink reports the mouse linked.
    static bool Reachable(CDeviceCommands& commands, const CDeviceChannel& channel);

    // BeginConfig, information block, data size, key map, EndConfig; then the button map.
    // A failed command or a refused key count stops at once, without EndConfig, and leaves
    // the copies as they were.
    int ReadAll(CDeviceCommands& commands, CDeviceChannel& channel);
    // The information block alone (no Begin/EndConfig), kept on success.
    int ReadInfo(CDeviceCommands& commands, const CDeviceChannel& channel);

    // Byte 0 of the setting area names the block; the block is read at n × 128.
    static int ReadSettings(CDeviceCommands& commands, const CDeviceChannel& channel, MouseSettingsBlock::Bytes& block,
                            uint8_t& blockNumber);
    // BeginConfig, WriteConfig at n × 128, EndConfig, asking for the link before each step
    // behind the receiver.
    static int WriteSettings(CDeviceCommands& commands, const CDeviceChannel& channel, uint8_t blockNumber,
                             const MouseSettingsBlock::Bytes& block);
    // Refreshes the information block, writes the assignments into the key-map copy (see
    // MouseButtonMap::Apply) and sends the whole map. `macroOrder` receives the macros in the
    // order the key map now numbers them.
    int WriteKeyMap(CDeviceCommands& commands, CDeviceChannel& channel, int bank,
                    std::span<const KeyAssignmentRecord> records, int macroCount,
                    std::vector<int>* macroOrder = nullptr);

    void SetCopies(const InfoBlock& info, std::span<const uint8_t> keyMap);
    const InfoBlock& Info() const { return info_; }
    bool HasInfo() const { return hasInfo_; }
    int KeyCount() const { return info_[kInfoKeyCount]; }
    uint32_t MacroCapacity() const { return info_[kInfoMacroUnits] * kMacroUnitBytes; }
    // The sensor of the information block; the factory sensor before one was read.
    MouseSensor Sensor() const;
    std::span<const uint8_t> KeyMap() const { return {keyMap_.data(), size_t(KeyCount()) * MouseButtonMap::kCodeSize}; }
    const MouseButtonMap& Buttons() const { return buttons_; }
    // Reassigned buttons found through the profile's assignments (MouseButtonMap::MapAssigned).
    void MapAssignedButtons(std::span<const KeyAssignmentRecord> records) {
        buttons_.MapAssigned(keyMap_, KeyCount(), records);
    }

private:
    InfoBlock info_{};
    bool hasInfo_ = false;
    std::array<uint8_t, kKeyMapCopySize> keyMap_{};
    MouseButtonMap buttons_;
};

}  // namespace q208
