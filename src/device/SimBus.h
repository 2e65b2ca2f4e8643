#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "device/HidBus.h"

namespace q208 {

// An in-process HID bus. Code plugs virtual interfaces onto it; their paths look like
// hidraw paths with "sim:N" as the node, so everything above the bus runs unchanged.
//
// Input follows hidraw: every open handle of an interface gets its own copy of every input
// report of that interface, whatever collection it belongs to; a handle keeps at most
// kHandleRingReports unread reports and drops new ones while full; a read skips (and
// drops) the reports of the interface's other collections; a flush empties one handle's
// ring only; after an unplug a handle still hands out what it holds, then fails.
class SimBus : public IHidBus {
public:
    // The kernel's ring has 64 entries and keeps one free to tell full from empty.
    static constexpr size_t kHandleRingReports = 63;

    struct InterfaceInfo {
        uint16_t vendorId = 0, productId = 0, version = 0;
        int interfaceNumber = -1;  // -1: none, the paths carry no "&mi_"
        std::vector<uint8_t> reportDescriptor;
    };
    // Called on the writer's thread with no bus lock held, so it may queue input or
    // unplug (even its own interface). Every output report of the interface comes here,
    // whatever collection it was written to; byte 0 is the report id.
    using OutputHandler = std::function<void(int id, std::span<const uint8_t> report)>;

    SimBus();
    ~SimBus() override;

    // One path per top-level collection of the descriptor; -1 for a descriptor that does
    // not parse.
    int Plug(InterfaceInfo info, OutputHandler handler);
    // Pending and later I/O on the interface's handles fails, once a handle has handed out
    // the reports it held.
    void Unplug(int id);
    // `report` in the common layout (byte 0 = report id, 0 without ids) reaches every handle
    // that is open on the interface once `delayMs` have passed. False when the interface is
    // gone or no collection takes the id.
    bool QueueInput(int id, std::span<const uint8_t> report, int delayMs = 0);
    std::vector<std::string> PathsOf(int id) const;
    // The interfaces plugged now, in plug order, and what one of them was plugged with.
    std::vector<int> InterfaceIds() const;
    bool Info(int id, InterfaceInfo& out) const;
    // A handle on the whole interface, as a raw hidraw descriptor is: its reads return the
    // reports of every collection (common layout), and it keeps up to `ringReports` unread
    // ones. For a bridge that carries the interface somewhere else. Null when it is gone.
    std::unique_ptr<IHidHandle> OpenInterface(int id, size_t ringReports);

    std::vector<std::string> EnumeratePaths() override;
    bool Exists(const std::string& path) override;
    std::unique_ptr<IHidHandle> Open(const std::string& path, bool read, bool write) override;
    std::vector<uint8_t> ReportDescriptor(const std::string& path) override;
    bool Attributes(const std::string& path, HidAttributes& out) override;

private:
    struct Interface;
    class Handle;

    std::shared_ptr<Interface> Find(int id) const;
    // The interface and collection a path names, when it is one of a plugged interface's.
    std::shared_ptr<Interface> FindByPath(const std::string& path) const;

    mutable std::mutex mutex_;
    std::map<int, std::shared_ptr<Interface>> interfaces_;
    int nextId_ = 1;
};

}  // namespace q208
