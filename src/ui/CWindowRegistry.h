#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

#include "ui/UiTypes.h"

namespace q208 {

class CMessageQueue;
class CWindowWnd;

// Process-wide table of live windows: handle → window and the queue of its UI thread.
// Other threads only ever get the queue; the window pointer is used on its own thread.
class CWindowRegistry {
public:
    static CWindowRegistry& Instance();

    HWND Add(CWindowWnd* window, std::shared_ptr<CMessageQueue> queue);
    void Remove(HWND hwnd);
    bool Contains(HWND hwnd) const;
    std::shared_ptr<CMessageQueue> QueueOf(HWND hwnd) const;
    // Only valid on the window's own thread.
    CWindowWnd* WindowOf(HWND hwnd) const;

private:
    struct Entry {
        CWindowWnd* window;
        std::shared_ptr<CMessageQueue> queue;
    };
    mutable std::mutex mutex_;
    std::unordered_map<HWND, Entry> windows_;
    HWND next_ = 0x100;
};

}  // namespace q208
