#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "device/CommandReport.h"
#include "device/SimBus.h"

namespace q208::test {

// The vendor collection every device of the family publishes: report id 4, 63 data bytes
// each way, so a report is 64 bytes with its id.
inline const std::vector<uint8_t> kVendorDescriptor = {
    0x06, 0x1C, 0xFF,  // usage page 0xFF1C
    0x09, 0x92,        // usage 0x92
    0xA1, 0x01,        // collection (application)
    0x85, 0x04,        //   report id 4
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F,
    0x09, 0x01, 0x81, 0x02,  //   input
    0x09, 0x02, 0x91, 0x02,  //   output
    0xC0,
};

// A device on the sim bus whose answers are written by the test: each request is recorded
// and handed to the responder, which returns the answers to queue (none = silence).
class ScriptedDevice {
public:
    using Responder = std::function<std::vector<Report>(const Report& request)>;

    ScriptedDevice(std::shared_ptr<SimBus> bus, uint16_t productId = 0x7C13) : bus_(std::move(bus)) {
        SimBus::InterfaceInfo info;
        info.vendorId = 0x4E5B;
        info.productId = productId;
        info.version = 0x0100;
        info.interfaceNumber = 1;
        info.reportDescriptor = kVendorDescriptor;
        id_ = bus_->Plug(info, [this](int, std::span<const uint8_t> data) { OnOutput(data); });
    }

    std::string Path() const { return bus_->PathsOf(id_).at(0); }
    int Id() const { return id_; }
    void Respond(Responder responder) {
        std::lock_guard lock(mutex_);
        responder_ = std::move(responder);
    }
    std::vector<Report> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    size_t RequestCount() const {
        std::lock_guard lock(mutex_);
        return requests_.size();
    }

    // An answer echoing the request's command with the given status and data.
    static Report Answer(const Report& request, uint8_t status = 0, std::vector<uint8_t> data = {}) {
        Report a{};
        a[0] = kCommandReportId;
        a[report::kCommand] = request[report::kCommand];
        a[report::kLength] = request[report::kLength];
        a[report::kOffsetLow] = request[report::kOffsetLow];
        a[report::kOffsetHigh] = request[report::kOffsetHigh];
        a[report::kStatus] = status;
        for (size_t i = 0; i < data.size() && report::kPayload + i < kReportSize; ++i) a[report::kPayload + i] = data[i];
        return a;
    }
    static Report WithEcho(uint8_t echo) {
        Report a{};
        a[0] = kCommandReportId;
        a[report::kCommand] = echo;
        return a;
    }

private:
    void OnOutput(std::span<const uint8_t> data) {
        Report request{};
        std::copy_n(data.begin(), std::min(data.size(), request.size()), request.begin());
        Responder responder;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            responder = responder_;
        }
        if (!responder) return;
        for (const Report& answer : responder(request)) bus_->QueueInput(id_, answer);
    }

    std::shared_ptr<SimBus> bus_;
    int id_ = -1;
    mutable std::mutex mutex_;
    Responder responder_;
    std::vector<Report> requests_;
};

}  // namespace q208::test
