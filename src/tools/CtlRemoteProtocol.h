#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace q208 {

// How q208ctl hands a device command to the running q208: the command endpoint (class
// kCtlEndpointClass, the main window's title) that every q208 opens takes data blocks of
// two kinds. kCtlPingData (no bytes) is answered at once with 0 by the endpoint's own
// thread: the copy is alive. kCtlRequestData carries the command line, one argument after
// the other, each ended by a NUL byte; the answer's result is the command's exit code and
// its data the command's standard output and error (EncodeOutput).
namespace ctlremote {

inline constexpr const char* kCtlEndpointClass = "Q208Ctl";
inline constexpr uint64_t kCtlPingData = 0x5150;     // "QP"
inline constexpr uint64_t kCtlRequestData = 0x5152;  // "QR"
// A request that is not one of these, or is malformed, is answered with this.
inline constexpr int64_t kBadRequest = -1;

std::vector<uint8_t> EncodeArguments(const std::vector<std::string>& arguments);
// Nothing when the bytes are not a sequence of NUL-ended arguments.
std::optional<std::vector<std::string>> DecodeArguments(std::span<const uint8_t> bytes);

// The 4-byte little-endian length of `out`, `out`, then `err`. Text beyond `maxBytes` in
// all is cut from the end of each stream with a notice, so an answer always fits a frame.
std::vector<uint8_t> EncodeOutput(std::string out, std::string err, size_t maxBytes);
struct CommandOutput {
    std::string out;
    std::string err;
};
std::optional<CommandOutput> DecodeOutput(std::span<const uint8_t> bytes);

}  // namespace ctlremote
}  // namespace q208
