#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "device/HidBus.h"

namespace q208 {

// One interface of the bus that matched a row of the supported-interface table.
struct FoundInterface {
    size_t slot = 0;
    std::string path;
};

// Finds the supported interfaces present on a bus the way device detection does: every
// path is filtered on the numbers it carries, the survivors are opened read-only and
// matched on attributes and caps as well.
class SupportedDeviceFinder {
public:
    explicit SupportedDeviceFinder(std::shared_ptr<IHidBus> bus) : bus_(std::move(bus)) {}

    // Matched interfaces in enumeration order; a device with several matching interfaces
    // gives several entries.
    std::vector<FoundInterface> Scan();
    // Paths of the last scan that passed the quick match but could not be opened (no access).
    size_t UnopenedCandidates() const { return unopened_; }

    // The first path found for `slot`; empty when none.
    static std::string PathOf(const std::vector<FoundInterface>& found, size_t slot);

private:
    std::shared_ptr<IHidBus> bus_;
    size_t unopened_ = 0;
};

}  // namespace q208
