#include "lighting/AudioRecorderLauncher.h"

#include <unistd.h>

#include "platform/Paths.h"
#include "platform/ProcessLauncher.h"
#include "platform/Trace.h"

namespace q208 {

AudioRecorderLauncher::AudioRecorderLauncher(std::filesystem::path executable)
    : executable_(executable.empty() ? ExecutablePath() : std::move(executable)) {}

std::optional<std::filesystem::path> AudioRecorderLauncher::Program() const {
    if (executable_.empty()) return std::nullopt;
    const auto folder = executable_.parent_path();
    for (const auto& candidate : {folder / kProgramName, folder.parent_path() / "audio" / kProgramName}) {
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::nullopt;
}

bool AudioRecorderLauncher::Launch(uint64_t nowMs) {
    if (lastTryMs_ && nowMs - *lastTryMs_ < static_cast<uint64_t>(kRetryMs)) return false;
    lastTryMs_ = nowMs;
    const auto program = Program();
    if (!program) {
        Trace("audio lighting: %s not found beside %s\n", kProgramName, executable_.c_str());
        return false;
    }
    if (!SpawnDetached({program->string()})) {
        Trace("audio lighting: %s could not be started\n", program->c_str());
        return false;
    }
    Trace("audio lighting: started %s\n", program->c_str());
    return true;
}

}  // namespace q208
