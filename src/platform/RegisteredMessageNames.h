#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/Paths.h"

namespace q208 {

// The main window's message endpoint.
inline constexpr const char* kMainWindowClass = "MainWnd";
inline constexpr const char* kMainWindowTitle = kProductTitle;
// What the main window's endpoint answers a message with: queued for the window, or not
// taken (a name it does not take from other programs, or a window that is going away).
inline constexpr int64_t kEndpointMessageQueued = 1;
inline constexpr int64_t kEndpointMessageNotTaken = 0;

// Registered under the window title: a second copy sends it with lParam 1 to bring the
// running copy to the front; the detection thread posts it with lParam 0.
inline constexpr const char* kProductMessageName = kProductTitle;

// The companion messages, by index. The fifth really ends in "EBE19"; other programs
// register it with that spelling, so it must stay.
inline constexpr std::array<const char*, 5> kCompanionMessageNames{
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}",  // 0: update progress, forwarded to the settings window
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}",  // 1: broadcast: this program takes (1) or releases (0) the lighting
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}",  // 2: another program asks to take (1) or release (0) the lighting
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}",  // 3: send the model list to the "WorkTool" window
    "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}",  // 4: audio-lighting control for the recorder window
};

// The window that companion message 3 sends the model list to.
inline constexpr const char* kWorkToolWindowTitle = "WorkTool";

// Keyboard events of the input hook: key capture and keyboard-macro recording.
inline constexpr const char* kHookKeySingleKey = "WM_HOOK_KEY_SINGLEKEY_MSG";
inline constexpr const char* kHookKeyHitKey = "WM_HOOK_KEY_HITKEY_MSG";
inline constexpr const char* kHookKeyKbMacro = "WM_HOOK_KEY_KBMACRO_MSG";
inline constexpr const char* kHookKeyKbMacroSingle = "WM_HOOK_KEY_KBMACROSINGLE_MSG";
inline constexpr const char* kHookKeyKbMacroPrevious = "WM_HOOK_KEY_KBMACROPREVIOUS_MSG";
inline constexpr const char* kHookKeyKbMacroLater = "WM_HOOK_KEY_KBMACROLATER_MSG";
// Events of mouse-macro recording.
inline constexpr const char* kHookKeyMsMacro = "WM_HOOK_KEY_MSMACRO_MSG";
inline constexpr const char* kHookKeyMsMacroSingle = "WM_HOOK_KEY_MSMACROSINGLE_MSG";
inline constexpr const char* kHookKeyMsMacroPrevious = "WM_HOOK_KEY_MSMACROPREVIOUS_MSG";
inline constexpr const char* kHookKeyMsMacroLater = "WM_HOOK_KEY_MSMACROLATER_MSG";
// Mouse events of the hook, taken by the hook wrapper.
inline constexpr const char* kHookMouSingleKey = "WM_HOOK_MOU_SINGLEKEY_MSG";
inline constexpr const char* kHookMouHitKey = "WM_HOOK_MOU_HITKEY_MSG";
inline constexpr const char* kHookMouKbMacro = "WM_HOOK_MOU_KBMACRO_MSG";
inline constexpr const char* kHookMouMsMacro = "WM_HOOK_MOU_MSMACRO_MSG";
// Button and move notices of the hook; nobody acts on them.
inline constexpr const char* kMouseLButtonDown = "UWM_MOUSELBUTTONDOWN_USER_MSG";
inline constexpr const char* kMouseLButtonUp = "UWM_MOUSELBUTTONUP_USER_MSG";
inline constexpr const char* kMouseRButtonDown = "UWM_MOUSERBUTTONDOWN_USER_MSG";
inline constexpr const char* kMouseRButtonUp = "UWM_MOUSERBUTTONUP_USER_MSG";
inline constexpr const char* kMouseMove = "UWM_MOUSEMOVE_USER_MSG";
// Game events from another program: they briefly change the current device's lighting.
inline constexpr const char* kGameStart = "Game_Start";
inline constexpr const char* kGameEnd = "Game_End";
inline constexpr const char* kGameKill = "Game_Kill";
inline constexpr const char* kGameDeath = "Game_Death";
// The audio layer's notice that an audio device came or went (taken by the headset).
inline constexpr const char* kAudioDeviceChange = "winmm_devicechange";

// q208ctl's request to select a profile in the running program: wParam the device kind
// (1 keyboard, 2 mouse, 3 mouse pad, 7 headset), lParam the profile's index. The program
// selects it in the device's profile panel, which switches the device as a click would.
inline constexpr const char* kProfileSelectMessageName = "Q208_PROFILE_SELECT";

// Who handles a registered message.
enum class MessageReceiver {
    MainWindow,
    OtherPrograms,   // broadcast or sent by this program to another one
    HookWrapper,
    Nobody,          // only let through
    Headset,
};

// One registered name: who takes it, and whether another program may send it to us
// through the message endpoint. Everything else arrives only from inside this process.
struct RegisteredMessageName {
    std::string_view name;
    MessageReceiver receiver;
    bool fromOtherPrograms;
};

inline constexpr std::array<RegisteredMessageName, 31> kRegisteredMessageNames{{
    {kProductTitle, MessageReceiver::MainWindow, true},  // a second copy
    {kCompanionMessageNames[0], MessageReceiver::MainWindow, true},
    {kCompanionMessageNames[1], MessageReceiver::OtherPrograms, false},
    {kCompanionMessageNames[2], MessageReceiver::MainWindow, true},
    {kCompanionMessageNames[3], MessageReceiver::MainWindow, true},
    {kCompanionMessageNames[4], MessageReceiver::OtherPrograms, false},
    {kHookKeySingleKey, MessageReceiver::MainWindow, false},
    {kHookKeyHitKey, MessageReceiver::MainWindow, false},
    {kHookKeyKbMacro, MessageReceiver::MainWindow, false},
    {kHookKeyKbMacroSingle, MessageReceiver::MainWindow, false},
    {kHookKeyKbMacroPrevious, MessageReceiver::MainWindow, false},
    {kHookKeyKbMacroLater, MessageReceiver::MainWindow, false},
    {kHookKeyMsMacro, MessageReceiver::MainWindow, false},
    {kHookKeyMsMacroSingle, MessageReceiver::MainWindow, false},
    {kHookKeyMsMacroPrevious, MessageReceiver::MainWindow, false},
    {kHookKeyMsMacroLater, MessageReceiver::MainWindow, false},
    {kHookMouSingleKey, MessageReceiver::HookWrapper, false},
    {kHookMouHitKey, MessageReceiver::HookWrapper, false},
    {kHookMouKbMacro, MessageReceiver::HookWrapper, false},
    {kHookMouMsMacro, MessageReceiver::HookWrapper, false},
    {kMouseLButtonDown, MessageReceiver::Nobody, false},
    {kMouseLButtonUp, MessageReceiver::Nobody, false},
    {kMouseRButtonDown, MessageReceiver::Nobody, false},
    {kMouseRButtonUp, MessageReceiver::Nobody, false},
    {kMouseMove, MessageReceiver::Nobody, false},
    {kGameStart, MessageReceiver::MainWindow, true},
    {kGameEnd, MessageReceiver::MainWindow, true},
    {kGameKill, MessageReceiver::MainWindow, true},
    {kGameDeath, MessageReceiver::MainWindow, true},
    {kAudioDeviceChange, MessageReceiver::Headset, false},
    {kProfileSelectMessageName, MessageReceiver::MainWindow, true},
}};

}  // namespace q208
