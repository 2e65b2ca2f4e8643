#pragma once

#include <string_view>

namespace q208 {

// Where a notification of a main-window control goes when the window itself does not act
// on it: the editor or panel that owns the control. Names are matched exactly, or as a
// prefix followed by a number ("key_" + n).
struct MainWndRoute {
    std::string_view event;   // notification type
    std::string_view name;    // control name, or prefix when `numbered`
    bool numbered;
    std::string_view owner;   // the editor or panel that takes it
};

// The owner of the profile panels' controls (ProfileActions).
inline constexpr std::string_view kProfileListOwner = "profile list";
// The owner of the key assignment panels and of the keys of the device pictures.
inline constexpr std::string_view kKeyEditorOwner = "key assignment editor";
// The owner of the mouse page's fire-key editor (CShootControlUI).
inline constexpr std::string_view kShootEditorOwner = "fire-key editor";
// The owner of the macro panels and their event lists.
inline constexpr std::string_view kMacroEditorOwner = "macro editor";
// The owner of the lighting panels of the device pages.
inline constexpr std::string_view kLightingEditorOwner = "lighting editor";
// The owner of the device pages' own controls.
inline constexpr std::string_view kDevicePageOwner = "device page";

// The route of (event, control name), or null. Names are compared without case.
const MainWndRoute* FindMainWndRoute(std::string_view event, std::string_view name);

// The number after `prefix` in `name` ("color_option_12" → 12), or -1 when `name` is not
// the prefix followed by decimal digits only. The prefix is compared without case.
int NumberAfterPrefix(std::string_view name, std::string_view prefix);

}  // namespace q208
