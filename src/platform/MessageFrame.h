#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace q208 {

// One unit of traffic on a message endpoint. Registered messages travel by name, never by
// number, since every process numbers its registered names on its own.
enum class FrameKind : uint8_t {
    Message = 1,   // registered message: name, wParam, lParam
    CopyData = 2,  // data block: wParam (the sender), dwData and the bytes
    Identify = 3,  // asks the endpoint for its window class and title
    Reply = 4,     // lParam = the handler's result; for Identify the data is class '\0' title
    Refused = 5,   // the endpoint would not take the frame
};

struct MessageFrame {
    FrameKind kind = FrameKind::Message;
    bool wantsReply = false;
    std::string name;
    uint64_t wParam = 0;
    int64_t lParam = 0;
    uint64_t dwData = 0;
    std::vector<uint8_t> data;
};

// Wire layout, little-endian: magic "Q8MF", version u16, kind u8, flags u8 (bit 0: wants a
// reply), name length u16, reserved u16 (0), wParam u64, lParam u64, dwData u64, data
// length u32; then the name bytes, then the data bytes.
inline constexpr size_t kFrameHeaderBytes = 40;
inline constexpr uint16_t kFrameVersion = 1;
inline constexpr size_t kMaxFrameNameBytes = 255;
inline constexpr size_t kDefaultMaxFrameDataBytes = 64 * 1024;

enum class FrameStatus { Incomplete, Complete, Malformed, TooLarge };

struct ParsedFrame {
    FrameStatus status = FrameStatus::Incomplete;
    MessageFrame frame;      // when Complete
    size_t frameBytes = 0;   // bytes the whole frame takes, once the header is known
    std::string error;       // why, when Malformed or TooLarge
};

// Empty when the frame cannot be represented (name or data too long, or a name that
// breaks the kind's rules).
std::vector<uint8_t> EncodeFrame(const MessageFrame& frame);

// Looks at the bytes received so far. The header alone decides TooLarge and most of
// Malformed, so an oversized frame is refused before its body arrives.
ParsedFrame ParseFrame(std::span<const uint8_t> bytes, size_t maxDataBytes = kDefaultMaxFrameDataBytes);

const char* FrameKindName(FrameKind kind);

}  // namespace q208
