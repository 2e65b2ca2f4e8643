#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

#include "device/HidBus.h"
#include "device/HidTypes.h"

namespace q208 {

// What the report descriptor says about one top-level collection: its usage, report
// lengths, caps and the layout of its fields. It also reads usages and values out of a
// report, so it plays the part of the parsed data a HID stack keeps per collection.
class HidTopLevelCollection {
public:
    HidTopLevelCollection(uint16_t usagePage, uint16_t usage);

    const HidCaps& Caps() const { return caps_; }
    uint16_t UsagePage() const { return caps_.usagePage; }
    uint16_t Usage() const { return caps_.usage; }
    uint16_t ReportByteLength(HidReportType type) const;
    const std::vector<HidButtonCaps>& ButtonCaps(HidReportType type) const;
    const std::vector<HidValueCaps>& ValueCaps(HidReportType type) const;
    const std::vector<HidField>& Fields() const { return fields_; }
    bool HasReportId(HidReportType type, uint8_t reportId) const;
    bool HasAnyReportId(uint8_t reportId) const;

    // How many usages of `usagePage` (0: any page) one report of this type can hold at most.
    uint32_t MaxUsageListLength(HidReportType type, uint16_t usagePage) const;
    // The usages of `usagePage` that are on in `report` (byte 0 = report id). `length` is
    // the room of `usages` on entry and the number found on return.
    HidStatus GetUsages(HidReportType type, uint16_t usagePage, uint16_t linkCollection,
                        uint16_t* usages, uint32_t* length, const uint8_t* report,
                        uint32_t reportLength) const;
    // The raw value of `usage`; for a field of several elements the first one.
    HidStatus GetUsageValue(HidReportType type, uint16_t usagePage, uint16_t linkCollection,
                            uint16_t usage, uint32_t* value, const uint8_t* report,
                            uint32_t reportLength) const;
    // The value converted to its physical range.
    HidStatus GetScaledUsageValue(HidReportType type, uint16_t usagePage,
                                  uint16_t linkCollection, uint16_t usage, int32_t* value,
                                  const uint8_t* report, uint32_t reportLength) const;

    // Building, used by the descriptor parser.
    uint16_t AddLinkCollection(uint16_t usagePage, uint16_t usage);
    void LinkCollectionUsage(uint16_t index, uint16_t* usagePage, uint16_t* usage) const;
    void AddField(HidField field);
    void NoteReportId(HidReportType type, uint8_t reportId);
    // Fixes the report lengths from the bit counts of every (type, report id).
    void Finish(const std::array<std::array<uint32_t, 256>, kHidReportTypeCount>& reportBits);

private:
    struct LinkNode {
        uint16_t usagePage = 0, usage = 0;
    };
    // The field holding `usage` as a value in the report `reportId`, or null; sets *status.
    const HidField* FindValueField(HidReportType type, uint16_t usagePage,
                                   uint16_t linkCollection, uint16_t usage, uint8_t reportId,
                                   uint32_t* element, HidStatus* status) const;
    void AddCaps(const HidField& field);

    HidCaps caps_;
    std::vector<LinkNode> links_;
    std::vector<HidField> fields_;
    std::array<std::vector<HidButtonCaps>, kHidReportTypeCount> buttonCaps_;
    std::array<std::vector<HidValueCaps>, kHidReportTypeCount> valueCaps_;
    std::array<std::bitset<256>, kHidReportTypeCount> reportIds_;
    std::array<uint16_t, kHidReportTypeCount> byteLength_{};
    std::array<uint32_t, kHidReportTypeCount> dataIndices_{};
};

}  // namespace q208
