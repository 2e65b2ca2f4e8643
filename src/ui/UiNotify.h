#pragma once

#include <cstdint>
#include <string>

#include "ui/UiDefs.h"
#include "ui/UiTypes.h"

namespace q208 {

class CControlUI;

// A notification: something happened to a control ("click", "selectchanged", ...).
struct TNotifyUI {
    std::string sType;
    std::string sVirtualWnd;
    CControlUI* pSender = nullptr;
    uint64_t dwTimestamp = 0;
    UiPoint ptMouse;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// An input or timer event travelling to a control's DoEvent.
struct TEventUI {
    int Type = 0;  // UIEVENT_*
    CControlUI* pSender = nullptr;
    uint64_t dwTimestamp = 0;
    UiPoint ptMouse;
    uint32_t chKey = 0;     // character code point (UIEVENT_CHAR) or virtual key (key events)
    UINT wKeyState = 0;     // MK_* bits
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::string text;       // UTF-8 characters of a UIEVENT_CHAR
};

// Receives every notification of a window, in registration order.
class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyUI& msg) = 0;
};

// Sees window messages before (pre-filter) or instead of the window's own handling.
class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;
};

}  // namespace q208
