#include "devices/KeyboardKeyMapWriter.h"

#include <algorithm>

namespace q208 {

std::vector<uint8_t> KeyboardKeyMapWriter::Compose(const KeyboardMemory& memory,
                                                   std::span<const KeyAssignmentRecord> assignments) {
    const size_t size = std::min<size_t>(static_cast<size_t>(memory.KeyCount()) * KeyboardMemory::kBytesPerKey,
                                         KeyboardMemory::kCopySize);
    std::vector<uint8_t> keyMap(memory.KeyMapCopy().begin(), memory.KeyMapCopy().begin() + size);
    for (const KeyAssignmentRecord& assignment : assignments) {
        const uint8_t key = memory.TableToKey(assignment.current.index);
        const size_t at = static_cast<size_t>(key) * KeyboardMemory::kBytesPerKey;
        if (key == kNoKey || at + KeyboardMemory::kBytesPerKey > keyMap.size()) continue;
        keyMap[at] = assignment.current.type;
        keyMap[at + 1] = assignment.current.param1;
        keyMap[at + 2] = assignment.current.param2;
    }
    return keyMap;
}

int KeyboardKeyMapWriter::Write(CDeviceCommands& commands, CDeviceChannel& channel, KeyboardMemory& memory, int bank,
                                std::span<const KeyAssignmentRecord> assignments) {
    if (!channel.IsOpen()) return 0;
    memory.ReadInfo(commands);
    if (!channel.SetDataSize(static_cast<uint32_t>(memory.KeyCount()) * KeyboardMemory::kBytesPerKey)) return 0;
    const std::vector<uint8_t> keyMap = Compose(memory, assignments);
    commands.BeginConfig();
    const int result = commands.WriteKeyMap(keyMap, bank);
    commands.EndConfig();
    return result;
}

}  // namespace q208
