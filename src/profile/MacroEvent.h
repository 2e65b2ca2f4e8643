#pragma once

// One step of a macro as the event files keep it: {"Action", "Type", "Button", "Delay"}, and
// the table of mouse actions the recorder and the insert menu build events from.

#include <json/value.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q208 {

struct MacroEvent {
    static constexpr int kTypeMouseButton = 1;
    static constexpr int kTypeMoveX = 4;  // "down" moves left, "up" right
    static constexpr int kTypeMoveY = 5;  // "down" moves up, "up" down
    static constexpr int kTypeModifier = 9;
    static constexpr int kTypeKey = 10;
    static constexpr int kMaxDelay = 65535;

    bool down = true;
    int type = kTypeKey;
    int button = 0;
    int delay = 0;

    static bool IsKeyboardType(int type) { return type == kTypeModifier || type == kTypeKey; }
    static bool IsMoveType(int type) { return type == kTypeMoveX || type == kTypeMoveY; }

    // "Delay" as decimal text or a number (a freshly recorded first event holds the integer
    // 0); anything else reads 0. Values above 65535 read 65535.
    static int DelayOf(const Json::Value& delay);
    // Reads an event object; missing members read 0 / "up".
    static MacroEvent FromJson(const Json::Value& event);
    // The event object with "Delay" written as decimal text.
    Json::Value ToJson() const;
};

// One row of the mouse action table: the mouse message that records it (for movements the
// event type), the button bit and the kind byte (bit 7 "down", the low bits the type).
struct MouseAction {
    uint16_t code = 0;
    uint8_t group = 0;
    uint8_t button = 0;
    uint8_t kind = 0;
    const char* nameKey = "";

    bool Down() const { return (kind & 0x80) != 0; }
    int Type() const { return kind & 0x7F; }
    // The event of this row (movements take `distance` as their button).
    MacroEvent Event(int distance = 0) const;
};

namespace mouseactions {

inline constexpr uint16_t kLeftDown = 0x0201, kLeftUp = 0x0202;
inline constexpr uint16_t kRightDown = 0x0204, kRightUp = 0x0205;
inline constexpr uint16_t kMiddleDown = 0x0207, kMiddleUp = 0x0208;
inline constexpr uint16_t kExtraDown = 0x020B, kExtraUp = 0x020C;
inline constexpr uint16_t kWheel = 0x020A;
// The high word of an extra button's mouse data.
inline constexpr int kExtraBack = 1, kExtraForward = 2;

inline constexpr int kForwardDown = 6, kBackDown = 8;
inline constexpr int kMoveLeft = 10, kMoveRight = 11, kMoveUp = 12, kMoveDown = 13;

const std::array<MouseAction, 15>& Table();
// The row a recorded mouse message gives: the six plain button rows by message, the extra
// buttons by the high word of the mouse data; none for any other message.
std::optional<int> RowOfMessage(unsigned message, unsigned mouseData);
// The name key of a mouse event: buttons by their bit, movements by type and direction;
// empty for the other mouse kinds.
std::string_view NameKeyOf(const MacroEvent& event);

}  // namespace mouseactions

}  // namespace q208
