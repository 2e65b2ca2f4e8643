#include "devices/keyboard/KeyboardKeyMapWriter.h"

#include <algorithm>

#include "device/DeviceResult.h"
#include "platform/Trace.h"

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
    // The whole key map is written, the keys without an assignment from the copy: without a
    // fresh key count and a copy read for it, that would overwrite them with whatever the
    // copy holds.
    if (const int info = memory.ReadInfo(commands); info != kResultOk) {
        Trace("keyboard: key map not written: the information block was not read (%d)", info);
        return info;
    }
    if (!memory.HasKeyMapFor(memory.KeyCount())) {
        Trace("keyboard: key map not written: no key map was read for %d keys", memory.KeyCount());
        return kResultNoAnswer;
    }
    if (!channel.SetDataSize(static_cast<uint32_t>(memory.KeyCount()) * KeyboardMemory::kBytesPerKey)) return 0;
    const std::vector<uint8_t> keyMap = Compose(memory, assignments);
    commands.BeginConfig();
    const int result = commands.WriteKeyMap(keyMap, bank);
    commands.EndConfig();
    return result;
}

}  // namespace q208
