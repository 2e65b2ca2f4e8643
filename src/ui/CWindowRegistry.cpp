#include "ui/CWindowRegistry.h"

namespace q208 {

CWindowRegistry& CWindowRegistry::Instance() {
    static CWindowRegistry registry;
    return registry;
}

HWND CWindowRegistry::Add(CWindowWnd* window, std::shared_ptr<CMessageQueue> queue) {
    std::lock_guard lock(mutex_);
    const HWND hwnd = next_++;
    windows_.emplace(hwnd, Entry{window, std::move(queue)});
    return hwnd;
}

void CWindowRegistry::Remove(HWND hwnd) {
    std::lock_guard lock(mutex_);
    windows_.erase(hwnd);
}

bool CWindowRegistry::Contains(HWND hwnd) const {
    std::lock_guard lock(mutex_);
    return windows_.count(hwnd) != 0;
}

std::shared_ptr<CMessageQueue> CWindowRegistry::QueueOf(HWND hwnd) const {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second.queue;
}

CWindowWnd* CWindowRegistry::WindowOf(HWND hwnd) const {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second.window;
}

}  // namespace q208
