#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/DeviceSlot.h"

namespace q208 {

class CHidDevice;

// What identifies one HID interface against the supported-interface rows: vendor and
// product (from the path, then from the device's attributes), interface and collection
// (from the path), usage page and usage (from the device's caps).
struct InterfaceCandidate {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    std::string path;
    // Filled in by Classify from the row that matched.
    uint16_t kind = 0;
    uint16_t role = 0;
};

// Matches HID interfaces against rows of supported interfaces, in two steps: a quick match
// on the numbers a path carries, before anything is opened, then a full match once the
// interface is open. Only free rows take part, so the same matcher serves the fixed table
// (every row free) and a slot list that is being filled.
class SupportedInterfaceMatcher {
public:
    explicit SupportedInterfaceMatcher(std::span<const DeviceSlot> rows = SupportedDeviceTable()) : rows_(rows) {}

    // Vendor, product, interface and collection from the path; usage page and usage 0.
    static InterfaceCandidate FromPath(std::string_view path);
    // Replaces vendor and product with the open device's attributes and takes usage page
    // and usage from its caps.
    static void CompleteFrom(const CHidDevice& device, InterfaceCandidate& candidate);

    // True when a free row has the candidate's vendor, product, interface and collection.
    bool QuickMatch(const InterfaceCandidate& candidate) const;
    // Index of the first free row equal in all six values.
    std::optional<size_t> FullMatch(const InterfaceCandidate& candidate) const;
    // FullMatch that also copies the row's kind and role into the candidate.
    std::optional<size_t> Classify(InterfaceCandidate& candidate) const;

private:
    std::span<const DeviceSlot> rows_;
};

}  // namespace q208
