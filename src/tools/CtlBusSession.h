#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "device/HidBus.h"
#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"
#include "tools/CtlOptions.h"

namespace q208 {

// The HID bus one q208ctl command works on. With --simulate[=LIST] a simulated bus with
// the listed emulated devices plugged, made the process default for as long as the
// session lives (the previous default comes back afterwards); without it the process
// default bus, which is hidraw unless a caller switched it.
class CtlBusSession {
public:
    CtlBusSession() = default;
    ~CtlBusSession();
    CtlBusSession(const CtlBusSession&) = delete;
    CtlBusSession& operator=(const CtlBusSession&) = delete;

    // False with the reason in `error` when the simulated device list does not parse.
    bool Start(const CtlOptions& options, std::string& error);

    const std::shared_ptr<IHidBus>& Bus() const { return bus_; }
    bool Simulated() const { return devices_ != nullptr; }
    // For messages: "the simulated bus" or "the HID bus".
    const char* Where() const { return Simulated() ? "the simulated bus" : "the HID bus"; }

private:
    std::shared_ptr<IHidBus> bus_;
    std::shared_ptr<IHidBus> previousDefault_;
    std::unique_ptr<sim::SimDeviceSet> devices_;
};

}  // namespace q208
