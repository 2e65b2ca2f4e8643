#include "app/MainWndRoutes.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace q208 {

namespace {

constexpr std::string_view kColour = kLightingEditorOwner;
constexpr std::string_view kPages = kDevicePageOwner;
constexpr std::string_view kKeys = kKeyEditorOwner;
constexpr std::string_view kMacro = kMacroEditorOwner;
constexpr std::string_view kShoot = kShootEditorOwner;
constexpr std::string_view kProfiles = kProfileListOwner;
constexpr std::string_view kHeadset = "headset panel";
constexpr std::string_view kSelect = "key selection panel";

// Notifications the main window passes to the editors and panels that own the controls.
constexpr std::array kRoutes{
    MainWndRoute{"colorchanged", "deng_Color_Pallet", false, kColour},
    MainWndRoute{"colorchanged", "deng_audioColor_Pallet", false, kColour},
    MainWndRoute{"msenter", "qelinms_key_", true, kPages},
    MainWndRoute{"msleave", "qelinms_key_", true, kPages},
    // option and tab controls of the device pages
    MainWndRoute{"selectchanged", "DPI_enable_check_", true, kPages},
    MainWndRoute{"selectchanged", "DPI_select_check_", true, kPages},
    MainWndRoute{"selectchanged", "polling_rate_option_", true, kPages},
    MainWndRoute{"selectchanged", "repeat_delay_check_", true, kPages},
    MainWndRoute{"selectchanged", "mouse_device_seting_option_", true, kPages},
    MainWndRoute{"selectchanged", "device_page_tab_", true, kPages},
    MainWndRoute{"selectchanged", "shoot_gun_op_", true, kShoot},
    MainWndRoute{"selectchanged", "bullet_op_", true, kShoot},
    MainWndRoute{"selectchanged", "magic_option_", true, kPages},
    MainWndRoute{"selectchanged", "2907_eq_option_", true, kHeadset},
    MainWndRoute{"selectchanged", "key_ComBox_check_", true, kKeys},
    MainWndRoute{"selectchanged", "pointer_precision_check", false, kPages},
    MainWndRoute{"selectchanged", "scrolls_page_check", false, kPages},
    MainWndRoute{"selectchanged", "synchro_device_select", false, kColour},
    MainWndRoute{"selectchanged", "key_Op_tab", false, kPages},
    MainWndRoute{"selectchanged", "deng_Op_tab", false, kPages},
    MainWndRoute{"selectchanged", "macro_Op_tab", false, kPages},
    MainWndRoute{"selectchanged", "magic_Op_tab", false, kPages},
    MainWndRoute{"selectchanged", "cursor_Op_tab", false, kPages},
    MainWndRoute{"selectchanged", "system_Op_tab", false, kPages},
    MainWndRoute{"selectchanged", "otherset_Op_tab", false, kPages},
    MainWndRoute{"selectchanged", "2907_voice_Op_tab", false, kHeadset},
    MainWndRoute{"selectchanged", "Virtual7.1_Op_tab", false, kHeadset},
    MainWndRoute{"selectchanged", "wflag_option", false, kPages},
    MainWndRoute{"selectchanged", "6flag_option", false, kPages},
    MainWndRoute{"selectchanged", "winlockflag_option", false, kPages},
    MainWndRoute{"selectchanged", "magic_enable_option", false, kPages},
    MainWndRoute{"selectchanged", "2907_MicIn_option", false, kHeadset},
    MainWndRoute{"selectchanged", "2907_MicMoniter_option", false, kHeadset},
    MainWndRoute{"selectchanged", "deng_7color_check", false, kColour},
    MainWndRoute{"selectchanged", "deng_7audiocolor_check", false, kColour},
    MainWndRoute{"selectchanged", "deng_FXL_check", false, kColour},
    MainWndRoute{"selectchanged", "deng_FXR_check", false, kColour},
    MainWndRoute{"selectchanged", "audio_FgColor_check", false, kColour},
    MainWndRoute{"selectchanged", "audio_BkColor_check", false, kColour},
    MainWndRoute{"selectchanged", "bullet_x_check", false, kShoot},
    MainWndRoute{"selectchanged", "bullet_y_check", false, kShoot},
    // sliders
    MainWndRoute{"valuechanged", "DPI_slider_", true, kPages},
    MainWndRoute{"valuechanged", "2907_eq_hz_slider_", true, kHeadset},
    MainWndRoute{"valuechanged", "pointer_speed_slider", false, kPages},
    MainWndRoute{"valuechanged", "scroll_speed_slider", false, kPages},
    MainWndRoute{"valuechanged", "double_click_slider", false, kPages},
    MainWndRoute{"valuechanged", "repeat_rate_slider", false, kPages},
    MainWndRoute{"valuechanged", "deng_light_slider", false, kColour},
    MainWndRoute{"valuechanged", "deng_speed_slider", false, kColour},
    MainWndRoute{"valuechanged", "2907_MicIn_slider", false, kHeadset},
    MainWndRoute{"valuechanged", "2907_MicMoniter_slider", false, kHeadset},
    MainWndRoute{"movevaluechanged", "DPI_slider_", true, kPages},
    MainWndRoute{"movevaluechanged", "qelin_DPI_slider_", true, kPages},
    // edits
    MainWndRoute{"killfocus", "DPI_edit_", true, kPages},
    MainWndRoute{"killfocus", "qelin_DPI_edit_", true, kPages},
    MainWndRoute{"killfocus", "deng_edit_R", false, kColour},
    MainWndRoute{"killfocus", "deng_edit_G", false, kColour},
    MainWndRoute{"killfocus", "deng_edit_B", false, kColour},
    MainWndRoute{"killfocus", "deng_audioedit_R", false, kColour},
    MainWndRoute{"killfocus", "deng_audioedit_G", false, kColour},
    MainWndRoute{"killfocus", "deng_audioedit_B", false, kColour},
    MainWndRoute{"killfocus", "bullet_x_eidt", false, kShoot},
    MainWndRoute{"killfocus", "bullet_y_eidt", false, kShoot},
    MainWndRoute{"killfocus", "bullet_delay_eidt", false, kShoot},
    // an edit's "textchanged" is looked up as "itemselect" (ListEvent)
    MainWndRoute{"itemselect", "bullet_x_eidt", false, kShoot},
    MainWndRoute{"itemselect", "bullet_y_eidt", false, kShoot},
    MainWndRoute{"itemselect", "bullet_delay_eidt", false, kShoot},
    MainWndRoute{"killfocus", "macro_delay", false, kMacro},
    MainWndRoute{"killfocus", "macro_fixed_time_edit", false, kMacro},
    MainWndRoute{"killfocus", "keyset_", true, kKeys},
    // lists; "itemclick" and "textchanged" take the same routes
    MainWndRoute{"itemselect", "device_profile_combo", false, kProfiles},
    MainWndRoute{"itemselect", "light_combo_", true, kColour},
    MainWndRoute{"itemselect", "logo_led_mode_combo", false, kPages},
    MainWndRoute{"itemselect", "keyset_", true, kKeys},
    MainWndRoute{"itemselect", "ble_sleep1_combo", false, kPages},
    MainWndRoute{"itemselect", "ble_sleep2_combo", false, kPages},
    MainWndRoute{"itemselect", "device_sleep1_combo", false, kPages},
    MainWndRoute{"itemselect", "device_sleep2_combo", false, kPages},
    MainWndRoute{"itemselect", "custom_eq_name_combo", false, kHeadset},
    MainWndRoute{"itemselect", "macro_name_list", false, kMacro},
    MainWndRoute{"menu", "macro_action_list", false, kMacro},
    MainWndRoute{"setfocus", "keyset_keyboard_text_edit", false, kKeys},
    MainWndRoute{"click_select_end", "device_key_light", false, kSelect},
    MainWndRoute{"click_select_end", "mouse_device_key_light", false, kSelect},
    // clicks
    MainWndRoute{"click", "key_", true, kKeys},
    MainWndRoute{"click", "color_option_", true, kColour},
    MainWndRoute{"click", "audiocolor_option_", true, kColour},
    MainWndRoute{"click", "DPI_color_option_", true, kPages},
    MainWndRoute{"click", "device_add_btn", false, kProfiles},
    MainWndRoute{"click", "device_sub_btn", false, kProfiles},
    MainWndRoute{"click", "device_import_btn", false, kProfiles},
    MainWndRoute{"click", "device_export_btn", false, kProfiles},
    MainWndRoute{"click", "device_copy_btn", false, kProfiles},
    MainWndRoute{"click", "device_reset_btn", false, kProfiles},
    MainWndRoute{"click", "device_profile_edit_save_btn", false, kProfiles},
    MainWndRoute{"click", "profile_fun_spread_btn", false, kProfiles},
    MainWndRoute{"click", "key_butt_keysave", false, kKeys},
    MainWndRoute{"click", "key_butt_keydefalut", false, kKeys},
    MainWndRoute{"click", "key_butt_keycancel", false, kKeys},
    MainWndRoute{"click", "key_butt_prosave", false, kKeys},
    MainWndRoute{"click", "default_btn", false, kKeys},
    MainWndRoute{"click", "reset_repeat_btn", false, kPages},
    MainWndRoute{"click", "macro_btn_", true, kMacro},
    MainWndRoute{"click", "macro_inset_", true, kMacro},
    MainWndRoute{"click", "shootdate_save_btn", false, kShoot},
    MainWndRoute{"click", "shootdate_reset_btn", false, kShoot},
    MainWndRoute{"click", "shootdate_import_btn", false, kShoot},
    MainWndRoute{"click", "shootdate_export_btn", false, kShoot},
    MainWndRoute{"click", "bullet_selected_prev", false, kShoot},
    MainWndRoute{"click", "bullet_selected_next", false, kShoot},
    MainWndRoute{"click", "deng_same_mode", false, kColour},
    MainWndRoute{"click", "Close_bkColor_btn", false, kColour},
    MainWndRoute{"click", "music_setting_btn", false, kColour},
    MainWndRoute{"click", "hs_EQ_btn_save", false, kHeadset},
    MainWndRoute{"click", "hs_EQ_btn_delete", false, kHeadset},
    // the lighting panel follows a slider while it is dragged
    MainWndRoute{"movevaluechanged", "deng_light_slider", false, kColour},
    MainWndRoute{"movevaluechanged", "deng_speed_slider", false, kColour},
    // the mouse pad page's lighting controls
    MainWndRoute{"itemselect", "pad_effect_combo", false, kPages},
    MainWndRoute{"valuechanged", "pad_brightness_slider", false, kPages},
    MainWndRoute{"valuechanged", "pad_speed_slider", false, kPages},
    MainWndRoute{"selectchanged", "pad_colour_cycle_check", false, kPages},
    MainWndRoute{"click", "pad_colour_option_", true, kPages},
    MainWndRoute{"click", "pad_colour_btn", false, kPages},
};

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool MatchesPrefix(std::string_view name, std::string_view prefix) {
    return name.size() > prefix.size() && EqualNoCase(name.substr(0, prefix.size()), prefix);
}

// These prefixes cover families of named controls, not numbered ones.
bool IsNamedFamily(std::string_view prefix) {
    return prefix == "macro_btn_" || prefix == "macro_inset_" || prefix == "keyset_" || prefix == "light_combo_";
}

std::string_view ListEvent(std::string_view event) {
    return event == "itemclick" || event == "textchanged" ? std::string_view("itemselect") : event;
}

}  // namespace

int NumberAfterPrefix(std::string_view name, std::string_view prefix) {
    if (!MatchesPrefix(name, prefix)) return -1;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.size() > 6) return -1;
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

const MainWndRoute* FindMainWndRoute(std::string_view event, std::string_view name) {
    event = ListEvent(event);
    for (const MainWndRoute& route : kRoutes) {
        if (route.event != event) continue;
        const bool match = !route.numbered                ? EqualNoCase(name, route.name)
                           : IsNamedFamily(route.name)    ? MatchesPrefix(name, route.name)
                                                          : NumberAfterPrefix(name, route.name) >= 0;
        if (match) return &route;
    }
    return nullptr;
}

}  // namespace q208
