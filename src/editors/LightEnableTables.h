#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace q208 {

// Which controls of the lighting panel an effect uses, per device kind. `Tri` leaves a
// control as it is.
enum class Tri : uint8_t { Off, On, Keep };

struct LightEnableRow {
    Tri sevenColour = Tri::Off;
    Tri colour = Tri::Off;
    Tri palette = Tri::Off;
    Tri brightness = Tri::Off;
    Tri speed = Tri::Off;
    Tri direction = Tri::Off;
    Tri rgbLayout = Tri::Keep;         // the mouse's "deng_rgb_layout"
    Tri lightColourLayout = Tri::Keep; // "light_color_layout"
    bool speedHidden = false;
    bool customLayout = false;   // "lightcustom_layout" shown
    bool subModeLayout = false;  // "light_combo_ZZCCmodeSelectLayout" shown
    bool audioLayout = false;    // "light_combo_AudiomodeSelectLayout" shown, colour page 1
    // Direction labels (language keys) of "deng_FXL_check" and "deng_FXR_check"; empty
    // keeps the defaults.
    std::string_view leftLabel;
    std::string_view rightLabel;
};

// What a kind's table does before the row of the effect.
struct LightEnableReset {
    bool keyboardDefaults = false;  // the keyboard's full reset
    bool hideSameMode = false;      // hide "deng_same_mode", enable "deng_fx_layout"
};

// Device kinds: 1 keyboard, 2 mouse, 3 mouse pad, 4 and 7 headset, 5.
LightEnableReset LightEnableResetOf(int kind);
LightEnableRow LightEnableRowOf(int kind, int effect);

inline constexpr std::string_view kDefaultLeftLabel = "light_set_right_to_left_text";
inline constexpr std::string_view kDefaultRightLabel = "light_set_left_to_right_text";

}  // namespace q208
