#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace q208::test {

// A private PulseAudio server for a test: its own runtime folder and socket, no user or
// system configuration, a null sink and a source carrying the headset's USB ids (or none,
// to see the default devices stand in). Programs reach it through PULSE_SERVER.
class PulseTestServer {
public:
    static constexpr const char* kSink = "headset_out";
    static constexpr const char* kSource = "headset_mic";

    PulseTestServer();
    ~PulseTestServer();
    PulseTestServer(const PulseTestServer&) = delete;
    PulseTestServer& operator=(const PulseTestServer&) = delete;

    // Whether pulseaudio and pactl are installed.
    static bool Available();
    // Starts the server and waits until it answers; false (with the log in `Log`) if not.
    bool Start(bool headsetIds = true);
    void Stop();
    bool Running() const { return pid_ > 0; }
    // The PULSE_SERVER value of this server.
    std::string Address() const;
    std::string Log() const;
    // pactl against this server: its output, the exit code in `exitCode`.
    std::string Pactl(const std::string& arguments, int* exitCode = nullptr) const;

private:
    std::filesystem::path folder_;
    pid_t pid_ = -1;
};

}  // namespace q208::test
