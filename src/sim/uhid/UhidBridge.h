#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "device/SimBus.h"
#include "sim/uhid/UhidDevice.h"

namespace q208::sim {

// Carries the interfaces of a simulated HID bus into the kernel: one uhid device per bus
// interface, with its ids, its report descriptor and "/inputN" for its interface number.
// Output reports a host writes to the hidraw node reach the interface as if written on the
// bus, and every input report of the interface comes out of the node.
//
// Sync mirrors the bus as it is now: an interface plugged since the last call gets its
// device, one gone from the bus (an unplug verb, or the unplug fault inside a transfer)
// loses it, which the host sees as the node hanging up.
class UhidBridge {
public:
    // After each output report the emulator has taken (and queued its answers for), on the
    // device's thread. It must not call Sync.
    using AnsweredObserver = std::function<void()>;

    // `sysfsRoot` is where the bridge sees the kernel's hidraw nodes appear.
    UhidBridge(std::shared_ptr<SimBus> bus, std::string uhidNode, std::string sysfsRoot = "/sys");
    ~UhidBridge();
    UhidBridge(const UhidBridge&) = delete;
    UhidBridge& operator=(const UhidBridge&) = delete;

    // False with the reasons in `error` when an interface could not be made a device (it
    // is tried again on the next call). Returns once each new device has its hidraw node, so
    // the nodes are numbered in the bus's order and a host that lists them finds them.
    bool Sync(std::string& error);
    // Destroys every device.
    void Clear();
    size_t DeviceCount() const;
    // Bus interfaces the last Sync could not make devices of.
    std::vector<int> Unbridged() const;

    void SetAnsweredObserver(AnsweredObserver observer);

    // What the kernel is told about a bus interface.
    static UhidIdentity IdentityOf(int id, const SimBus::InterfaceInfo& info);

private:
    struct Link;

    std::unique_ptr<Link> MakeLink(int id, std::string& error);
    // True once a hidraw node of the device with this HID_UNIQ shows in sysfs.
    bool WaitForNode(const std::string& uniq, int timeoutMs) const;
    void Answered();

    std::shared_ptr<SimBus> bus_;
    std::string uhidNode_;
    std::string sysfsRoot_;
    mutable std::mutex mutex_;  // the links; held for a whole Sync
    std::map<int, std::unique_ptr<Link>> links_;
    std::mutex observerMutex_;
    AnsweredObserver observer_;
};

}  // namespace q208::sim
