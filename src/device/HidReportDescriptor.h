#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/HidTopLevelCollection.h"

namespace q208 {

// A parsed report descriptor: one entry per top-level collection, in descriptor order.
class HidReportDescriptor {
public:
    static constexpr size_t kMaxDescriptorBytes = 4096;
    static constexpr uint32_t kMaxReportBytes = 16384;

    // Nullopt for a malformed, truncated or oversized descriptor; `error` says why.
    static std::optional<HidReportDescriptor> Parse(std::span<const uint8_t> bytes,
                                                    std::string* error = nullptr);

    const std::vector<HidTopLevelCollection>& Collections() const { return collections_; }
    bool UsesReportIds() const { return usesReportIds_; }
    // The collection that receives input reports with this id (byte 0 of the report);
    // -1 when none does.
    int CollectionOfInputReport(uint8_t reportId) const;

private:
    class Parser;
    std::vector<HidTopLevelCollection> collections_;
    bool usesReportIds_ = false;
};

}  // namespace q208
