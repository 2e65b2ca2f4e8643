// libFuzzer target for the message-endpoint frame parser: whatever arrives on a socket must
// parse without reading out of bounds, and a frame that parses must encode back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/MessageFrame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const q208::ParsedFrame parsed = q208::ParseFrame(bytes, 4096);
    if (parsed.status == q208::FrameStatus::Complete) {
        const std::vector<uint8_t> again = q208::EncodeFrame(parsed.frame);
        if (again.size() != parsed.frameBytes || !std::equal(again.begin(), again.end(), bytes.begin())) std::abort();
    }
    return 0;
}
