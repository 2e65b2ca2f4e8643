#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/Event.h"
#include "ui/CTimerScheduler.h"
#include "ui/UiTypes.h"

namespace q208 {

// The message queue of one UI thread: window messages posted or sent from any thread,
// tasks, the quit request and the thread's control timers. A thread gets its queue on
// first use; when the thread ends, waiting senders are released with result 0.
class CMessageQueue : public std::enable_shared_from_this<CMessageQueue> {
public:
    // The queue of the calling thread (created on first use).
    static CMessageQueue& Current();
    static std::shared_ptr<CMessageQueue> CurrentShared();

    CMessageQueue();
    ~CMessageQueue();
    CMessageQueue(const CMessageQueue&) = delete;
    CMessageQueue& operator=(const CMessageQueue&) = delete;

    std::thread::id ThreadId() const { return threadId_; }
    bool IsOwnThread() const { return std::this_thread::get_id() == threadId_; }

    // Any thread. False when the queue's thread has ended.
    bool Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool PostTask(std::function<void()> task);
    // Any thread but the queue's own: waits until the message was handled (or dropped
    // because its window went away or the thread ended, result 0).
    LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void PostQuit(int exitCode);

    // UI thread only.
    bool QuitRequested() const;
    int QuitCode() const;
    // Takes the pending quit request (as the outermost loop does when it ends).
    int ConsumeQuit();
    // Runs messages, tasks and timers until `done` is true (true) or quit was posted (false).
    bool RunUntil(const std::function<bool()>& done);
    // Handles what is queued now and the timers due now, without waiting.
    void ProcessPending();
    CTimerScheduler& Timers() { return timers_; }
    const Event& WakeEvent() const { return wake_; }

    // Releases waiting senders and refuses further messages (called when the thread ends).
    void Close();

private:
    struct SendState {
        std::mutex mutex;
        std::condition_variable cv;
        bool done = false;
        LRESULT result = 0;
        void Complete(LRESULT r);
    };
    struct Item {
        HWND hwnd = 0;
        UINT msg = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        std::function<void()> task;
        std::shared_ptr<SendState> send;
    };

    bool Enqueue(Item item);
    bool DispatchOne();
    bool FireOneTimer();
    void Dispatch(Item& item);

    const std::thread::id threadId_;
    mutable std::mutex mutex_;
    std::deque<Item> items_;
    bool closed_ = false;
    bool quit_ = false;
    int quitCode_ = 0;
    Event wake_{Event::ResetMode::Manual};
    CTimerScheduler timers_;
};

}  // namespace q208
