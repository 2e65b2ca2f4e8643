#pragma once

#include <cstdint>
#include <vector>

#include "device/HidTypes.h"

namespace q208 {

// One entry of a collection's unpacked report data: a usage list for a button caps
// entry, or one value usage.
struct HidData {
    bool isButtonData = false;
    uint8_t reserved = 0;
    uint16_t usagePage = 0;
    HidStatus status = kHidStatusSuccess;  // of the last parsing call on this entry
    uint32_t reportId = 0;
    bool isDataSet = false;  // a report with this id has been unpacked into the entry

    // Button entries: the usages that were on, within usageMin..usageMax, ended by a 0
    // when fewer than maxUsageLength.
    uint32_t usageMin = 0, usageMax = 0, maxUsageLength = 0;
    std::vector<uint16_t> usages;

    // Value entries.
    uint16_t usage = 0;
    uint32_t value = 0;
    int32_t scaledValue = 0;
};

}  // namespace q208
