#include "ui/CDeviceHook.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "platform/RegisteredMessageNames.h"
#include "ui/IWindowSurface.h"
#include "ui/UiDefs.h"
#include "ui/UiMessaging.h"
#include "ui/WindowImplBase.h"

namespace q208 {

namespace {

struct ModeMessage {
    int mode;
    const char* name;
    const char* mouseName;  // recording modes: the message of a mouse button
};
constexpr std::array kModeMessages{
    ModeMessage{CDeviceHook::kSingleKey, kHookKeySingleKey, nullptr},
    ModeMessage{CDeviceHook::kHitKey, kHookKeyHitKey, nullptr},
    ModeMessage{CDeviceHook::kMacro, kHookKeyKbMacro, kHookKeyMsMacro},
    ModeMessage{CDeviceHook::kMacroBefore, kHookKeyKbMacroPrevious, kHookKeyMsMacroPrevious},
    ModeMessage{CDeviceHook::kMacroAfter, kHookKeyKbMacroLater, kHookKeyMsMacroLater},
    ModeMessage{CDeviceHook::kMacroSingle, kHookKeyKbMacroSingle, kHookKeyMsMacroSingle},
};

constexpr UINT kMouseButtonMessages[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                         WM_MBUTTONDOWN, WM_MBUTTONUP, WM_XBUTTONDOWN, WM_XBUTTONUP};

bool IsMouseButtonMessage(UINT message) {
    return std::find(std::begin(kMouseButtonMessages), std::end(kMouseButtonMessages), message) !=
           std::end(kMouseButtonMessages);
}

// The lock keys keep working while the hook holds the keyboard (their lights follow them).
struct LockKey {
    uint16_t scanCode;
    bool extended;
};
constexpr LockKey kLockKeys[] = {
    {0x3A, false},  // Caps Lock
    {0x45, true},   // Num Lock
    {0x46, false},  // Scroll Lock
};

// Key messages carry the scan code in bits 16-23 and the extended flag in bit 24.
constexpr int kScanShift = 16;
constexpr LPARAM kScanMask = 0xFF;
constexpr LPARAM kExtendedBit = LPARAM{1} << 24;
// The hook's own messages: the scan code in the low word, the extended flag above it.
constexpr LPARAM kPackedScanMask = 0xFFFF;
constexpr LPARAM kPackedExtended = 0x10000;

}  // namespace

std::optional<std::string_view> CDeviceHook::MessageNameOf(int mode) {
    for (const ModeMessage& row : kModeMessages) {
        if (row.mode == mode) return row.name;
    }
    return std::nullopt;
}

std::optional<std::string_view> CDeviceHook::MouseMessageNameOf(int mode) {
    for (const ModeMessage& row : kModeMessages) {
        if (row.mode == mode && row.mouseName) return row.mouseName;
    }
    return std::nullopt;
}

WPARAM CDeviceHook::PackMouse(UINT message, unsigned mouseData) {
    return (static_cast<WPARAM>(mouseData & 0xFFFF) << 16) | (message & 0xFFFF);
}

CDeviceHook::MouseButton CDeviceHook::UnpackMouse(WPARAM wParam, LPARAM lParam) {
    return {static_cast<UINT>(wParam & 0xFFFF), static_cast<unsigned>((wParam >> 16) & 0xFFFF) << 16,
            {LowSigned(lParam), HighSigned(lParam)}};
}

LPARAM CDeviceHook::PackKey(uint16_t scanCode, bool extended) {
    return (static_cast<LPARAM>(scanCode) & kPackedScanMask) | (extended ? kPackedExtended : 0);
}

CDeviceHook::Key CDeviceHook::UnpackKey(WPARAM wParam, LPARAM lParam) {
    return {static_cast<uint16_t>(lParam & kPackedScanMask), (lParam & kPackedExtended) != 0, wParam != WM_KEYUP};
}

CDeviceHook::CDeviceHook(WindowImplBase& window) : window_(window) {}

CDeviceHook::~CDeviceHook() { Uninstall(); }

bool CDeviceHook::Install(int mode) {
    const auto name = MessageNameOf(mode);
    if (!name) return false;
    if (!IsInstalled()) window_.GetPaintManager().AddPreMessageFilter(this);
    mode_ = mode;
    message_ = RegisterWindowMessage(*name);
    const auto mouseName = MouseMessageNameOf(mode);
    mouseMessage_ = mouseName ? RegisterWindowMessage(*mouseName) : 0;
    Grab(true);
    return true;
}

void CDeviceHook::Uninstall() {
    if (!IsInstalled()) return;
    mode_ = 0;
    message_ = 0;
    mouseMessage_ = 0;
    window_.GetPaintManager().RemovePreMessageFilter(this);
    Grab(false);
}

void CDeviceHook::Grab(bool grab) {
    if (IWindowSurface* surface = window_.GetSurface()) surface->GrabKeyboard(grab);
}

bool CDeviceHook::PassesThrough(uint16_t scanCode, bool extended) {
    for (const LockKey& key : kLockKeys) {
        if (key.scanCode == scanCode && key.extended == extended) return true;
    }
    return false;
}

LRESULT CDeviceHook::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
    if (!IsInstalled()) return 0;
    if (uMsg == WM_KILLFOCUS || uMsg == WM_DESTROY) {
        Uninstall();
        if (onReleased_) onReleased_();
        return 0;
    }
    if (IsMouseButtonMessage(uMsg)) {
        // The recorder hears the button; the window still gets it (the stop button is
        // clicked this way).
        if (mouseMessage_) {
            const unsigned which = uMsg == WM_XBUTTONDOWN || uMsg == WM_XBUTTONUP ? (wParam >> 16) & 0xFFFF : 0;
            PostMessage(window_.GetHWND(), mouseMessage_, PackMouse(uMsg, which), lParam);
        }
        return 0;
    }
    if (uMsg != WM_KEYDOWN && uMsg != WM_KEYUP && uMsg != WM_CHAR) return 0;
    const auto scanCode = static_cast<uint16_t>((lParam >> kScanShift) & kScanMask);
    const bool extended = (lParam & kExtendedBit) != 0;
    if (PassesThrough(scanCode, extended)) return 0;
    bHandled = true;  // the key reaches the hook only
    if (uMsg == WM_CHAR || scanCode == 0) return 0;
    PostMessage(window_.GetHWND(), message_, uMsg, PackKey(scanCode, extended));
    return 0;
}

}  // namespace q208
