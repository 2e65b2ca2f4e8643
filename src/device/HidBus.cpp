#include "device/HidBus.h"

#include <mutex>

#include "device/HidrawBus.h"

namespace q208 {
namespace {

std::mutex& DefaultBusMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<IHidBus>& DefaultBusSlot() {
    static std::shared_ptr<IHidBus> bus;
    return bus;
}

}  // namespace

std::shared_ptr<IHidBus> DefaultHidBus() {
    std::lock_guard lock(DefaultBusMutex());
    auto& bus = DefaultBusSlot();
    if (!bus) bus = std::make_shared<HidrawBus>();
    return bus;
}

void SetDefaultHidBus(std::shared_ptr<IHidBus> bus) {
    std::lock_guard lock(DefaultBusMutex());
    DefaultBusSlot() = std::move(bus);
}

}  // namespace q208
