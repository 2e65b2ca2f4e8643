#pragma once

#include <string>

#include "ui/UiTypes.h"

namespace q208 {

// Input as a backend delivers it to a window (IWindowEventSink). Coordinates are in the
// window's client area, in device pixels.

inline constexpr UINT kModShift = 0x1;
inline constexpr UINT kModControl = 0x2;
inline constexpr UINT kModAlt = 0x4;

// Back and Forward: the side buttons of a five-button mouse.
enum class PointerButton { None, Left, Right, Middle, Back, Forward };
// Enter and Leave: the pointer came over the window or left it.
enum class PointerAction { Move, Press, Release, DoubleClick, Enter, Leave };

struct PointerEvent {
    PointerAction action = PointerAction::Move;
    PointerButton button = PointerButton::None;
    UiPoint pos;
    UINT modifiers = 0;     // kMod* bits
    UINT buttonsDown = 0;   // MK_LBUTTON / MK_RBUTTON / MK_MBUTTON held during a move
};

struct WheelEvent {
    UiPoint pos;
    int delta = 0;  // 120 per notch, positive away from the user
    UINT modifiers = 0;
};

enum class KeyAction { Down, Up };

struct KeyEvent {
    KeyAction action = KeyAction::Down;
    UINT virtualKey = 0;  // VK_* of UiDefs.h, or the upper-case ASCII letter/digit
    std::string text;     // UTF-8 characters the key produces (Down only; may be empty)
    UINT modifiers = 0;
    UINT scanCode = 0;      // set-1 scan code of the physical key (ScanCodes.h), 0 unknown
    bool extended = false;  // the scan code comes after the E0 prefix
};

// What a native text field should look like while an edit control is focused.
struct TextEditRequest {
    UiRect rect;  // client coordinates
    std::string text;
    FontDesc font;
    ARGB textColor = 0xFF000000;
    int maxChars = 0;  // 0: unlimited
    bool digitsOnly = false;
    bool password = false;
};

}  // namespace q208
