#include "devices/base/MacroBlock.h"

#include <algorithm>

#include "platform/Trace.h"
#include "profile/MacroStore.h"

namespace q208 {
namespace {

void Put16(std::vector<uint8_t>& block, size_t at, size_t value) {
    block[at] = static_cast<uint8_t>(value);
    block[at + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

MacroBlock::Macro MacroBlock::LoadMacro(const std::filesystem::path& folder, int index) {
    Macro macro;
    if (index < 0) return macro;  // a place kept free in the block
    for (const MacroEvent& item : MacroStore(folder).LoadMacroEvents(index)) macro.push_back(EventOf(item));
    return macro;
}

MacroBlock::Event MacroBlock::EventOf(const MacroEvent& item) {
    Event event;
    event.delay = static_cast<uint16_t>(item.delay);
    event.type = static_cast<uint8_t>(item.type & 0x7F);
    if (item.down) event.type |= kPressBit;
    event.button = static_cast<uint8_t>(item.button);
    return event;
}

MacroBlock::Event MacroBlock::EventOf(const Json::Value& item) { return EventOf(MacroEvent::FromJson(item)); }

std::vector<MacroBlock::Macro> MacroBlock::LoadMacros(const std::filesystem::path& folder,
                                                                      std::span<const int> macroNumbers) {
    std::vector<Macro> macros;
    for (int number : macroNumbers) macros.push_back(LoadMacro(folder, number));
    return macros;
}

size_t MacroBlock::BlockSize(std::span<const Macro> macros) {
    size_t size = kHeaderSize + kOffsetSize * macros.size();
    for (const Macro& macro : macros) size += kRecordHeadSize + kEventSize * macro.size();
    return size;
}

MacroBlock::Built MacroBlock::Build(std::span<const Macro> macros, uint32_t capacity) {
    for (const Macro& macro : macros) {
        if (macro.size() > kMaxEvents) return {Status::TooManyEvents, {}};
    }
    if (BlockSize(macros) > capacity) return {Status::TooLarge, {}};
    return {Status::Built, Encode(macros)};
}

std::vector<uint8_t> MacroBlock::Encode(std::span<const Macro> macros) {
    const size_t size = BlockSize(macros);
    std::vector<uint8_t> block(size, 0);
    block[0] = kMagic0;
    block[1] = kMagic1;
    Put16(block, 2, size);
    Put16(block, 4, macros.size());
    size_t record = kHeaderSize + kOffsetSize * macros.size();
    for (size_t m = 0; m < macros.size(); ++m) {
        Put16(block, kHeaderSize + kOffsetSize * m, record);
        Put16(block, record, macros[m].size());
        size_t at = record + kRecordHeadSize;
        for (const Event& event : macros[m]) {
            Put16(block, at, event.delay);
            block[at + 2] = event.type;
            block[at + 3] = event.button;
            at += kEventSize;
        }
        record = at;
    }
    return block;
}

int MacroBlock::Write(CDeviceCommands& commands, CDeviceChannel& channel, uint32_t capacity,
                              const std::filesystem::path& folder, std::span<const int> macroNumbers) {
    if (!channel.IsOpen()) return 0;
    const std::vector<Macro> macros = LoadMacros(folder, macroNumbers);
    const Built built = Build(macros, capacity);
    if (built.status != Status::Built) {
        Trace("macro block not written: %s", built.status == Status::TooLarge ? "larger than the macro memory"
                                                                              : "a macro has more than 250 events");
        return 0;
    }
    commands.BeginConfig();
    const int result = commands.WriteMacroData(built.block);
    commands.EndConfig();
    return result;
}

}  // namespace q208
