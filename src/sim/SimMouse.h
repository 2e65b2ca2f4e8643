#pragma once

#include <cstdint>
#include <vector>

#include "sim/SimFirmware.h"

namespace q208::sim {

// The sensor facts the mouse publishes in its information block.
struct SimMouseSensor {
    uint16_t code = 0x3325;  // bytes 9 … 10
    uint8_t dpiStep = 100;   // byte 11
    uint16_t dpiMinimum = 100;  // bytes 14 … 15
};

// The emulated wireless mouse.
//
// Setting area: byte 0 is the active settings block n; block n is 87 bytes at n × 128:
// 0 block value, 1 LED mode code, 2 brightness, 3 4 − speed, 4 direction, 5 multicolour,
// 6 … 8 RGB, 11 3 − polling option, 12 active DPI stage, 14 + 9·i DPI stage i (enabled,
// XY flag, X step, Y step, 2 spare, RGB) for i = 0 … 6, 77 … 80 sleep times (Bluetooth 1,
// 2, device 1, 2), 86 logo LED mode.
class SimMouse : public SimFirmware {
public:
    static constexpr std::size_t kButtonCount = 8;
    static constexpr uint8_t kMacroUnits = 0x20;  // 4096 bytes of macro memory: the shoot block of four guns fits
    static constexpr std::size_t kBlockCount = 4;
    static constexpr std::size_t kBlockStride = 128;
    static constexpr std::size_t kBlockSize = 87;
    static constexpr std::size_t kDpiStages = 7;
    static constexpr std::size_t kMacroBlockSize = 4096;  // shoot block (0x17)

    explicit SimMouse(SimMouseSensor sensor = {});

    uint8_t ActiveBlock() const;
    std::vector<uint8_t> SettingsBlock(std::size_t block) const;  // 87 bytes, empty past the area

    // The user changes the settings block (and the DPI stage) on the mouse: memory changes
    // and the mouse reports 0x10nn, or 0x11sn when a stage is given.
    void SwitchSettingsBlock(uint8_t block);
    void SwitchSettingsBlock(uint8_t block, uint8_t activeStage);

protected:
    void DescribeConfig(std::ostream& out) const override;
};

}  // namespace q208::sim
