#pragma once

#include <cstdint>
#include <vector>

namespace q208 {

enum class HidReportType : uint8_t { Input = 0, Output = 1, Feature = 2 };
inline constexpr int kHidReportTypeCount = 3;

// Status codes of the report parsing calls; the values are those the device layer has
// always logged, so traces stay comparable.
using HidStatus = uint32_t;
inline constexpr HidStatus kHidStatusSuccess = 0x00110000;
inline constexpr HidStatus kHidStatusInvalidReportType = 0xC0110002;
inline constexpr HidStatus kHidStatusInvalidReportLength = 0xC0110003;
inline constexpr HidStatus kHidStatusUsageNotFound = 0xC0110004;
inline constexpr HidStatus kHidStatusValueOutOfRange = 0xC0110005;
inline constexpr HidStatus kHidStatusBadLogPhyValues = 0xC0110006;
inline constexpr HidStatus kHidStatusBufferTooSmall = 0xC0110007;
inline constexpr HidStatus kHidStatusIncompatibleReportId = 0xC011000A;

// A usage or a usage range with its page: bits 31..16 page, 15..0 usage id.
struct HidUsageRange {
    uint32_t min = 0, max = 0;
    uint32_t Size() const { return max - min + 1; }
    uint16_t Page() const { return static_cast<uint16_t>(min >> 16); }
};

// One caps entry of buttons (1-bit variable fields and array fields).
struct HidButtonCaps {
    uint16_t usagePage = 0;
    uint8_t reportId = 0;
    bool isAlias = false;
    uint16_t bitField = 0;  // the main item's flags
    uint16_t linkCollection = 0, linkUsage = 0, linkUsagePage = 0;
    bool isRange = false, isAbsolute = true;
    uint16_t usageMin = 0, usageMax = 0;  // both the usage when not a range
    uint16_t dataIndexMin = 0, dataIndexMax = 0;
    int32_t logicalMin = 0, logicalMax = 0;
    uint16_t Usage() const { return usageMin; }
};

// One caps entry of values (every other data field).
struct HidValueCaps : HidButtonCaps {
    bool hasNull = false;
    uint16_t bitSize = 0, reportCount = 0;
    uint32_t unitsExp = 0, units = 0;
    int32_t physicalMin = 0, physicalMax = 0;
};

// One data main item as laid out in a report; bit offsets count from byte 0, the report
// id byte, so they apply to reports in the layout every reader returns.
struct HidField {
    HidReportType type = HidReportType::Input;
    uint8_t reportId = 0;
    bool isArray = false, isButton = false, isAbsolute = true, hasNull = false;
    uint16_t flags = 0;
    uint32_t bitOffset = 0, bitSize = 0, count = 0;
    int32_t logicalMin = 0, logicalMax = 0, physicalMin = 0, physicalMax = 0;
    uint16_t linkCollection = 0;
    std::vector<HidUsageRange> usages;  // never empty

    uint32_t UsageCount() const;
    // Variable fields: the usage of element i (the last usage repeats past the list).
    // Arrays: the usage of array index i, or 0 past the list.
    uint32_t UsageAt(uint32_t index) const;
};

}  // namespace q208
