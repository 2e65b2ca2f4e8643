#include "support/PulseTestServer.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace q208::test {
namespace {

constexpr int kStartWaitMs = 10000;
constexpr int kStopWaitMs = 5000;
constexpr auto kSlice = std::chrono::milliseconds(50);

std::string Properties(bool ids, const char* description) {
    std::string p = std::string("device.description=") + description;
    if (ids) p += " device.vendor.id=2a91 device.product.id=3e48 device.bus=usb";
    return "\"" + p + "\"";
}

}  // namespace

PulseTestServer::PulseTestServer() {
    char templ[] = "/tmp/q208-pulse-XXXXXX";
    if (const char* made = mkdtemp(templ)) folder_ = made;
}

PulseTestServer::~PulseTestServer() {
    Stop();
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
}

bool PulseTestServer::Available() {
    return std::system("command -v pulseaudio >/dev/null 2>&1 && command -v pactl >/dev/null 2>&1") == 0;
}

std::string PulseTestServer::Address() const { return "unix:" + (folder_ / "native").string(); }

std::string PulseTestServer::Log() const {
    std::ifstream in(folder_ / "server.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool PulseTestServer::Start(bool headsetIds) {
    if (folder_.empty() || Running()) return false;
    std::filesystem::create_directories(folder_ / "run");
    const auto script = folder_ / "server.pa";
    {
        std::ofstream out(script);
        // The microphone is a source of its own (not a sink's monitor), as a USB headset's is.
        out << "load-module module-null-sink sink_name=" << kSink << " sink_properties=" << Properties(headsetIds, "Headset")
            << "\n"
            << "load-module module-null-sink sink_name=mic_feed sink_properties=device.description=Feed\n"
            << "load-module module-remap-source source_name=" << kSource << " master=mic_feed.monitor"
            << " source_properties=" << Properties(headsetIds, "Headset-microphone") << "\n"
            << "set-default-sink " << kSink << "\n"
            << "set-default-source " << kSource << "\n"
            << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << (folder_ / "native").string() << "\n";
    }
    std::filesystem::remove(folder_ / "native");
    const std::string folder = folder_.string();
    const std::string log = (folder_ / "server.log").string();
    pid_ = fork();
    if (pid_ == 0) {
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        setenv("HOME", folder.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (folder + "/run").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
        setenv("PULSE_RUNTIME_PATH", (folder + "/run/pulse").c_str(), 1);
        setenv("PULSE_STATE_PATH", (folder + "/state").c_str(), 1);
        setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
        unsetenv("PULSE_SERVER");
        execlp("pulseaudio", "pulseaudio", "-n", "-F", script.c_str(), "--daemonize=no", "--exit-idle-time=-1",
               "--use-pid-file=no", "--log-target=stderr", "--log-level=warning", static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid_ < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartWaitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        int code = -1;
        Pactl("info", &code);
        if (code == 0) return true;
        std::this_thread::sleep_for(kSlice);
    }
    Stop();
    return false;
}

void PulseTestServer::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopWaitMs);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) != pid_) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(kSlice);
    }
    pid_ = -1;
}

std::string PulseTestServer::Pactl(const std::string& arguments, int* exitCode) const {
    const std::string command = "PULSE_SERVER='" + Address() + "' pactl " + arguments + " 2>&1";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (exitCode) *exitCode = -1;
        return output;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    const int status = pclose(pipe);
    if (exitCode) *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

}  // namespace q208::test
