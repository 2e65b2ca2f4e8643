#pragma once

#include <string>

namespace q208 {

// Diagnostic trace line. Goes to stderr when Q208_TRACE=1, else to "q208.log" in the
// user data folder (rotated to "q208.log.1" past 1 MiB). Never throws, never blocks long.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceText(const std::string& text);

// Tests and tools may redirect traces; an empty sink restores the default.
using TraceSink = void (*)(const std::string& line);
void SetTraceSink(TraceSink sink);

}  // namespace q208
