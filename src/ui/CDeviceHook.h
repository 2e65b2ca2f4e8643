#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "ui/UiNotify.h"
#include "ui/UiTypes.h"

namespace q208 {

class WindowImplBase;

// The input hook of the key capture and the macro recorder: while a mode is installed the
// window takes the keyboard (no other program and none of its own text fields gets a key)
// and each key press and release is posted to the window as the mode's registered message.
// Caps Lock, Num Lock and Scroll Lock pass through untouched.
//
// A key message carries the key's kind in wParam (WM_KEYDOWN or WM_KEYUP) and the key in
// lParam (PackKey: set-1 scan code, extended flag). Removing the hook, the window losing the
// focus and the window going away all release the grab; a release the user did not ask
// for is reported through the release handler.
//
// In the recording modes (4 ... 32) the mouse buttons pressed and released on the window are
// posted too, as the mode's mouse message: wParam the button message (0x201 ... 0x20C) in the
// low word and, for a side button, XBUTTON1 (back) or XBUTTON2 (forward) in the high word;
// lParam the point in client coordinates. The buttons still reach the window.
//
// UI thread only.
class CDeviceHook : public IMessageFilterUI {
public:
    // Modes and the names of their messages; a mode of another number sends nothing.
    enum Mode : int {
        kSingleKey = 1,     // key capture of the key assignment editor
        kHitKey = 2,        // one key press
        kMacro = 4,         // recording: append
        kMacroBefore = 8,   // recording: insert before the selected event
        kMacroAfter = 16,   // recording: insert after the selected event
        kMacroSingle = 32,  // set the key of the selected event
    };
    static std::optional<std::string_view> MessageNameOf(int mode);
    static std::optional<std::string_view> MouseMessageNameOf(int mode);

    struct Key {
        uint16_t scanCode = 0;
        bool extended = false;
        bool down = true;
    };
    static LPARAM PackKey(uint16_t scanCode, bool extended);
    static Key UnpackKey(WPARAM wParam, LPARAM lParam);
    struct MouseButton {
        UINT message = 0;
        unsigned mouseData = 0;  // the side button in the high word
        UiPoint point;
    };
    static WPARAM PackMouse(UINT message, unsigned sideButton);
    static MouseButton UnpackMouse(WPARAM wParam, LPARAM lParam);

    explicit CDeviceHook(WindowImplBase& window);
    ~CDeviceHook() override;
    CDeviceHook(const CDeviceHook&) = delete;
    CDeviceHook& operator=(const CDeviceHook&) = delete;

    // Installs the hook in `mode` (replacing another mode); false for a mode without message.
    bool Install(int mode);
    void Uninstall();
    bool IsInstalled() const { return mode_ != 0; }
    int GetMode() const { return mode_; }
    // Called after the hook let go by itself (focus lost): the owner ends its capture.
    void SetReleaseHandler(std::function<void()> handler) { onReleased_ = std::move(handler); }

    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    static bool PassesThrough(uint16_t scanCode, bool extended);
    void Grab(bool grab);

    WindowImplBase& window_;
    int mode_ = 0;
    UINT message_ = 0;
    UINT mouseMessage_ = 0;
    std::function<void()> onReleased_;
};

}  // namespace q208
