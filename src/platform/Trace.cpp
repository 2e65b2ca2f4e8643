#include "platform/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/Paths.h"
#include "platform/TickCount.h"

namespace q208 {
namespace {

constexpr std::uintmax_t kMaxLogBytes = 1u << 20;

std::mutex& TraceMutex() {
    static std::mutex m;
    return m;
}

TraceSink& Sink() {
    static TraceSink sink = nullptr;
    return sink;
}

bool TraceToStderr() {
    const char* v = std::getenv("Q208_TRACE");
    return v && v[0] == '1';
}

void WriteToLog(const std::string& line) {
    std::error_code ec;
    const std::filesystem::path folder = UserDataFolder();
    std::filesystem::create_directories(folder, ec);
    const std::filesystem::path log = folder / "q208.log";
    if (std::filesystem::file_size(log, ec) > kMaxLogBytes && !ec) {
        std::filesystem::rename(log, folder / "q208.log.1", ec);
    }
    std::ofstream out(log, std::ios::app);
    if (out) out << line << '\n';
}

}  // namespace

void SetTraceSink(TraceSink sink) {
    std::lock_guard lock(TraceMutex());
    Sink() = sink;
}

void TraceText(const std::string& text) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%010u] ", TickCount());
    const std::string line = stamp + text;
    std::lock_guard lock(TraceMutex());
    if (Sink()) {
        Sink()(text);
    } else if (TraceToStderr()) {
        std::fprintf(stderr, "%s\n", line.c_str());
    } else {
        WriteToLog(line);
    }
}

void Trace(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    TraceText(buffer);
}

}  // namespace q208
