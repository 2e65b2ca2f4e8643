#pragma once

// A private audio server for tests (scripts/pulse-private-server): Debian's pulseaudio with
// no system or user configuration and a null sink as the default sink, in a folder of the
// test's own. Tests play generated sound into it with paplay; what plays shows up on the
// sink's monitor source, as the desktop's sound does.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace q208::test {

class PrivatePulseServer {
public:
    // `script` defaults to the repository's scripts/pulse-private-server.
    explicit PrivatePulseServer(std::filesystem::path folder, std::filesystem::path script = {});
    ~PrivatePulseServer();
    PrivatePulseServer(const PrivatePulseServer&) = delete;
    PrivatePulseServer& operator=(const PrivatePulseServer&) = delete;

    // False when the server cannot start here; SkipReason() says why.
    bool Start();
    // Ends the server (a running capture then loses it) and any sound still playing.
    void Stop();
    bool IsRunning() const { return running_; }
    // The PULSE_SERVER value of this server ("unix:…/native").
    const std::string& Address() const { return address_; }
    const std::string& SkipReason() const { return skipReason_; }
    // "PULSE_SERVER=…" for a child's environment.
    std::string EnvironmentEntry() const { return "PULSE_SERVER=" + address_; }

    // Plays a sine of `hz` (0: silence) for `seconds` into the default sink without waiting;
    // false when paplay could not be started.
    bool PlayTone(double hz, double seconds, double amplitude = 0.5);
    // The same sine switched on and off `beatsPerSecond` times a second, like a drum.
    bool PlayBeats(double hz, double seconds, double beatsPerSecond, double amplitude = 0.8);
    // Stops what PlayTone started.
    void StopPlaying();

    // A 48 kHz, 16-bit mono WAV file of that sine.
    static bool WriteToneFile(const std::filesystem::path& file, double hz, double seconds, double amplitude,
                              double beatsPerSecond = 0);

private:
    bool Play(const std::filesystem::path& file);
    std::filesystem::path folder_;
    std::filesystem::path script_;
    std::string address_;
    std::string skipReason_;
    bool running_ = false;
    pid_t serverPid_ = 0;  // also ended when its pid file went away with the test's folders
    std::vector<pid_t> players_;
    int tones_ = 0;
};

}  // namespace q208::test
