#include "ui/CNotifyPump.h"

#include "ui/CControlUI.h"

namespace q208 {

void CNotifyPump::On(std::string type, Handler handler) { byType_[std::move(type)] = std::move(handler); }

void CNotifyPump::On(std::string type, std::string controlName, Handler handler) {
    byName_[{std::move(type), std::move(controlName)}] = std::move(handler);
}

void CNotifyPump::OnPrefix(std::string type, std::string namePrefix, Handler handler) {
    byPrefix_[std::move(type)].emplace_back(std::move(namePrefix), std::move(handler));
}

bool CNotifyPump::AddVirtualWnd(std::string name, CNotifyPump* pump) {
    if (!pump) return false;
    return virtualWnds_.try_emplace(std::move(name), pump).second;
}

bool CNotifyPump::RemoveVirtualWnd(const std::string& name) { return virtualWnds_.erase(name) != 0; }

bool CNotifyPump::LoopDispatch(TNotifyUI& msg) {
    const std::string name = msg.pSender ? msg.pSender->GetName() : std::string();
    if (auto it = byName_.find({msg.sType, name}); it != byName_.end()) {
        // Copied: the handler may replace itself.
        Handler handler = it->second;
        handler(msg);
        return true;
    }
    if (auto it = byPrefix_.find(msg.sType); it != byPrefix_.end() && !name.empty()) {
        const Handler* best = nullptr;
        size_t bestLength = 0;
        for (const auto& [prefix, handler] : it->second) {
            if (name.starts_with(prefix) && prefix.size() >= bestLength) {
                best = &handler;
                bestLength = prefix.size();
            }
        }
        if (best) {
            Handler handler = *best;
            handler(msg);
            return true;
        }
    }
    if (auto it = byType_.find(msg.sType); it != byType_.end()) {
        Handler handler = it->second;
        handler(msg);
        return true;
    }
    return false;
}

void CNotifyPump::NotifyPump(TNotifyUI& msg) {
    if (!msg.sVirtualWnd.empty()) {
        if (auto it = virtualWnds_.find(msg.sVirtualWnd); it != virtualWnds_.end()) {
            it->second->NotifyPump(msg);
            return;
        }
    }
    LoopDispatch(msg);
}

}  // namespace q208
