#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace q208 {

// The 64-byte vendor command report and its answer.
inline constexpr size_t kReportSize = 64;
inline constexpr uint8_t kCommandReportId = 0x04;

namespace report {
inline constexpr size_t kId = 0;
inline constexpr size_t kChecksumLow = 1;
inline constexpr size_t kChecksumHigh = 2;
inline constexpr size_t kCommand = 3;       // request: command code; answer: its echo
inline constexpr size_t kLength = 4;        // payload (chunk) length
inline constexpr size_t kOffsetLow = 5;
inline constexpr size_t kOffsetHigh = 6;
inline constexpr size_t kStatus = 7;        // answer only
inline constexpr size_t kPayload = 8;
inline constexpr size_t kTarget = 32;       // receiver path: the addressed device, outside the checksum
inline constexpr size_t kChecksumFirst = 3;
inline constexpr size_t kMaxPayload = kReportSize - kPayload;  // 56
}  // namespace report

// Command codes.
enum class Command : uint8_t {
    BeginConfig = 0x01,
    EndConfig = 0x02,
    ReadDeviceInfo = 0x03,
    ReadConfig = 0x05,
    WriteConfig = 0x06,
    ReadKeyMap = 0x07,
    WriteKeyMap = 0x09,
    WriteLightFrame = 0x0B,
    StreamLightFrame = 0x12,
    WriteMacroData = 0x15,
    WriteMacroBlock = 0x17,
    ReadStatus = 0x1A,
    ReadLedMap = 0x1B,
    EnableHostLighting = 0x1C,
    QueryLink = 0xAA,
};

// Answer status values that turn into results -102 and -103.
inline constexpr uint8_t kStatusFF = 0xFF;
inline constexpr uint8_t kStatusFE = 0xFE;
// Answer echo on the receiver path when the addressed device cannot be reached.
inline constexpr uint8_t kEchoUnreachable = 0xFF;
inline constexpr uint8_t kEchoUnreachableFast = 0xAA;
// Link state bytes of the QueryLink answer.
inline constexpr uint8_t kLinkUp = 0xFF;

using Report = std::array<uint8_t, kReportSize>;

// Unsigned 16-bit sum of bytes 3 … 63.
uint16_t ReportChecksum(std::span<const uint8_t, kReportSize> report);

// Builds one command report: id, command, chunk length, offset, payload (cut at 56 bytes),
// then the checksum over bytes 3 … 63.
Report BuildCommandReport(Command command, uint8_t length = 0, uint16_t offset = 0,
                          std::span<const uint8_t> payload = {});

}  // namespace q208
