#include "audio/AudioRecorderIdentity.h"

namespace q208::audio {

std::filesystem::path RecorderLockFile(const std::filesystem::path& runtimeFolder) {
    if (runtimeFolder.empty()) return {};
    return runtimeFolder / (RecorderLockName() + ".lock");
}

}  // namespace q208::audio
