#pragma once

// The fixed records the device classes exchange with a profile. Byte order and sizes are
// those of the device memory images the records are copied into.

#include <cstdint>
#include <string>

namespace q208 {

// Current lighting state ("LightInfo").
struct LightInfoRecord {
    std::uint8_t selectItem = 0;  // lighting mode; at or above the built-in count: a custom light file
    std::uint8_t light = 0;       // brightness level
    std::uint8_t speed = 0;       // speed level
    std::uint8_t fx = 0;          // direction
    std::uint8_t multiColor = 0;  // colour cycle
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t unused[3] = {};
    std::uint8_t zzccLedMode = 0;  // device-specific LED sub-mode
    std::uint8_t customGroup = 0;  // custom colour group (the keyboard's custom light slot)
    std::uint8_t oldLedMode = 0;   // mode before the last change
};
static_assert(sizeof(LightInfoRecord) == 14);

// Parameters of one lighting mode ("LightList" element).
struct LightListEntry {
    std::uint8_t mode = 0;
    std::uint8_t brightness = 0;
    std::uint8_t speed = 0;
    std::uint8_t direction = 0;
    std::uint8_t multiColor = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t unused[2] = {};
    std::uint8_t present = 0;  // 1 when the list element is an object, 0 when it is null
    std::uint8_t unused2[3] = {};
};
static_assert(sizeof(LightListEntry) == 14);

// One half of a key assignment: entry index and the device's 3-byte key-map code.
struct KeyAssignmentHalf {
    std::uint16_t index = 0;
    std::uint8_t type = 0;
    std::uint8_t param1 = 0;
    std::uint8_t param2 = 0;
    std::uint8_t spare = 0;
};
static_assert(sizeof(KeyAssignmentHalf) == 6);

// "KeyList" element: the current assignment and the key's factory assignment.
struct KeyAssignmentRecord {
    KeyAssignmentHalf current;
    KeyAssignmentHalf defaults;
};
static_assert(sizeof(KeyAssignmentRecord) == 12);

// The 24-bit value stored in "Assignment"/"DefaultAssignment": type in bits 16-23.
constexpr int PackAssignment(const KeyAssignmentHalf& half) {
    return (half.type << 16) | (half.param1 << 8) | half.param2;
}
constexpr void UnpackAssignment(int value, KeyAssignmentHalf& half) {
    half.type = static_cast<std::uint8_t>(value >> 16);
    half.param1 = static_cast<std::uint8_t>(value >> 8);
    half.param2 = static_cast<std::uint8_t>(value);
}

// Audio-reactive lighting colours ("AudioLightInfo", keyboard).
struct AudioLightRecord {
    std::uint8_t audioMode = 0;
    std::uint8_t bkRed = 0;
    std::uint8_t bkGreen = 0;
    std::uint8_t bkBlue = 0;
    std::uint8_t fgRed = 0;
    std::uint8_t fgGreen = 0;
    std::uint8_t fgBlue = 0;
    std::uint8_t sevenColor = 0;
    std::uint8_t colorType = 0;
};
static_assert(sizeof(AudioLightRecord) == 9);

// One step of a custom light file ("LEDEffectList" element).
struct LightEffectStep {
    std::uint8_t mode = 0;
    std::uint8_t brightness = 0;
    std::uint8_t speed = 0;
    std::uint8_t direction = 0;
    std::uint8_t multiColor = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::int32_t time = 0;
    std::int32_t cycle = 0;
};

// Keyboard options ("SystemStages" of the keyboard), six 16-bit values.
struct KeyboardSystemRecord {
    std::uint16_t repeat = 0;
    std::uint16_t repeatDelay = 0;
    std::uint16_t key6Flag = 0;
    std::uint16_t pollingRate = 0;
    std::uint16_t wFlag = 0;
    std::uint16_t winFlag = 0;
};
static_assert(sizeof(KeyboardSystemRecord) == 12);

// One per-key colour of a custom lighting group.
struct CustomLightColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;
};
static_assert(sizeof(CustomLightColor) == 4);

// One DPI stage of the mouse. The mouse keeps the X step in dpiX[0] and the Y step in
// dpiX[1], so "StageDPIX" holds both steps as one 16-bit number; dpiY travels unchanged.
struct DpiStage {
    std::uint8_t active = 0;  // stage enabled
    std::uint8_t xy = 0;      // separate X and Y resolution
    std::uint8_t dpiX[2] = {};
    std::uint8_t dpiY[2] = {};
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    constexpr std::uint16_t DpiX() const { return static_cast<std::uint16_t>(dpiX[0] | (dpiX[1] << 8)); }
    constexpr std::uint16_t DpiY() const { return static_cast<std::uint16_t>(dpiY[0] | (dpiY[1] << 8)); }
    constexpr void SetDpiX(std::uint16_t v) { dpiX[0] = static_cast<std::uint8_t>(v); dpiX[1] = static_cast<std::uint8_t>(v >> 8); }
    constexpr void SetDpiY(std::uint16_t v) { dpiY[0] = static_cast<std::uint8_t>(v); dpiY[1] = static_cast<std::uint8_t>(v >> 8); }
    constexpr void SetSteps(std::uint8_t x, std::uint8_t y) { dpiX[0] = x; dpiX[1] = y; }
};
static_assert(sizeof(DpiStage) == 9);

// Mouse settings, eleven 16-bit values in the order the mouse code expects.
struct MouseSettingsRecord {
    std::uint16_t doubleClickTime = 0;
    std::uint16_t mouseSpeed = 0;
    std::uint16_t pointerPrecision = 0;
    std::uint16_t scrollPage = 0;
    std::uint16_t wheelLines = 0;
    std::uint16_t pollingIndex = 0;  // "ReportStages"."StageActive"
    std::uint16_t bleSleep1 = 0;
    std::uint16_t bleSleep2 = 0;
    std::uint16_t deviceSleep1 = 0;
    std::uint16_t deviceSleep2 = 0;
    std::uint16_t logoLedMode = 0;
};
static_assert(sizeof(MouseSettingsRecord) == 22);

// Headset audio settings ("SystemSetStages"), eight 32-bit values.
struct HeadsetSettingsRecord {
    std::int32_t magicEnable = 0;
    std::int32_t magicType = 0;
    std::int32_t eqType = 0;
    std::int32_t customEqSelectIndex = 0;
    std::int32_t micInSelect = 0;
    std::int32_t micInValue = 0;
    std::int32_t micMonitorSelect = 0;
    std::int32_t micMonitorValue = 0;
};
static_assert(sizeof(HeadsetSettingsRecord) == 32);

}  // namespace q208
