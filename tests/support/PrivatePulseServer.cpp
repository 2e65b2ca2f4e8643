#include "support/PrivatePulseServer.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <numbers>

extern char** environ;

namespace q208::test {

namespace {

#ifndef Q208_SOURCE_ROOT
#define Q208_SOURCE_ROOT ""
#endif

// Runs a command line and returns its first output line, or nothing and false.
bool RunForLine(const std::string& command, std::string& line) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return false;
    char buffer[512] = {};
    line.clear();
    if (fgets(buffer, sizeof buffer, pipe.get())) line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    const int status = pclose(pipe.release());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

void PutLittleEndian(std::ofstream& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

PrivatePulseServer::PrivatePulseServer(std::filesystem::path folder, std::filesystem::path script)
    : folder_(std::move(folder)), script_(std::move(script)) {
    if (script_.empty()) script_ = std::filesystem::path(Q208_SOURCE_ROOT) / "scripts" / "pulse-private-server";
}

PrivatePulseServer::~PrivatePulseServer() { Stop(); }

bool PrivatePulseServer::Start() {
    if (running_) return true;
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    std::string line;
    if (!RunForLine("bash " + Quoted(script_) + " start " + Quoted(folder_ / "server") + " 2>&1", line) ||
        line.rfind("unix:", 0) != 0) {
        skipReason_ = "the private audio server did not start: " + (line.empty() ? std::string("no output") : line);
        return false;
    }
    address_ = line;
    running_ = true;
    std::ifstream(folder_ / "server" / "pid") >> serverPid_;
    return true;
}

void PrivatePulseServer::Stop() {
    StopPlaying();
    if (!running_) return;
    std::string line;
    RunForLine("bash " + Quoted(script_) + " stop " + Quoted(folder_ / "server") + " 2>&1", line);
    if (serverPid_ > 0 && kill(serverPid_, 0) == 0) kill(serverPid_, SIGTERM);
    serverPid_ = 0;
    running_ = false;
}

bool PrivatePulseServer::WriteToneFile(const std::filesystem::path& file, double hz, double seconds, double amplitude,
                                       double beatsPerSecond) {
    constexpr uint32_t kRate = 48000;
    const auto samples = static_cast<uint32_t>(seconds * kRate);
    std::ofstream out(file, std::ios::binary);
    if (!out) return false;
    out.write("RIFF", 4);
    PutLittleEndian(out, 36 + samples * 2, 4);
    out.write("WAVEfmt ", 8);
    PutLittleEndian(out, 16, 4);
    PutLittleEndian(out, 1, 2);  // PCM
    PutLittleEndian(out, 1, 2);  // mono
    PutLittleEndian(out, kRate, 4);
    PutLittleEndian(out, kRate * 2, 4);
    PutLittleEndian(out, 2, 2);
    PutLittleEndian(out, 16, 2);
    out.write("data", 4);
    PutLittleEndian(out, samples * 2, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        const bool on = beatsPerSecond <= 0 || std::fmod(i * beatsPerSecond / kRate, 1.0) < 0.5;
        const double value = hz > 0 && on ? amplitude * std::sin(2 * std::numbers::pi * hz * i / kRate) : 0.0;
        PutLittleEndian(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value * 32767))), 2);
    }
    return static_cast<bool>(out);
}

bool PrivatePulseServer::PlayTone(double hz, double seconds, double amplitude) {
    if (!running_) return false;
    const auto file = folder_ / ("tone-" + std::to_string(tones_++) + ".wav");
    return WriteToneFile(file, hz, seconds, amplitude) && Play(file);
}

bool PrivatePulseServer::PlayBeats(double hz, double seconds, double beatsPerSecond, double amplitude) {
    if (!running_) return false;
    const auto file = folder_ / ("beats-" + std::to_string(tones_++) + ".wav");
    return WriteToneFile(file, hz, seconds, amplitude, beatsPerSecond) && Play(file);
}

bool PrivatePulseServer::Play(const std::filesystem::path& file) {
    const std::string server = "--server=" + address_;
    const std::string path = file.string();
    char* argv[] = {const_cast<char*>("paplay"), const_cast<char*>(server.c_str()), const_cast<char*>(path.c_str()),
                    nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "paplay", nullptr, nullptr, argv, environ) != 0) return false;
    players_.push_back(pid);
    return true;
}

void PrivatePulseServer::StopPlaying() {
    for (pid_t pid : players_) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    players_.clear();
}

}  // namespace q208::test
