#include "ui/CDeviceHook.h"

#include <array>

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
};
constexpr std::array kModeMessages{
    ModeMessage{CDeviceHook::kSingleKey, kHookKeySingleKey},
    ModeMessage{CDeviceHook::kHitKey, kHookKeyHitKey},
    ModeMessage{CDeviceHook::kMacro, kHookKeyKbMacro},
    ModeMessage{CDeviceHook::kMacroBefore, kHookKeyKbMacroPrevious},
    ModeMessage{CDeviceHook::kMacroAfter, kHookKeyKbMacroLater},
    ModeMessage{CDeviceHook::kMacroSingle, kHookKeyKbMacroSingle},
};

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
    Grab(true);
    return true;
}

void CDeviceHook::Uninstall() {
    if (!IsInstalled()) return;
    mode_ = 0;
    message_ = 0;
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

LRESULT CDeviceHook::MessageHandler(UINT uMsg, WPARAM /*wParam*/, LPARAM lParam, bool& bHandled) {
    if (!IsInstalled()) return 0;
    if (uMsg == WM_KILLFOCUS || uMsg == WM_DESTROY) {
        Uninstall();
        if (onReleased_) onReleased_();
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
