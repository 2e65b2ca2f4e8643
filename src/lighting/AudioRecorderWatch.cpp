#include "lighting/AudioRecorderWatch.h"

#include "platform/Trace.h"

namespace q208 {

AudioRecorderWatch::AudioRecorderWatch(AudioRecorderLink link, OnChange onChange)
    : link_(std::move(link)), onChange_(std::move(onChange)) {}

AudioRecorderWatch::~AudioRecorderWatch() { Stop(kPollMs); }

bool AudioRecorderWatch::Start() {
    return thread_.Start([link = link_, onChange = onChange_, present = present_](const Event& stop) {
        // Waiting on the stop event for the poll period keeps a stop request from waiting
        // out a whole second.
        while (!stop.Wait(1)) {
            const bool now = link.RecorderPresent();
            if (present->exchange(now) != now && onChange) onChange(now);
            if (stop.Wait(kPollMs)) break;
        }
        Trace("AudioDaemonThreadPrc stop\n");
    });
}

WorkerThread::StopResult AudioRecorderWatch::Stop(int timeoutMs) { return thread_.Stop(timeoutMs); }

}  // namespace q208
