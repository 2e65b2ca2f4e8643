#pragma once

#include <iosfwd>
#include <memory>
#include <sstream>
#include <string>

#include "device/HidBus.h"
#include "device/SimBus.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimScript.h"
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

    // False with the reason in `error` when the simulated device list does not parse, or
    // when the --sim-script cannot be read or one of its leading verbs fails. Script output
    // goes to `out`; what the script's later verbs report at the end goes to `err`.
    bool Start(const CtlOptions& options, std::string& error, std::ostream* out = nullptr,
               std::ostream* err = nullptr);

    const std::shared_ptr<IHidBus>& Bus() const { return bus_; }
    bool Simulated() const { return devices_ != nullptr; }
    // For messages: "the simulated bus" or "the HID bus".
    const char* Where() const { return Simulated() ? "the simulated bus" : "the HID bus"; }

private:
    bool StartScript(const std::string& file, std::string& error);

    std::shared_ptr<IHidBus> bus_;
    std::shared_ptr<IHidBus> previousDefault_;
    std::unique_ptr<sim::SimDeviceSet> devices_;
    std::unique_ptr<sim::SimScript> script_;
    std::ostream* scriptOut_ = nullptr;
    std::ostream* scriptErr_ = nullptr;
    std::ostringstream unusedOutput_;  // script output nobody asked for
};

}  // namespace q208
