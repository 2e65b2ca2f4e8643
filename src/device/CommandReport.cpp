#include "device/CommandReport.h"

#include <algorithm>

namespace q208 {

uint16_t ReportChecksum(std::span<const uint8_t, kReportSize> report) {
    uint16_t sum = 0;
    for (size_t i = report::kChecksumFirst; i < kReportSize; ++i) sum = static_cast<uint16_t>(sum + report[i]);
    return sum;
}

Report BuildCommandReport(Command command, uint8_t length, uint16_t offset, std::span<const uint8_t> payload) {
    Report r{};
    r[report::kId] = kCommandReportId;
    r[report::kCommand] = static_cast<uint8_t>(command);
    r[report::kLength] = length;
    r[report::kOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
    r[report::kOffsetHigh] = static_cast<uint8_t>(offset >> 8);
    const size_t n = std::min(payload.size(), report::kMaxPayload);
    std::copy_n(payload.begin(), n, r.begin() + report::kPayload);
    const uint16_t sum = ReportChecksum(r);
    r[report::kChecksumLow] = static_cast<uint8_t>(sum & 0xFF);
    r[report::kChecksumHigh] = static_cast<uint8_t>(sum >> 8);
    return r;
}

}  // namespace q208
