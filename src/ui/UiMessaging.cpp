#include "ui/UiMessaging.h"

#include <cctype>
#include <mutex>
#include <string>
#include <unordered_map>

#include "ui/CMessageQueue.h"
#include "ui/CWindowRegistry.h"
#include "ui/CWindowWnd.h"
#include "ui/UiDefs.h"

namespace q208 {

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto queue = CWindowRegistry::Instance().QueueOf(hwnd);
    return queue && queue->Post(hwnd, msg, wParam, lParam);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto queue = CWindowRegistry::Instance().QueueOf(hwnd);
    if (!queue) return 0;
    if (queue->IsOwnThread()) {
        CWindowWnd* window = CWindowRegistry::Instance().WindowOf(hwnd);
        return window ? window->HandleMessage(msg, wParam, lParam) : 0;
    }
    return queue->Send(hwnd, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) { CMessageQueue::Current().PostQuit(exitCode); }

bool IsWindow(HWND hwnd) { return hwnd != 0 && CWindowRegistry::Instance().Contains(hwnd); }

UINT RegisterWindowMessage(std::string_view name) {
    if (name.empty()) return 0;
    static std::mutex mutex;
    static std::unordered_map<std::string, UINT> ids;
    std::lock_guard lock(mutex);
    // Names compare without regard to case, as the desktop's registered messages do.
    std::string key(name);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto [it, added] = ids.try_emplace(std::move(key), static_cast<UINT>(kFirstRegisteredMessage + ids.size()));
    return it->second;
}

}  // namespace q208
