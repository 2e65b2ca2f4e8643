#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include <json/value.h>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "profile/MacroEvent.h"

namespace q208 {

// The macro memory block of the keyboard and the mouse: a 16-byte header (0xAA 0x55, block size, macro
// count), one 16-bit offset per macro, then per macro a 4-byte record head (event count)
// and 4 bytes per event (delay, type with bit 7 for a press, button). Macros come from the
// macro store: "macro.config" and one ".mac" file per macro in the device's user folder.
class MacroBlock {
public:
    static constexpr size_t kHeaderSize = 16;
    static constexpr size_t kOffsetSize = 2;
    static constexpr size_t kRecordHeadSize = 4;
    static constexpr size_t kEventSize = 4;
    static constexpr size_t kMaxEvents = 250;
    static constexpr uint8_t kMagic0 = 0xAA;
    static constexpr uint8_t kMagic1 = 0x55;
    static constexpr uint8_t kPressBit = 0x80;

    struct Event {
        uint16_t delay = 0;
        uint8_t type = 0;  // bit 7 set for a press
        uint8_t button = 0;
    };
    using Macro = std::vector<Event>;

    enum class Status { Built, TooManyEvents, TooLarge };
    struct Built {
        Status status = Status::Built;
        std::vector<uint8_t> block;  // empty unless Built
    };

    // One stored event as the device plays it: the delay, the type with bit 7 for "down", the
    // button.
    static Event EventOf(const MacroEvent& event);

    // The events of macro `index` of the folder's "macro.config". A missing entry or file,
    // or an identifier that cannot be a file name, gives no events; so does a negative index, which
    // keeps a place in the block free.
    static Macro LoadMacro(const std::filesystem::path& folder, int index);
    static std::vector<Macro> LoadMacros(const std::filesystem::path& folder, std::span<const int> macroNumbers);

    // One event object of a ".mac" file ("Action", "Type", "Button", "Delay") as the device
    // takes it.
    static Event EventOf(const Json::Value& item);

    static size_t BlockSize(std::span<const Macro> macros);
    static Built Build(std::span<const Macro> macros, uint32_t capacity);
    // The block of `macros` as it stands, without the limits Build checks.
    static std::vector<uint8_t> Encode(std::span<const Macro> macros);

    // The block built from the assigned macros, written with WriteMacroData between
    // BeginConfig and EndConfig. 0 with a closed channel or when the block is not built (more
    // than 250 events in a macro, larger than `capacity`, the macro memory the device's
    // information block gives).
    static int Write(CDeviceCommands& commands, CDeviceChannel& channel, uint32_t capacity,
                     const std::filesystem::path& folder, std::span<const int> macroNumbers);
};

}  // namespace q208
