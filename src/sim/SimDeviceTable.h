#pragma once

// USB identity of every emulated device and the top-level collections the host looks for:
// the glue plugs each device with these ids and the descriptors of SimDescriptors.h, and
// builds paths "sim:N#vid_xxxx&pid_xxxx&mi_nn&colnn" from them.

#include <cstdint>
#include <span>

#include "sim/SimDeviceKind.h"

namespace q208::sim {

// One top-level collection of an interface, in descriptor order (number = position + 1;
// an interface with a single collection has no collection number in its path).
struct SimCollection {
    uint8_t number;
    uint16_t usagePage;
    uint16_t usage;
    uint8_t reportId;
    bool carriesCommands;  // the vendor reports (id 4) of the command protocol
};

struct SimInterface {
    uint8_t interfaceNumber;
    std::span<const SimCollection> collections;
};

struct SimDeviceEntry {
    SimDeviceKind kind;
    const char* name;
    int hostKindCode;  // the host's DeviceKind code of the wired (own-cable) slot
    uint16_t vendorId;
    uint16_t productId;
    std::span<const SimInterface> interfaces;
    uint8_t commandInterface;   // interface and collection of the command reports
    uint8_t commandCollection;  // 0 when the interface has a single collection
};

std::span<const SimDeviceEntry> SimDeviceTable();
const SimDeviceEntry& SimDeviceEntryFor(SimDeviceKind kind);

}  // namespace q208::sim
