#pragma once

// Byte layout of the vendor command report and its answer, as the emulated devices see it.
// Reports are in the Windows layout: byte 0 is the report id.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace q208::sim {

inline constexpr std::size_t kReportSize = 64;
using Report = std::array<uint8_t, kReportSize>;

inline constexpr uint8_t kVendorReportId = 0x04;

namespace ReportByte {
inline constexpr std::size_t Id = 0;
inline constexpr std::size_t ChecksumLow = 1;
inline constexpr std::size_t ChecksumHigh = 2;
inline constexpr std::size_t Command = 3;
inline constexpr std::size_t Length = 4;
inline constexpr std::size_t OffsetLow = 5;
inline constexpr std::size_t OffsetHigh = 6;
inline constexpr std::size_t Status = 7;
inline constexpr std::size_t Data = 8;
// On the receiver path the host puts the target device here after computing the checksum.
inline constexpr std::size_t Target = 32;
// Vendor input reports carry their 16-bit event code here, low byte first.
inline constexpr std::size_t EventLow = 1;
inline constexpr std::size_t EventHigh = 2;
}  // namespace ReportByte

// Payload bytes one report can carry (bytes 8 … 63).
inline constexpr std::size_t kMaxPayload = kReportSize - ReportByte::Data;

namespace Command {
inline constexpr uint8_t BeginConfig = 0x01;
inline constexpr uint8_t EndConfig = 0x02;
inline constexpr uint8_t ReadDeviceInfo = 0x03;
inline constexpr uint8_t ReadConfig = 0x05;
inline constexpr uint8_t WriteConfig = 0x06;
inline constexpr uint8_t ReadKeyMap = 0x07;
inline constexpr uint8_t WriteKeyMap = 0x09;
inline constexpr uint8_t WriteLightFrame = 0x0B;
inline constexpr uint8_t StreamLightFrame = 0x12;
inline constexpr uint8_t WriteMacroData = 0x15;
inline constexpr uint8_t WriteMacroBlock = 0x17;
inline constexpr uint8_t ReadStatus = 0x1A;
inline constexpr uint8_t ReadLedMap = 0x1B;
inline constexpr uint8_t EnableHostLighting = 0x1C;
inline constexpr uint8_t QueryLink = 0xAA;
}  // namespace Command

inline constexpr uint8_t kStatusOk = 0x00;
inline constexpr uint8_t kStatusRefused = 0xFF;      // unknown command, area or range
inline constexpr uint8_t kStatusBadChecksum = 0xFE;

// Answer byte 3 of the receiver when the addressed device is not linked; requests of the
// lighting stream (0x12) get kUnreachableFast, everything else kUnreachable.
inline constexpr uint8_t kUnreachable = 0xFF;
inline constexpr uint8_t kUnreachableFast = 0xAA;

// Link state bytes of the QueryLink answer.
inline constexpr uint8_t kLinked = 0xFF;
inline constexpr uint8_t kNotLinked = 0x00;
inline constexpr std::size_t kKeyboardLinkByte = 8;
inline constexpr std::size_t kMouseLinkByte = 9;

// Target byte values on the receiver path.
inline constexpr uint8_t kTargetKeyboard = 0;
inline constexpr uint8_t kTargetMouse = 2;

// Unsigned 16-bit sum of bytes 3 … 63.
uint16_t ReportChecksum(std::span<const uint8_t, kReportSize> report);
void StoreChecksum(Report& report);
bool ChecksumMatches(const Report& report);

uint16_t ReportOffset(const Report& report);
void StoreOffset(Report& report, uint16_t offset);

}  // namespace q208::sim
