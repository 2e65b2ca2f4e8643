#include "tools/CtlBusSession.h"

namespace q208 {

CtlBusSession::~CtlBusSession() {
    if (!devices_) return;
    SetDefaultHidBus(previousDefault_);
    devices_.reset();  // unplugs the emulated devices before the bus goes
}

bool CtlBusSession::Start(const CtlOptions& options, std::string& error) {
    if (!options.simulate) {
        bus_ = DefaultHidBus();
        return true;
    }
    const auto kinds = sim::SimDeviceSet::ParseList(options.simulateList, &error);
    if (!kinds) return false;
    auto bus = std::make_shared<SimBus>();
    devices_ = std::make_unique<sim::SimDeviceSet>(bus);
    devices_->PlugAll(*kinds);
    previousDefault_ = DefaultHidBus();
    SetDefaultHidBus(bus);
    bus_ = bus;
    return true;
}

}  // namespace q208
