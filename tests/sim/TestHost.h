#pragma once

// The host side of the command protocol, as small as the tests need: builds requests the
// way the host does (checksum of bytes 3 … 63, then the target into byte 32 on the receiver
// path), matches answers on the command echo within two input reports, and moves blocks in
// chunks of 56 (wired) or 24 (receiver) bytes.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/SimFirmware.h"
#include "sim/SimProtocol.h"

namespace q208::sim::test {

inline constexpr std::size_t kWiredChunk = 56;
inline constexpr std::size_t kReceiverChunk = 24;

struct TransactResult {
    int result = 0;  // 1 answer read, 0 no answer, -101 unreachable
    Report answer{};
};

class TestHost {
public:
    explicit TestHost(SimFirmware& device) : device_(device) {}
    TestHost(SimFirmware& receiver, uint8_t target)
        : device_(receiver), viaReceiver_(true), target_(target), chunk_(kReceiverChunk) {}

    std::size_t Chunk() const { return chunk_; }
    std::size_t ReportsSent() const { return reportsSent_; }
    uint8_t LastStatus() const { return lastStatus_; }

    Report Build(uint8_t command, uint16_t offset, std::size_t length,
                 std::span<const uint8_t> payload = {}) const {
        Report report{};
        report[ReportByte::Id] = kVendorReportId;
        report[ReportByte::Command] = command;
        report[ReportByte::Length] = static_cast<uint8_t>(length);
        StoreOffset(report, offset);
        std::copy_n(payload.begin(), std::min(payload.size(), kMaxPayload),
                    report.begin() + ReportByte::Data);
        StoreChecksum(report);
        if (viaReceiver_) {
            report[ReportByte::Target] = target_;
        }
        return report;
    }

    TransactResult Transact(const Report& request) {
        ++reportsSent_;
        const std::vector<SimAnswer> answers = device_.HandleOutputReport(request);
        const uint8_t unreachable = request[ReportByte::Command] == Command::StreamLightFrame
                                        ? kUnreachableFast
                                        : kUnreachable;
        TransactResult outcome;
        for (std::size_t i = 0; i < answers.size() && i < 2; ++i) {
            outcome = {1, answers[i].report};
            const uint8_t echo = answers[i].report[ReportByte::Command];
            if (echo == request[ReportByte::Command]) {
                break;
            }
            if (viaReceiver_ && echo == unreachable) {
                outcome.result = -101;
                break;
            }
        }
        return outcome;
    }

    // One command without payload; its status (0xFD when nothing usable came back).
    uint8_t Send(uint8_t command) { return StatusOf(Transact(Build(command, 0, 0))); }

    std::optional<std::vector<uint8_t>> Read(uint8_t command, uint16_t offset, std::size_t length) {
        std::vector<uint8_t> data;
        for (std::size_t done = 0; done < length; done += chunk_) {
            const std::size_t part = std::min(chunk_, length - done);
            const TransactResult outcome =
                Transact(Build(command, static_cast<uint16_t>(offset + done), part));
            if (StatusOf(outcome) != kStatusOk) {
                return std::nullopt;
            }
            data.insert(data.end(), outcome.answer.begin() + ReportByte::Data,
                        outcome.answer.begin() + ReportByte::Data + static_cast<std::ptrdiff_t>(part));
        }
        return data;
    }

    // Status of the first chunk that failed, or 0.
    uint8_t Write(uint8_t command, uint16_t offset, std::span<const uint8_t> data,
                  std::size_t chunk = 0) {
        const std::size_t step = chunk != 0 ? chunk : chunk_;
        for (std::size_t done = 0; done < data.size(); done += step) {
            const std::size_t part = std::min(step, data.size() - done);
            const uint8_t status = StatusOf(Transact(Build(
                command, static_cast<uint16_t>(offset + done), part, data.subspan(done, part))));
            if (status != kStatusOk) {
                return status;
            }
        }
        return kStatusOk;
    }

private:
    static constexpr uint8_t kNothingUsable = 0xFD;

    uint8_t StatusOf(const TransactResult& outcome) {
        lastStatus_ = outcome.result == 1 ? outcome.answer[ReportByte::Status] : kNothingUsable;
        return lastStatus_;
    }

    SimFirmware& device_;
    bool viaReceiver_ = false;
    uint8_t target_ = 0;
    std::size_t chunk_ = kWiredChunk;
    std::size_t reportsSent_ = 0;
    uint8_t lastStatus_ = 0;
};

inline std::vector<uint8_t> Pattern(std::size_t length, uint8_t seed) {
    std::vector<uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
    }
    return bytes;
}

}  // namespace q208::sim::test
