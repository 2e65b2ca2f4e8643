#pragma once

// HID report descriptors the emulated interfaces publish, keyed by device kind.
//
// Every command interface carries the vendor top-level collection 0xFF1C/0x92 with report
// id 4: a 64-byte output report (id + 63 bytes: the command report) and a 64-byte input
// report (id + 63 bytes: answers and events). The input report's first field is a 16-bit
// vendor value (usage 0xFF1C/0x01, bytes 1 … 2, low byte first); in an answer it overlaps
// checksum bytes, in a spontaneous report it is the event code:
//   0x0401 re-sync request, 0x0402 re-sync request with re-read of the lighting,
//   0x05kk key kk pressed, 0x06kk key kk released (kk = device key index),
//   0x10mm active lighting entry / settings block m, 0x11sm the same with sub-value s.
// Bytes 3 … 63 of an event report are 0. The rest of the input report is a 61-byte vendor
// field (usage 0x02), the output report a 63-byte vendor field (usage 0x03).
//
// Interfaces with several top-level collections list them in this order, which gives the
// collection numbers of the device paths (col01, col02, …): keyboard (id 1), system
// control (id 2), consumer control (0x000C/0x01, id 3), vendor (id 4). The headset has a
// single consumer collection that also holds the vendor reports (id 4).

#include <cstdint>
#include <span>

#include "sim/SimDeviceKind.h"

namespace q208::sim {

struct SimInterfaceDescriptor {
    uint8_t interfaceNumber;
    std::span<const uint8_t> reportDescriptor;
};

// Every HID interface of the device, in interface-number order.
std::span<const SimInterfaceDescriptor> InterfaceDescriptors(SimDeviceKind kind);

// The descriptor of one interface; empty when the device has no such interface.
std::span<const uint8_t> ReportDescriptor(SimDeviceKind kind, uint8_t interfaceNumber);

}  // namespace q208::sim
