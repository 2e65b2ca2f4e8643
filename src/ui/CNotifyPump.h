#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/UiNotify.h"

namespace q208 {

// Dispatches notifications by type and control name to handlers: an exact name first,
// then the longest matching name prefix ("DPI_slider_" for "DPI_slider_3"), then a handler
// for the type alone. Notifications naming a virtual window go to that pump instead.
class CNotifyPump {
public:
    using Handler = std::function<void(TNotifyUI&)>;

    virtual ~CNotifyPump() = default;

    void On(std::string type, Handler handler);
    void On(std::string type, std::string controlName, Handler handler);
    void OnPrefix(std::string type, std::string namePrefix, Handler handler);

    bool AddVirtualWnd(std::string name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const std::string& name);
    // True when a handler took the notification.
    bool LoopDispatch(TNotifyUI& msg);
    void NotifyPump(TNotifyUI& msg);

private:
    std::map<std::pair<std::string, std::string>, Handler> byName_;
    std::map<std::string, std::vector<std::pair<std::string, Handler>>> byPrefix_;
    std::map<std::string, Handler> byType_;
    std::map<std::string, CNotifyPump*> virtualWnds_;
};

}  // namespace q208
