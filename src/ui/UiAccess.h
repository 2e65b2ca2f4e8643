#pragma once

#include <string>
#include <string_view>

namespace q208 {

class CControlUI;

// What an assistive technology (a screen reader, a test script) is told a control is.
enum class AccessRole {
    Panel,
    PushButton,
    CheckBox,
    RadioButton,
    ComboBox,
    List,
    ListItem,
    Slider,
    TextEntry,
    Label,
    PageTabList,
    PageTab,
    ProgressBar,
    Menu,
    MenuItem,
};

// The value of a slider or progress bar.
struct AccessValue {
    int current = 0;
    int min = 0;
    int max = 0;
};

// The actions a control offers: "press" activates it as a click would, "toggle" flips a
// check box or selects a radio button.
inline constexpr std::string_view kAccessPress = "press";
inline constexpr std::string_view kAccessToggle = "toggle";

// What changed about a control, as seen from outside.
enum class AccessEvent {
    Focus,         // it got the keyboard focus
    ValueChanged,  // slider or progress value, the selected item of a combo or list
    TextChanged,   // the text of an edit
    NameChanged,   // its shown text
    StateChanged,  // checked, selected, enabled
    TreeChanged,   // children added, removed, shown or hidden below it
    Destroyed,     // it is about to go away; the pointer must not be used afterwards
};

// Observes one window's control tree. The manager calls it on the UI thread; a window with
// no observer pays one pointer test per change.
class IAccessObserver {
public:
    virtual ~IAccessObserver() = default;
    virtual void OnAccessEvent(CControlUI* control, AccessEvent event) = 0;
    // The window's manager goes away: every control pointer handed out is dead.
    virtual void OnAccessDetached() = 0;
};

}  // namespace q208
