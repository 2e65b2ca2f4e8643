#pragma once

#include <atomic>
#include <functional>

#include "lighting/AudioRecorderLink.h"
#include "platform/WorkerThread.h"

namespace q208 {

// Looks once a second whether a music recorder holds its presence lock. It only observes:
// `onChange` hears when the answer changes (on the watch's thread).
class AudioRecorderWatch {
public:
    static constexpr int kPollMs = 1000;
    using OnChange = std::function<void(bool present)>;

    explicit AudioRecorderWatch(AudioRecorderLink link, OnChange onChange = {});
    ~AudioRecorderWatch();

    bool Start();
    WorkerThread::StopResult Stop(int timeoutMs);
    bool RecorderPresent() const { return present_->load(); }

private:
    AudioRecorderLink link_;
    OnChange onChange_;
    std::shared_ptr<std::atomic<bool>> present_ = std::make_shared<std::atomic<bool>>(false);
    WorkerThread thread_{"audio watch"};
};

}  // namespace q208
