#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "device/UniqueFd.h"
#include "platform/Event.h"

namespace q208::sim {

// What the kernel shows of a uhid device: sysfs' uevent takes HID_ID from bus, vendor and
// product, HID_NAME, HID_PHYS and HID_UNIQ from the texts, report_descriptor from the bytes.
struct UhidIdentity {
    std::string name;
    std::string phys;  // ends in "/inputN" for USB interface N: uhid devices have no USB parent
    std::string uniq;
    uint16_t bus = 0;
    uint32_t vendor = 0, product = 0, version = 0;
    std::vector<uint8_t> reportDescriptor;
};

// One HID device of the kernel, made through /dev/uhid: while the object lives the kernel
// runs it like any other (hid-generic binds, hidraw gives it a node). Output reports a host
// writes to its hidraw node come to the output handler on the device's own thread; input
// reports go the other way with Input.
class UhidDevice {
public:
    // The raw output report: report id first when the descriptor numbers its reports,
    // else the 0 byte that hidraw writers put there.
    using OutputHandler = std::function<void(std::span<const uint8_t> report)>;

    // Null with the reason in `error` when the node cannot be opened or the kernel refuses.
    static std::unique_ptr<UhidDevice> Create(const std::string& uhidNode, const UhidIdentity& identity,
                                              OutputHandler handler, std::string& error);
    // Destroys the kernel device: hidraw readers see the node hang up, as on an unplug.
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    // One input report as the device sends it (report id first when numbered). False when
    // the kernel refused it.
    bool Input(std::span<const uint8_t> report);
    // True once the kernel started the device (a driver bound), within timeoutMs.
    bool WaitStarted(int timeoutMs) const { return started_.Wait(timeoutMs); }
    // Output reports the kernel handed over so far.
    uint64_t OutputCount() const { return outputs_.load(); }

private:
    UhidDevice(UniqueFd fd, OutputHandler handler);
    bool Send(const void* event, size_t length);
    void Run();
    void HandleEvent(const uint8_t* event, size_t length);

    UniqueFd fd_;
    OutputHandler handler_;
    std::mutex writeMutex_;
    Event started_{Event::ResetMode::Manual};
    Event stop_{Event::ResetMode::Manual};
    std::atomic<uint64_t> outputs_{0};
    std::thread thread_;
};

}  // namespace q208::sim
