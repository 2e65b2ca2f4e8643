// libFuzzer target for the message-endpoint frame parser: whatever arrives on a socket must
// parse without reading out of bounds, and a frame that parses must encode back to itself.
// The endpoint parses what has arrived so far, so every prefix of a whole frame must read
// as incomplete, and a refusal must not depend on bytes after the header.
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
        for (size_t cut = 0; cut < parsed.frameBytes; cut += 1 + cut / 8) {
            if (q208::ParseFrame(bytes.first(cut), 4096).status != q208::FrameStatus::Incomplete) std::abort();
        }
    } else if (parsed.status != q208::FrameStatus::Incomplete && size > q208::kFrameHeaderBytes) {
        const auto header = q208::ParseFrame(bytes.first(q208::kFrameHeaderBytes), 4096);
        if (header.status == q208::FrameStatus::Complete) std::abort();
    }
    return 0;
}
