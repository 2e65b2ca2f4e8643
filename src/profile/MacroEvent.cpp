#include "profile/MacroEvent.h"

#include <algorithm>
#include <charconv>

#include "profile/JsonAccess.h"

namespace q208 {

int MacroEvent::DelayOf(const Json::Value& delay) {
    long long value = 0;
    if (delay.isString()) {
        const std::string text = delay.asString();
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc::result_out_of_range) value = kMaxDelay;
        else if (ec != std::errc{} || end != text.data() + text.size()) value = 0;
    } else if (delay.isIntegral()) {
        value = delay.isUInt64() && delay.asUInt64() > kMaxDelay ? kMaxDelay : delay.asInt64();
    }
    return static_cast<int>(std::clamp<long long>(value, 0, kMaxDelay));
}

MacroEvent MacroEvent::FromJson(const Json::Value& event) {
    MacroEvent result;
    result.down = json::ToString(json::Find(event, "Action")) == "down";
    result.type = json::ToInt(json::Find(event, "Type"));
    result.button = json::ToInt(json::Find(event, "Button"));
    result.delay = DelayOf(json::Find(event, "Delay"));
    return result;
}

Json::Value MacroEvent::ToJson() const {
    Json::Value event(Json::objectValue);
    event["Action"] = down ? "down" : "up";
    event["Type"] = type;
    event["Button"] = button;
    event["Delay"] = std::to_string(delay);
    return event;
}

MacroEvent MouseAction::Event(int distance) const {
    MacroEvent event;
    event.down = Down();
    event.type = Type();
    event.button = MacroEvent::IsMoveType(Type()) ? distance : button;
    return event;
}

namespace mouseactions {

const std::array<MouseAction, 15>& Table() {
    static constexpr std::array<MouseAction, 15> kTable{{
        {kLeftDown, 0x10, 0x01, 0x81, "mouse_key_left"},
        {kLeftUp, 0x10, 0x01, 0x01, "mouse_key_left"},
        {kRightDown, 0x10, 0x02, 0x81, "mouse_key_right"},
        {kRightUp, 0x10, 0x02, 0x01, "mouse_key_right"},
        {kMiddleDown, 0x10, 0x04, 0x81, "mouse_key_middle"},
        {kMiddleUp, 0x10, 0x04, 0x01, "mouse_key_middle"},
        {kExtraDown, 0x10, 0x10, 0x81, "mouse_key_forward"},
        {kExtraUp, 0x10, 0x10, 0x01, "mouse_key_forward"},
        {kExtraDown, 0x10, 0x08, 0x81, "mouse_key_back"},
        {kExtraUp, 0x10, 0x08, 0x01, "mouse_key_back"},
        {0x0004, 0x15, 0, 0x84, "mouse_move_to_left_text"},
        {0x0004, 0x15, 0, 0x04, "mouse_move_to_right_text"},
        {0x0005, 0x15, 0, 0x85, "mouse_move_to_up_text"},
        {0x0005, 0x15, 0, 0x05, "mouse_move_to_down_text"},
        {kWheel, 0x12, 0, 0x00, "mouse_cursor_text"},
    }};
    return kTable;
}

std::optional<int> RowOfMessage(unsigned message, unsigned mouseData) {
    if (message == kExtraDown || message == kExtraUp) {
        const unsigned which = (mouseData >> 16) & 0xFFFF;
        const int up = message == kExtraUp ? 1 : 0;
        if (which == kExtraForward) return kForwardDown + up;
        if (which == kExtraBack) return kBackDown + up;
        return std::nullopt;
    }
    for (int row = 0; row < 6; ++row) {
        if (Table()[row].code == message) return row;
    }
    return std::nullopt;
}

std::string_view NameKeyOf(const MacroEvent& event) {
    if (event.type == MacroEvent::kTypeMouseButton) {
        for (int row = 0; row < 10; ++row) {
            if (Table()[row].button == event.button) return Table()[row].nameKey;
        }
    } else if (MacroEvent::IsMoveType(event.type)) {
        const int kind = event.type | (event.down ? 0x80 : 0);
        for (int row = kMoveLeft; row <= kMoveDown; ++row) {
            if (Table()[row].kind == kind) return Table()[row].nameKey;
        }
    }
    return {};
}

}  // namespace mouseactions

}  // namespace q208
