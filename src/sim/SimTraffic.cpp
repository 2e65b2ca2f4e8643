#include "sim/SimTraffic.h"

#include "sim/SimProtocol.h"

namespace q208::sim {

void SimTraffic::Received(std::span<const uint8_t> report) {
    std::lock_guard lock(mutex_);
    if (report.size() > ReportByte::Command) ++counts_[report[ReportByte::Command]];
    Keep(false, report);
}

void SimTraffic::Sent(std::span<const uint8_t> report) {
    std::lock_guard lock(mutex_);
    Keep(true, report);
}

void SimTraffic::Keep(bool sent, std::span<const uint8_t> report) {
    if (ring_.size() >= kRingSize) ring_.pop_front();
    ring_.push_back(Entry{sent, std::vector<uint8_t>(report.begin(), report.end())});
}

void SimTraffic::Reset() {
    std::lock_guard lock(mutex_);
    counts_.fill(0);
    ring_.clear();
}

std::array<uint32_t, 256> SimTraffic::CommandCounts() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

std::vector<SimTraffic::Entry> SimTraffic::Recent() const {
    std::lock_guard lock(mutex_);
    return {ring_.begin(), ring_.end()};
}

}  // namespace q208::sim
