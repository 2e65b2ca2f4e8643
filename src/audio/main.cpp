// q208-audio-record: the music recorder that q208 starts for the keyboard's music mode.
#include <csignal>
#include <cstring>
#include <iostream>

#include "audio/AudioRecorder.h"
#include "audio/AudioRecorderIdentity.h"

namespace {

q208::audio::AudioRecorder* gRecorder = nullptr;

void OnSignal(int) {
    if (gRecorder) gRecorder->RequestQuit();
}

constexpr const char* kUsage =
    "usage: q208-audio-record\n"
    "Captures what the desktop plays (the monitor of the default sink) and sends 40 level\n"
    "frames a second to the running q208 while its music lighting is on. q208 starts and\n"
    "stops it; it ends by itself when q208 or the audio server goes away.\n";

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << kUsage;
            return q208::audio::kExitDone;
        }
        std::cerr << "q208-audio-record: unknown argument '" << argv[i] << "'\n" << kUsage;
        return q208::audio::kExitUsage;
    }
    q208::audio::AudioRecorder recorder({});
    gRecorder = &recorder;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const int code = recorder.Run(std::cerr);
    gRecorder = nullptr;
    return code;
}
