#include "sim/SimProtocol.h"

namespace q208::sim {

uint16_t ReportChecksum(std::span<const uint8_t, kReportSize> report) {
    uint16_t sum = 0;
    for (std::size_t i = ReportByte::Command; i < kReportSize; ++i) {
        sum = static_cast<uint16_t>(sum + report[i]);
    }
    return sum;
}

void StoreChecksum(Report& report) {
    const uint16_t sum = ReportChecksum(report);
    report[ReportByte::ChecksumLow] = static_cast<uint8_t>(sum & 0xFF);
    report[ReportByte::ChecksumHigh] = static_cast<uint8_t>(sum >> 8);
}

bool ChecksumMatches(const Report& report) {
    const uint16_t stored = static_cast<uint16_t>(report[ReportByte::ChecksumLow] |
                                                  (report[ReportByte::ChecksumHigh] << 8));
    return stored == ReportChecksum(report);
}

uint16_t ReportOffset(const Report& report) {
    return static_cast<uint16_t>(report[ReportByte::OffsetLow] | (report[ReportByte::OffsetHigh] << 8));
}

void StoreOffset(Report& report, uint16_t offset) {
    report[ReportByte::OffsetLow] = static_cast<uint8_t>(offset & 0xFF);
    report[ReportByte::OffsetHigh] = static_cast<uint8_t>(offset >> 8);
}

}  // namespace q208::sim
