#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/SimBus.h"
#include "sim/SimDeviceKind.h"
#include "sim/SimFirmware.h"
#include "sim/SimKeyboard.h"
#include "sim/SimMouse.h"
#include "sim/SimReceiver.h"

namespace q208::sim {

// Emulated devices plugged on a simulated HID bus: every HID interface of a device becomes
// a bus interface with the device's ids and descriptors; output reports to its command
// interface go to the firmware and the answers come back as input reports.
//
// A keyboard or mouse that is both plugged by cable and paired with the receiver is one
// device with one memory, as on a desk.
class SimDeviceSet {
public:
    explicit SimDeviceSet(std::shared_ptr<SimBus> bus);
    ~SimDeviceSet();
    SimDeviceSet(const SimDeviceSet&) = delete;
    SimDeviceSet& operator=(const SimDeviceSet&) = delete;

    // "keyboard,mouse,mousepad,headset,receiver"; an empty list gives the default set
    // (keyboard, receiver, mousepad, headset). Nothing on an unknown name, with the reason.
    static std::optional<std::vector<SimDeviceKind>> ParseList(std::string_view list, std::string* error);
    static const char* KindName(SimDeviceKind kind);

    // Plugs the device (a receiver comes with a keyboard and a mouse linked); false when it
    // is plugged already.
    bool Plug(SimDeviceKind kind);
    void PlugAll(const std::vector<SimDeviceKind>& kinds);
    // Takes the device's interfaces off the bus; its memory stays for the next Plug. False
    // when it was not plugged.
    bool Unplug(SimDeviceKind kind);
    // Links or unlinks the receiver's keyboard or mouse; false for other kinds.
    bool SetLinked(SimDeviceKind kind, bool linked);
    bool IsPlugged(SimDeviceKind kind) const;

    // The device's firmware (created on first use, so tests can prepare it before Plug).
    std::shared_ptr<SimFirmware> Device(SimDeviceKind kind);
    std::shared_ptr<SimKeyboard> Keyboard();
    std::shared_ptr<SimMouse> Mouse();
    std::shared_ptr<SimReceiver> Receiver();

    const std::shared_ptr<SimBus>& Bus() const { return bus_; }
    // Bus paths of the device's interfaces, in interface and collection order.
    std::vector<std::string> PathsOf(SimDeviceKind kind) const;
    // The path of the device's command collection; empty while unplugged.
    std::string CommandPath(SimDeviceKind kind) const;

    // Called on the writer's thread before each output report reaches a device's command
    // interface (no lock of the set held), so a script can act between two transfers.
    void SetOutputObserver(std::function<void(SimDeviceKind)> observer);

private:
    struct Plugged;

    std::shared_ptr<SimFirmware> MakeDevice(SimDeviceKind kind);
    void Route(Plugged& plugged, std::span<const uint8_t> report);
    void DeliverSpontaneous(SimDeviceKind kind);
    // The unplug fault: a device on its own cable goes off the bus, one reached only through
    // the receiver loses its link.
    void OnUnplugRequested(SimDeviceKind kind);

    std::shared_ptr<SimBus> bus_;
    std::recursive_mutex createMutex_;  // taken before mutex_, never while forwarding
    mutable std::recursive_mutex mutex_;
    std::map<SimDeviceKind, std::shared_ptr<SimFirmware>> devices_;
    std::map<SimDeviceKind, std::shared_ptr<Plugged>> plugged_;
    std::mutex observerMutex_;
    std::function<void(SimDeviceKind)> outputObserver_;
};

}  // namespace q208::sim
