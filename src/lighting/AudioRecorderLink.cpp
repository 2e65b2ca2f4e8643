#include "lighting/AudioRecorderLink.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cstring>

#include "audio/AudioRecorderIdentity.h"
#include "platform/Trace.h"

namespace q208 {

using namespace audio;

AudioRecorderLink::AudioRecorderLink(std::filesystem::path runtimeFolder)
    : folder_(runtimeFolder.empty() ? q208::RuntimeFolder() : std::move(runtimeFolder)) {}

std::optional<EndpointAddress> AudioRecorderLink::Find() const {
    if (folder_.empty()) return std::nullopt;
    return FindWindow(RecorderClassName(), RecorderWindowName(), folder_);
}

bool AudioRecorderLink::SendCommands(std::initializer_list<std::pair<uint64_t, int64_t>> commands) const {
    const auto recorder = Find();
    if (!recorder) return false;
    for (const auto& [code, value] : commands) {
        const SendResult sent = SendMessageTo(*recorder, kRecorderCommandName, code, value, kCommandTimeoutMs);
        if (!sent.Delivered()) {
            Trace("audio lighting: recorder command %llu not delivered (%s)\n", static_cast<unsigned long long>(code),
                  SendStatusText(sent.status));
            return false;
        }
    }
    return true;
}

bool AudioRecorderLink::SendStart(uint64_t window) const {
    return SendCommands({{kCommandConnect, static_cast<int64_t>(window)}, {kCommandArm, 0}, {kCommandStartSending, 0}});
}

bool AudioRecorderLink::SendStop() const {
    return SendCommands({{kCommandStopSending, 0}, {kCommandDisarm, 0}, {kCommandQuit, 0}});
}

bool AudioRecorderLink::SendChannel(int channel, int value) const {
    if (channel < 0 || channel > 2) return false;
    return SendCommands({{kCommandRed + static_cast<uint64_t>(channel), value}});
}

bool AudioRecorderLink::SendColour(const AudioLightInfo::Colour& colour, uint64_t window) const {
    const auto recorder = Find();
    if (!recorder) return false;
    std::array<int32_t, kColourBlockBytes / sizeof(int32_t)> block{};
    block[0] = colour.red;
    block[1] = colour.green == 0 ? 1 : colour.green;
    block[2] = colour.blue;
    std::array<uint8_t, kColourBlockBytes> bytes{};
    std::memcpy(bytes.data(), block.data(), bytes.size());
    const SendResult sent = SendCopyData(*recorder, window, kColourBlockKind, bytes, kColourTimeoutMs);
    if (!sent.Delivered()) Trace("audio lighting: colour not delivered (%s)\n", SendStatusText(sent.status));
    return sent.Delivered();
}

bool AudioRecorderLink::RecorderPresent() const {
    const auto file = RecorderLockFile(folder_);
    if (file.empty()) return false;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // Only looks: a lock we could take is released at once.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

}  // namespace q208
