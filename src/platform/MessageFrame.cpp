#include "platform/MessageFrame.h"

#include <algorithm>
#include <array>

namespace q208 {
namespace {

constexpr std::array<uint8_t, 4> kMagic{'Q', '8', 'M', 'F'};
constexpr uint8_t kWantsReplyFlag = 0x01;

struct KindRule {
    FrameKind kind;
    const char* name;
    bool needsName;  // a registered name must be present (else it must be absent)
    bool mayCarryData;
};

// What each kind may carry; anything else in a frame makes it malformed.
constexpr std::array<KindRule, 5> kKindRules{{
    {FrameKind::Message, "message", true, false},
    {FrameKind::CopyData, "copy-data", false, true},
    {FrameKind::Identify, "identify", false, false},
    {FrameKind::Reply, "reply", false, true},
    {FrameKind::Refused, "refused", false, false},
}};

const KindRule* RuleOf(uint8_t kind) {
    for (const KindRule& rule : kKindRules) {
        if (static_cast<uint8_t>(rule.kind) == kind) return &rule;
    }
    return nullptr;
}

void PutLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint64_t GetLe(std::span<const uint8_t> in, size_t offset, int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(in[offset + i]) << (8 * i);
    return value;
}

// Names are text that callers compare; control characters (NUL included) have no place in them.
bool IsCleanName(std::string_view name) {
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

ParsedFrame Fail(FrameStatus status, std::string why) {
    ParsedFrame result;
    result.status = status;
    result.error = std::move(why);
    return result;
}

}  // namespace

const char* FrameKindName(FrameKind kind) {
    const KindRule* rule = RuleOf(static_cast<uint8_t>(kind));
    return rule ? rule->name : "unknown";
}

std::vector<uint8_t> EncodeFrame(const MessageFrame& frame) {
    const KindRule* rule = RuleOf(static_cast<uint8_t>(frame.kind));
    if (!rule || frame.name.size() > kMaxFrameNameBytes || frame.data.size() > UINT32_MAX) return {};
    if (rule->needsName != !frame.name.empty() || !IsCleanName(frame.name)) return {};
    if (!rule->mayCarryData && !frame.data.empty()) return {};

    std::vector<uint8_t> out(kMagic.begin(), kMagic.end());
    out.reserve(kFrameHeaderBytes + frame.name.size() + frame.data.size());
    PutLe(out, kFrameVersion, 2);
    PutLe(out, static_cast<uint8_t>(frame.kind), 1);
    PutLe(out, frame.wantsReply ? kWantsReplyFlag : 0, 1);
    PutLe(out, frame.name.size(), 2);
    PutLe(out, 0, 2);
    PutLe(out, frame.wParam, 8);
    PutLe(out, static_cast<uint64_t>(frame.lParam), 8);
    PutLe(out, frame.dwData, 8);
    PutLe(out, frame.data.size(), 4);
    out.insert(out.end(), frame.name.begin(), frame.name.end());
    out.insert(out.end(), frame.data.begin(), frame.data.end());
    return out;
}

ParsedFrame ParseFrame(std::span<const uint8_t> bytes, size_t maxDataBytes) {
    // The magic is checked on whatever part of it has arrived, so garbage is refused early.
    const size_t magicSeen = std::min(bytes.size(), kMagic.size());
    if (!std::equal(bytes.begin(), bytes.begin() + magicSeen, kMagic.begin())) {
        return Fail(FrameStatus::Malformed, "bad magic");
    }
    if (bytes.size() < kFrameHeaderBytes) return ParsedFrame{};

    const auto version = static_cast<uint16_t>(GetLe(bytes, 4, 2));
    const auto kind = static_cast<uint8_t>(GetLe(bytes, 6, 1));
    const auto flags = static_cast<uint8_t>(GetLe(bytes, 7, 1));
    const auto nameBytes = static_cast<size_t>(GetLe(bytes, 8, 2));
    const auto reserved = GetLe(bytes, 10, 2);
    const auto dataBytes = static_cast<size_t>(GetLe(bytes, 36, 4));

    if (version != kFrameVersion) return Fail(FrameStatus::Malformed, "unknown version " + std::to_string(version));
    const KindRule* rule = RuleOf(kind);
    if (!rule) return Fail(FrameStatus::Malformed, "unknown kind " + std::to_string(kind));
    if ((flags & ~kWantsReplyFlag) != 0 || reserved != 0) return Fail(FrameStatus::Malformed, "reserved bits set");
    if (nameBytes > kMaxFrameNameBytes) return Fail(FrameStatus::TooLarge, "name of " + std::to_string(nameBytes) + " bytes");
    if (dataBytes > maxDataBytes) return Fail(FrameStatus::TooLarge, "data block of " + std::to_string(dataBytes) + " bytes");
    if (rule->needsName != (nameBytes != 0)) return Fail(FrameStatus::Malformed, std::string(rule->name) + " frame with a wrong name");
    if (!rule->mayCarryData && dataBytes != 0) return Fail(FrameStatus::Malformed, std::string(rule->name) + " frame with data");

    ParsedFrame result;
    result.frameBytes = kFrameHeaderBytes + nameBytes + dataBytes;
    if (bytes.size() < result.frameBytes) return result;

    MessageFrame& frame = result.frame;
    frame.kind = rule->kind;
    frame.wantsReply = (flags & kWantsReplyFlag) != 0;
    frame.wParam = GetLe(bytes, 12, 8);
    frame.lParam = static_cast<int64_t>(GetLe(bytes, 20, 8));
    frame.dwData = GetLe(bytes, 28, 8);
    const auto name = bytes.subspan(kFrameHeaderBytes, nameBytes);
    frame.name.assign(name.begin(), name.end());
    if (!IsCleanName(frame.name)) return Fail(FrameStatus::Malformed, "control character in the name");
    const auto data = bytes.subspan(kFrameHeaderBytes + nameBytes, dataBytes);
    frame.data.assign(data.begin(), data.end());
    result.status = FrameStatus::Complete;
    return result;
}

}  // namespace q208
