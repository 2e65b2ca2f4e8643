#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace q208 {

// What a key or button can be given, as the keyboard and mouse store it: the kind byte and
// two parameters of the three-byte key-map code.
namespace keykind {
inline constexpr uint8_t kDisabled = 0x00;
inline constexpr uint8_t kMouseButton = 0x10;
inline constexpr uint8_t kMouseMove = 0x11;
inline constexpr uint8_t kMouseWheel = 0x12;
inline constexpr uint8_t kDpi = 0x13;
inline constexpr uint8_t kFire = 0x14;
inline constexpr uint8_t kKeyboard = 0x20;
inline constexpr uint8_t kMedia = 0x30;
inline constexpr uint8_t kSystem = 0x40;
inline constexpr uint8_t kMacro = 0x70;
inline constexpr uint8_t kMacroRepeat = 0x71;
inline constexpr uint8_t kGunKey = 0x72;
inline constexpr uint8_t kDeviceFunction = 0xA0;
inline constexpr uint8_t kShownAsCombo = 0xB0;
inline constexpr uint8_t kDeviceFunction2 = 0xD0;
}  // namespace keykind

// The categories of the assignment panel; a category number is also the user data of its
// item in the category drop-down.
enum class KeyCategory : int {
    Disabled = 0,
    MouseButton = 1,
    MouseMove = 2,
    MouseWheel = 3,
    Dpi = 4,
    Fire = 5,
    Keyboard = 6,
    Media = 7,
    System = 8,
    Macro = 9,
    GunKey = 10,
    Combo = 11,
};
inline constexpr int kKeyCategoryCount = 12;

// One row of a category table or of the key table: a 16-bit code (the entry's position in
// the category tables, the desktop's key code in the key table), the three-byte function
// and the language key of its name.
struct KeyFunction {
    uint16_t code = 0;
    uint8_t kind = 0;
    uint8_t first = 0;
    uint8_t second = 0;
    std::string_view nameKey;
};

// A key as the input hook reports it (set-1 scan code, extended-key flag).
struct CapturedKey {
    uint8_t scanCode = 0;
    bool extended = false;
};

namespace keytables {

inline constexpr int kKeyTableSize = 144;
inline constexpr int kModifierCount = 8;       // positions 0 … 7
inline constexpr int kFirstOrdinaryKey = 8;    // positions 8 … 113: plain keys
inline constexpr int kCaptureTableSize = 113;  // positions 0 … 112 have a scan code
inline constexpr int kMacroModes = 5;          // play modes 0 … 3, and 4: repeat a number of times
inline constexpr int kRepeatMode = 4;
inline constexpr int kGunKeyPresets = 4;       // the mouse's four gun slots
// The modifier options of the keyboard-key category: 0 none, 1 … 4 left Ctrl, Shift, Alt, Windows.
inline constexpr int kModifierOptions = 5;

// The 144 keys: modifiers, plain keys, consumer keys, system keys and the keyboard's own
// function keys. Names are language keys.
std::span<const KeyFunction> KeyTable();
// Scan code and extended flag of key-table positions 0 … 112.
std::span<const CapturedKey> CaptureTable();

// The drop-down tables; an entry's place in its drop-down is its position.
std::span<const KeyFunction> MouseButtons();
std::span<const KeyFunction> DpiFunctions();
std::span<const KeyFunction> MediaKeys();
std::span<const KeyFunction> SystemKeys();
std::span<const KeyFunction> ComboKeys();
// The table of a category that picks its function from a drop-down; empty for the others.
std::span<const KeyFunction> CategoryTable(KeyCategory category);

// The first capture-table position whose scan code and flag match and whose key is of
// kind 0x20; none for any other key.
std::optional<int> FindCapturedKey(CapturedKey key);
// The first plain key (position 8 on) with modifier byte 0 and this usage.
std::optional<int> FindPlainKey(uint8_t usage);
// The key-table position whose name key, or name key without "keyboard_key_", equals
// `name` (case ignored, "_" for a space: "Num_1"); none when no key has it.
std::optional<int> FindKeyByName(std::string_view name);
// The position in `table` whose bytes 3 and 4 equal `first` and `second`.
std::optional<int> FindEntry(std::span<const KeyFunction> table, uint8_t first, uint8_t second);

}  // namespace keytables
}  // namespace q208
