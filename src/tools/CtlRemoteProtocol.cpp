#include "tools/CtlRemoteProtocol.h"

#include <algorithm>

namespace q208::ctlremote {
namespace {

constexpr size_t kLengthBytes = 4;
constexpr const char* kCutNotice = "\n(output cut)\n";

// Cuts `text` to `limit` bytes, the notice included.
void CutTo(std::string& text, size_t limit) {
    if (text.size() <= limit) return;
    const std::string notice(kCutNotice);
    text.resize(limit > notice.size() ? limit - notice.size() : 0);
    text += notice.substr(0, std::min(limit, notice.size()));
}

}  // namespace

std::vector<uint8_t> EncodeArguments(const std::vector<std::string>& arguments) {
    std::vector<uint8_t> bytes;
    for (const std::string& argument : arguments) {
        bytes.insert(bytes.end(), argument.begin(), argument.end());
        bytes.push_back(0);
    }
    return bytes;
}

std::optional<std::vector<std::string>> DecodeArguments(std::span<const uint8_t> bytes) {
    if (!bytes.empty() && bytes.back() != 0) return std::nullopt;
    std::vector<std::string> arguments;
    std::string current;
    for (uint8_t byte : bytes) {
        if (byte == 0) {
            arguments.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(static_cast<char>(byte));
        }
    }
    return arguments;
}

std::vector<uint8_t> EncodeOutput(std::string out, std::string err, size_t maxBytes) {
    const size_t room = maxBytes > kLengthBytes ? maxBytes - kLengthBytes : 0;
    // The error stream says why a command failed: it keeps up to half of the room.
    CutTo(err, room / 2);
    CutTo(out, room - err.size());
    std::vector<uint8_t> bytes(kLengthBytes);
    for (size_t i = 0; i < kLengthBytes; ++i) bytes[i] = static_cast<uint8_t>((out.size() >> (8 * i)) & 0xFF);
    bytes.insert(bytes.end(), out.begin(), out.end());
    bytes.insert(bytes.end(), err.begin(), err.end());
    return bytes;
}

std::optional<CommandOutput> DecodeOutput(std::span<const uint8_t> bytes) {
    if (bytes.size() < kLengthBytes) return std::nullopt;
    size_t outLength = 0;
    for (size_t i = 0; i < kLengthBytes; ++i) outLength |= static_cast<size_t>(bytes[i]) << (8 * i);
    if (outLength > bytes.size() - kLengthBytes) return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(bytes.data()) + kLengthBytes;
    return CommandOutput{std::string(text, outLength),
                         std::string(text + outLength, bytes.size() - kLengthBytes - outLength)};
}

}  // namespace q208::ctlremote
