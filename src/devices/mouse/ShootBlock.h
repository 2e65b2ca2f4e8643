#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "devices/base/MacroBlock.h"

namespace q208 {

class MouseMemory;

// The shoot block of the mouse: the four gun files in one block laid out as the macro block
// (header 0xAA 0x55, size, gun count, one 16-bit offset per gun from 24, a record head with
// the event count, then 4 bytes per event), written with command 0x17.
class ShootBlock {
public:
    struct Built {
        std::vector<uint8_t> block;  // empty when refused
        std::string problem;         // why it was refused
    };

    // Reads every gun file of `folder`; a gun file that is not usable refuses the block, so
    // the mouse never gets zeros for a file that could not be read.
    static Built FromFolder(const std::filesystem::path& folder);
    static std::vector<uint8_t> Encode(const std::vector<MacroBlock::Macro>& guns) { return MacroBlock::Encode(guns); }

    struct Upload {
        int result = 0;       // device result; kResultOk when the block went through
        std::string problem;  // set when the block was refused before anything was sent
        size_t bytes = 0;
    };
    // The information block (for the macro memory size), then BeginConfig, WriteMacroBlock,
    // EndConfig, asking behind the receiver before each whether the mouse is still linked.
    static Upload Write(CDeviceCommands& commands, CDeviceChannel& channel, MouseMemory& memory,
                        const std::filesystem::path& folder);
};

}  // namespace q208
