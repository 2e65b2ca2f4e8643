#include "platform/MessageFrame.h"

#include <gtest/gtest.h>

#include <random>

using namespace q208;

namespace {

MessageFrame CopyDataFrame(size_t bytes) {
    MessageFrame frame;
    frame.kind = FrameKind::CopyData;
    frame.wantsReply = true;
    frame.wParam = 0x1122334455667788ull;
    frame.lParam = -2;
    frame.dwData = 5;
    for (size_t i = 0; i < bytes; ++i) frame.data.push_back(static_cast<uint8_t>(i * 7));
    return frame;
}

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

TEST(MessageFrame, EveryKindRoundTripsAndEveryPrefixIsIncomplete) {
    MessageFrame message;
    message.name = "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}";
    message.wParam = 1;
    message.lParam = INT64_MIN;
    MessageFrame reply;
    reply.kind = FrameKind::Reply;
    reply.lParam = 42;
    reply.data = {'M', 0, 'T'};
    MessageFrame identify;
    identify.kind = FrameKind::Identify;

    for (const MessageFrame& frame : {message, CopyDataFrame(300), reply, identify}) {
        const std::vector<uint8_t> bytes = EncodeFrame(frame);
        ASSERT_EQ(bytes.size(), kFrameHeaderBytes + frame.name.size() + frame.data.size());
        for (size_t n = 0; n < bytes.size(); ++n) {
            ASSERT_EQ(ParseFrame(std::span(bytes).first(n)).status, FrameStatus::Incomplete) << n;
        }
        const ParsedFrame parsed = ParseFrame(bytes);
        ASSERT_EQ(parsed.status, FrameStatus::Complete) << parsed.error;
        EXPECT_EQ(parsed.frameBytes, bytes.size());
        EXPECT_EQ(parsed.frame.kind, frame.kind);
        EXPECT_EQ(parsed.frame.wantsReply, frame.wantsReply);
        EXPECT_EQ(parsed.frame.name, frame.name);
        EXPECT_EQ(parsed.frame.wParam, frame.wParam);
        EXPECT_EQ(parsed.frame.lParam, frame.lParam);
        EXPECT_EQ(parsed.frame.dwData, frame.dwData);
        EXPECT_EQ(parsed.frame.data, frame.data);
    }
}

TEST(MessageFrame, OversizedDataIsRefusedFromTheHeaderAlone) {
    std::vector<uint8_t> bytes = EncodeFrame(CopyDataFrame(2000));
    bytes.resize(kFrameHeaderBytes);
    EXPECT_EQ(ParseFrame(bytes, 1999).status, FrameStatus::TooLarge);
    EXPECT_EQ(ParseFrame(bytes, 2000).status, FrameStatus::Incomplete);
    PutU32(bytes, 36, 0xFFFFFFFFu);
    EXPECT_EQ(ParseFrame(bytes).status, FrameStatus::TooLarge);
}

TEST(MessageFrame, BrokenHeadersAreMalformed) {
    MessageFrame message;
    message.name = "Game_Start";
    const std::vector<uint8_t> good = EncodeFrame(message);
    struct Damage {
        size_t offset;
        uint8_t value;
        FrameStatus expected;
    };
    const Damage damages[] = {
        {0, 'X', FrameStatus::Malformed},   // magic
        {4, 2, FrameStatus::Malformed},     // version
        {6, 9, FrameStatus::Malformed},     // kind
        {6, 3, FrameStatus::Malformed},     // identify with a name
        {7, 0x80, FrameStatus::Malformed},  // flags
        {10, 1, FrameStatus::Malformed},    // reserved
        {9, 1, FrameStatus::TooLarge},      // name of 266 bytes
        {8, 0, FrameStatus::Malformed},     // message without a name
        {40, 0, FrameStatus::Malformed},    // NUL inside the name
        {41, '\n', FrameStatus::Malformed}, // control character inside the name
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> bytes = good;
        bytes[d.offset] = d.value;
        EXPECT_EQ(ParseFrame(bytes).status, d.expected) << "offset " << d.offset;
    }
    // Garbage is refused as soon as its first byte arrives.
    const uint8_t junk[] = {'G'};
    EXPECT_EQ(ParseFrame(junk).status, FrameStatus::Malformed);
}

TEST(MessageFrame, EncodeRefusesWhatCannotTravel) {
    MessageFrame unnamed;
    EXPECT_TRUE(EncodeFrame(unnamed).empty());
    MessageFrame longName;
    longName.name.assign(kMaxFrameNameBytes + 1, 'a');
    EXPECT_TRUE(EncodeFrame(longName).empty());
    longName.name.pop_back();
    EXPECT_FALSE(EncodeFrame(longName).empty());
    MessageFrame messageWithData;
    messageWithData.name = "x";
    messageWithData.data = {1};
    EXPECT_TRUE(EncodeFrame(messageWithData).empty());
}

TEST(MessageFrame, RandomBytesNeverParseOutOfBounds) {
    std::mt19937 random(208);
    const std::vector<uint8_t> valid = EncodeFrame(CopyDataFrame(64));
    for (int round = 0; round < 20000; ++round) {
        std::vector<uint8_t> bytes = valid;
        // Flip a few bytes of a valid frame (reaches deeper than pure noise) and cut it anywhere.
        for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
            bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
        }
        bytes.resize(random() % (bytes.size() + 1));
        const ParsedFrame parsed = ParseFrame(bytes, 128);
        if (parsed.status == FrameStatus::Complete) {
            EXPECT_LE(parsed.frameBytes, bytes.size());
        }
    }
}
