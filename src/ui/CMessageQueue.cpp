#include "ui/CMessageQueue.h"

#include <climits>

#include "ui/CPaintManagerUI.h"
#include "ui/CWindowRegistry.h"
#include "ui/CWindowWnd.h"
#include "ui/IUiPlatform.h"

namespace q208 {

namespace {
// Closes the thread's queue when the thread ends, releasing senders still waiting on it.
struct QueueHolder {
    std::shared_ptr<CMessageQueue> queue;
    ~QueueHolder() {
        if (queue) queue->Close();
    }
};
thread_local QueueHolder tlsQueue;

// Bound on one ProcessPending call, so a handler that keeps posting cannot hang it.
constexpr int kMaxPendingItems = 100000;
}  // namespace

void CMessageQueue::SendState::Complete(LRESULT r) {
    {
        std::lock_guard lock(mutex);
        result = r;
        done = true;
    }
    cv.notify_all();
}

CMessageQueue& CMessageQueue::Current() { return *CurrentShared(); }

std::shared_ptr<CMessageQueue> CMessageQueue::CurrentShared() {
    if (!tlsQueue.queue) tlsQueue.queue = std::make_shared<CMessageQueue>();
    return tlsQueue.queue;
}

CMessageQueue::CMessageQueue() : threadId_(std::this_thread::get_id()) {}

CMessageQueue::~CMessageQueue() { Close(); }

bool CMessageQueue::Enqueue(Item item) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return false;
        items_.push_back(std::move(item));
        wake_.Set();
    }
    return true;
}

bool CMessageQueue::Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Enqueue(Item{hwnd, msg, wParam, lParam, {}, {}});
}

bool CMessageQueue::PostTask(std::function<void()> task) {
    Item item;
    item.task = std::move(task);
    return Enqueue(std::move(item));
}

LRESULT CMessageQueue::Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto state = std::make_shared<SendState>();
    if (!Enqueue(Item{hwnd, msg, wParam, lParam, {}, state})) return 0;
    std::unique_lock lock(state->mutex);
    state->cv.wait(lock, [&] { return state->done; });
    return state->result;
}

void CMessageQueue::PostQuit(int exitCode) {
    std::lock_guard lock(mutex_);
    quit_ = true;
    quitCode_ = exitCode;
    wake_.Set();
}

bool CMessageQueue::QuitRequested() const {
    std::lock_guard lock(mutex_);
    return quit_;
}

int CMessageQueue::QuitCode() const {
    std::lock_guard lock(mutex_);
    return quitCode_;
}

int CMessageQueue::ConsumeQuit() {
    std::lock_guard lock(mutex_);
    quit_ = false;
    return quitCode_;
}

void CMessageQueue::Close() {
    std::deque<Item> dropped;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        dropped.swap(items_);
    }
    for (auto& item : dropped) {
        if (item.send) item.send->Complete(0);
    }
}

void CMessageQueue::Dispatch(Item& item) {
    if (item.task) {
        item.task();
        return;
    }
    LRESULT result = 0;
    if (CWindowWnd* window = CWindowRegistry::Instance().WindowOf(item.hwnd)) {
        result = window->HandleMessage(item.msg, item.wParam, item.lParam);
    }
    if (item.send) item.send->Complete(result);
}

bool CMessageQueue::DispatchOne() {
    Item item;
    {
        std::lock_guard lock(mutex_);
        if (items_.empty()) {
            if (!quit_) wake_.Reset();
            return false;
        }
        item = std::move(items_.front());
        items_.pop_front();
    }
    Dispatch(item);
    return true;
}

bool CMessageQueue::FireOneTimer() {
    const auto expiry = timers_.TakeDue(UiPlatform().NowMs());
    if (!expiry) return false;
    expiry->manager->FireTimer(expiry->control, expiry->id);
    return true;
}

bool CMessageQueue::RunUntil(const std::function<bool()>& done) {
    for (;;) {
        if (done && done()) return true;
        if (QuitRequested()) return false;
        UiPlatform().ProcessNativeEvents();
        if (DispatchOne()) continue;
        if (FireOneTimer()) continue;
        if (done && done()) return true;
        int timeout = -1;
        if (const auto next = timers_.NextDeadline()) {
            const uint64_t now = UiPlatform().NowMs();
            timeout = *next <= now ? 0 : static_cast<int>(std::min<uint64_t>(*next - now, INT_MAX));
        }
        UiPlatform().WaitForEvents(wake_, timeout);
    }
}

void CMessageQueue::ProcessPending() {
    UiPlatform().ProcessNativeEvents();
    for (int handled = 0; handled < kMaxPendingItems && DispatchOne(); ++handled) {
    }
    const uint64_t now = UiPlatform().NowMs();
    while (const auto expiry = timers_.TakeDue(now)) {
        expiry->manager->FireTimer(expiry->control, expiry->id);
    }
}

}  // namespace q208
