#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace q208 {

enum class PowerEvent { Suspend, Resume };

// The system's suspend and resume notices and the power state they leave behind. The
// state starts as running; a suspend notice pauses it until the resume notice. Listeners
// are called on the thread that delivers the notice (the main window posts them on to its
// own thread).
class PowerNotifier {
public:
    using Listener = std::function<void(PowerEvent)>;

    // Where notices come from. Start hands the source the function to call per notice.
    class Source {
    public:
        virtual ~Source() = default;
        virtual bool Start(std::function<void(PowerEvent)> deliver) = 0;
        virtual void Stop() = 0;
    };

    // The system's source: the login manager's sleep signal on the system bus. Without a
    // system bus it delivers nothing and the power state stays running.
    static std::unique_ptr<Source> SystemSource();

    explicit PowerNotifier(std::unique_ptr<Source> source = SystemSource());
    ~PowerNotifier();
    PowerNotifier(const PowerNotifier&) = delete;
    PowerNotifier& operator=(const PowerNotifier&) = delete;

    bool Start(Listener listener);
    void Stop();

    bool IsRunning() const { return running_.load(); }
    // Delivers a notice as the source would (tests, and sources without a thread).
    void Deliver(PowerEvent event);

private:
    std::unique_ptr<Source> source_;
    std::mutex mutex_;
    Listener listener_;
    std::atomic<bool> running_{true};
    bool started_ = false;
};

}  // namespace q208
