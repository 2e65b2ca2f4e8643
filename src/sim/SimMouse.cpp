#include "sim/SimMouse.h"

#include <array>
#include <ostream>

#include "sim/SimInfoBlock.h"

namespace q208::sim {
namespace {

constexpr uint16_t kProductId = 0x7C11;
constexpr uint8_t kHostKindMouse = 2;

// Default function code of each button, in device key order (left, right, middle, back,
// forward, DPI up, DPI down, a device function).
constexpr std::array<std::array<uint8_t, 3>, SimMouse::kButtonCount> kButtons = {{
    {0x10, 0x01, 0x00},
    {0x10, 0x02, 0x00},
    {0x10, 0x04, 0x00},
    {0x10, 0x08, 0x00},
    {0x10, 0x10, 0x00},
    {0x13, 0x01, 0x00},
    {0x13, 0x02, 0x00},
    {0xA0, 0x1B, 0x00},
}};

// DPI stages as steps of the default sensor (minimum 100, step 100): 400, 800, 1600,
// 3200, 4800; the last two are switched off.
struct StageDefault {
    uint8_t enabled;
    uint8_t step;
    uint8_t red, green, blue;
};
constexpr StageDefault kStages[SimMouse::kDpiStages] = {
    {1, 3, 0xFF, 0x00, 0x00},   {1, 7, 0x00, 0xFF, 0x00}, {1, 15, 0x00, 0x00, 0xFF},
    {1, 31, 0xFF, 0xFF, 0x00},  {1, 47, 0xFF, 0x00, 0xFF}, {0, 63, 0x00, 0xFF, 0xFF},
    {0, 127, 0xFF, 0xFF, 0xFF},
};

namespace Block {
constexpr std::size_t Value = 0;
constexpr std::size_t LedMode = 1;
constexpr std::size_t Brightness = 2;
constexpr std::size_t InvertedSpeed = 3;
constexpr std::size_t Multicolour = 5;
constexpr std::size_t Red = 6;
constexpr std::size_t InvertedPolling = 11;
constexpr std::size_t ActiveStage = 12;
constexpr std::size_t Stages = 14;
constexpr std::size_t StageSize = 9;
constexpr std::size_t Sleep = 77;  // four bytes
constexpr std::size_t LogoMode = 86;
}  // namespace Block

// Named bytes of a settings block and of each DPI stage, for the text view of the area.
struct Field {
    const char* name;
    std::size_t offset;
};
constexpr Field kBlockFields[] = {
    {"value", Block::Value},         {"led-mode", Block::LedMode},      {"brightness", Block::Brightness},
    {"inverse-speed", Block::InvertedSpeed}, {"direction", 4},          {"multicolour", Block::Multicolour},
    {"red", Block::Red},             {"green", 7},                      {"blue", 8},
    {"inverse-polling", Block::InvertedPolling}, {"active-stage", Block::ActiveStage},
    {"sleep-bt1", Block::Sleep},     {"sleep-bt2", Block::Sleep + 1},   {"sleep-1", Block::Sleep + 2},
    {"sleep-2", Block::Sleep + 3},   {"logo", Block::LogoMode},
};
constexpr Field kStageFields[] = {{"on", 0}, {"xy", 1}, {"x", 2}, {"y", 3}, {"red", 6}, {"green", 7}, {"blue", 8}};

void WriteBlock(uint8_t* block, uint8_t value) {
    block[Block::Value] = value;
    block[Block::LedMode] = 1;
    block[Block::Brightness] = 4;
    block[Block::InvertedSpeed] = 4 - 2;
    block[Block::Multicolour] = 1;
    block[Block::Red] = 0xFF;
    block[Block::InvertedPolling] = 3 - 0;  // option 0
    block[Block::ActiveStage] = 1;
    for (std::size_t i = 0; i < SimMouse::kDpiStages; ++i) {
        uint8_t* stage = block + Block::Stages + i * Block::StageSize;
        stage[0] = kStages[i].enabled;
        stage[1] = 0;  // one step for X and Y
        stage[2] = kStages[i].step;
        stage[3] = kStages[i].step;
        stage[6] = kStages[i].red;
        stage[7] = kStages[i].green;
        stage[8] = kStages[i].blue;
    }
    const uint8_t sleepTimes[] = {10, 30, 5, 10};
    std::copy(std::begin(sleepTimes), std::end(sleepTimes), block + Block::Sleep);
    block[Block::LogoMode] = 0;
}

std::vector<uint8_t> DefaultConfig() {
    std::vector<uint8_t> area(SimMouse::kBlockCount * SimMouse::kBlockStride, 0);
    for (std::size_t n = 0; n < SimMouse::kBlockCount; ++n) {
        WriteBlock(area.data() + n * SimMouse::kBlockStride, static_cast<uint8_t>(n));
    }
    return area;  // byte 0 = block 0's value = 0: block 0 is active
}

std::vector<uint8_t> DefaultKeyMap() {
    std::vector<uint8_t> map;
    for (const auto& code : kButtons) {
        map.insert(map.end(), code.begin(), code.end());
    }
    return map;
}

SimInfoBlock MouseInfo(const SimMouseSensor& sensor) {
    SimInfoBlock info;
    info.productId = kProductId;
    info.hostKindCode = kHostKindMouse;
    info.keyCount = static_cast<uint8_t>(SimMouse::kButtonCount);
    info.macroUnits = SimMouse::kMacroUnits;
    info.sensorCode = sensor.code;
    info.dpiStep = sensor.dpiStep;
    info.dpiMinimum = sensor.dpiMinimum;
    return info;
}

}  // namespace

SimMouse::SimMouse(SimMouseSensor sensor) : SimFirmware(SimDeviceKind::Mouse) {
    DefineArea(SimArea::Info, MouseInfo(sensor).ToBytes());
    DefineArea(SimArea::Config, DefaultConfig());
    DefineArea(SimArea::KeyMap, DefaultKeyMap());
    DefineArea(SimArea::Status, {64, 2, 0, 1, 0, 0});  // 64 %, on battery, wireless
    DefineArea(SimArea::MacroData, std::vector<uint8_t>(std::size_t{kMacroUnits} * 128, 0));
    DefineArea(SimArea::MacroBlock, std::vector<uint8_t>(kMacroBlockSize, 0));
}

uint8_t SimMouse::ActiveBlock() const { return Config()[0]; }

std::vector<uint8_t> SimMouse::SettingsBlock(std::size_t block) const {
    const std::vector<uint8_t> area = Config();
    if (block >= kBlockCount) {
        return {};
    }
    const auto start = area.begin() + static_cast<std::ptrdiff_t>(block * kBlockStride);
    return {start, start + kBlockSize};
}

void SimMouse::DescribeConfig(std::ostream& out) const {
    out << "active-block " << int{ActiveBlock()} << '\n';
    for (std::size_t n = 0; n < kBlockCount; ++n) {
        const std::vector<uint8_t> block = SettingsBlock(n);
        out << "block " << n << ':';
        for (const Field& field : kBlockFields) out << ' ' << field.name << '=' << int{block[field.offset]};
        out << '\n';
        for (std::size_t i = 0; i < kDpiStages; ++i) {
            out << "block " << n << " stage " << i << ':';
            for (const Field& field : kStageFields) {
                out << ' ' << field.name << '=' << int{block[Block::Stages + i * Block::StageSize + field.offset]};
            }
            out << '\n';
        }
    }
}

void SimMouse::SwitchSettingsBlock(uint8_t block) {
    if (block >= kBlockCount) {
        return;
    }
    const std::array<uint8_t, 1> active = {block};
    Poke(SimArea::Config, 0, active);
    EmitEvent(static_cast<uint16_t>(0x1000 | block));
}

void SimMouse::SwitchSettingsBlock(uint8_t block, uint8_t activeStage) {
    if (block >= kBlockCount || activeStage >= kDpiStages) {
        return;
    }
    const std::array<uint8_t, 1> active = {block};
    const std::array<uint8_t, 1> stage = {activeStage};
    Poke(SimArea::Config, 0, active);
    Poke(SimArea::Config, block * kBlockStride + Block::ActiveStage, stage);
    EmitEvent(static_cast<uint16_t>(0x1100 | (activeStage << 4) | block));
}

}  // namespace q208::sim
