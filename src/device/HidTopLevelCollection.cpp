#include "device/HidTopLevelCollection.h"

#include <algorithm>

namespace q208 {
namespace {

constexpr size_t Index(HidReportType type) { return static_cast<size_t>(type); }

bool ValidType(HidReportType type) { return Index(type) < kHidReportTypeCount; }

uint32_t ReadBits(const uint8_t* report, uint32_t bitOffset, uint32_t bitSize) {
    uint32_t value = 0;
    const uint32_t size = std::min<uint32_t>(bitSize, 32);
    for (uint32_t b = 0; b < size; ++b) {
        const uint32_t at = bitOffset + b;
        value |= static_cast<uint32_t>((report[at / 8] >> (at % 8)) & 1u) << b;
    }
    return value;
}

int64_t SignExtend(uint32_t raw, uint32_t bitSize) {
    if (bitSize == 0 || bitSize >= 32) return static_cast<int32_t>(raw);
    const uint32_t sign = 1u << (bitSize - 1);
    return static_cast<int64_t>(raw ^ sign) - static_cast<int64_t>(sign);
}

// The element value as the field's logical range reads it: signed when the minimum is.
int64_t LogicalValue(const HidField& field, uint32_t raw) {
    return field.logicalMin < 0 ? SignExtend(raw, field.bitSize) : static_cast<int64_t>(raw);
}

bool FieldFits(const HidField& field, uint32_t reportLength) {
    const uint64_t end = field.bitOffset + static_cast<uint64_t>(field.bitSize) * field.count;
    return end <= static_cast<uint64_t>(reportLength) * 8;
}

bool FieldHasPage(const HidField& field, uint16_t usagePage) {
    return std::any_of(field.usages.begin(), field.usages.end(),
                       [&](const HidUsageRange& r) { return r.Page() == usagePage; });
}

bool LinkMatches(const HidField& field, uint16_t linkCollection) {
    return linkCollection == 0 || field.linkCollection == linkCollection;
}

// Element index of `usage` (page << 16 | id) in a variable field; false when absent.
bool ElementOfUsage(const HidField& field, uint32_t usage, uint32_t* element) {
    uint32_t base = 0;
    for (const HidUsageRange& r : field.usages) {
        if (base >= field.count) break;
        if (usage >= r.min && usage <= r.max && base + (usage - r.min) < field.count) {
            *element = base + (usage - r.min);
            return true;
        }
        base += r.Size();
    }
    return false;
}

}  // namespace

uint32_t HidField::UsageCount() const {
    uint32_t total = 0;
    for (const HidUsageRange& r : usages) total += r.Size();
    return total;
}

uint32_t HidField::UsageAt(uint32_t index) const {
    for (const HidUsageRange& r : usages) {
        if (index < r.Size()) return r.min + index;
        index -= r.Size();
    }
    if (isArray || usages.empty()) return 0;
    return usages.back().max;
}

HidTopLevelCollection::HidTopLevelCollection(uint16_t usagePage, uint16_t usage) {
    caps_.usagePage = usagePage;
    caps_.usage = usage;
    links_.push_back(LinkNode{usagePage, usage});
}

uint16_t HidTopLevelCollection::ReportByteLength(HidReportType type) const {
    return ValidType(type) ? byteLength_[Index(type)] : 0;
}

const std::vector<HidButtonCaps>& HidTopLevelCollection::ButtonCaps(HidReportType type) const {
    static const std::vector<HidButtonCaps> none;
    return ValidType(type) ? buttonCaps_[Index(type)] : none;
}

const std::vector<HidValueCaps>& HidTopLevelCollection::ValueCaps(HidReportType type) const {
    static const std::vector<HidValueCaps> none;
    return ValidType(type) ? valueCaps_[Index(type)] : none;
}

bool HidTopLevelCollection::HasReportId(HidReportType type, uint8_t reportId) const {
    return ValidType(type) && reportIds_[Index(type)].test(reportId);
}

bool HidTopLevelCollection::HasAnyReportId(uint8_t reportId) const {
    return std::any_of(reportIds_.begin(), reportIds_.end(),
                       [&](const std::bitset<256>& ids) { return ids.test(reportId); });
}

uint16_t HidTopLevelCollection::AddLinkCollection(uint16_t usagePage, uint16_t usage) {
    links_.push_back(LinkNode{usagePage, usage});
    return static_cast<uint16_t>(links_.size() - 1);
}

void HidTopLevelCollection::LinkCollectionUsage(uint16_t index, uint16_t* usagePage,
                                                uint16_t* usage) const {
    const LinkNode& node = index < links_.size() ? links_[index] : links_.front();
    *usagePage = node.usagePage;
    *usage = node.usage;
}

void HidTopLevelCollection::NoteReportId(HidReportType type, uint8_t reportId) {
    reportIds_[Index(type)].set(reportId);
}

void HidTopLevelCollection::AddField(HidField field) {
    NoteReportId(field.type, field.reportId);
    AddCaps(field);
    fields_.push_back(std::move(field));
}

void HidTopLevelCollection::AddCaps(const HidField& field) {
    HidButtonCaps common;
    common.reportId = field.reportId;
    common.bitField = field.flags;
    common.linkCollection = field.linkCollection;
    LinkCollectionUsage(field.linkCollection, &common.linkUsagePage, &common.linkUsage);
    common.isAbsolute = field.isAbsolute;
    common.logicalMin = field.logicalMin;
    common.logicalMax = field.logicalMax;
    uint32_t& dataIndex = dataIndices_[Index(field.type)];

    // A variable field spreads its elements over its usages, the last usage taking the
    // rest; an array field offers every usage to each of its elements.
    uint32_t remaining = field.count;
    for (size_t k = 0; k < field.usages.size(); ++k) {
        const HidUsageRange& range = field.usages[k];
        uint32_t usages = range.Size();
        uint32_t elements = field.count;
        if (!field.isArray) {
            if (remaining == 0) break;
            usages = std::min(usages, remaining);
            elements = k + 1 == field.usages.size() ? remaining : usages;
            remaining -= usages;
        }
        HidButtonCaps caps = common;
        caps.usagePage = range.Page();
        caps.isRange = usages > 1;
        caps.usageMin = static_cast<uint16_t>(range.min);
        caps.usageMax = static_cast<uint16_t>(range.min + usages - 1);
        caps.dataIndexMin = static_cast<uint16_t>(dataIndex);
        caps.dataIndexMax = static_cast<uint16_t>(dataIndex + usages - 1);
        dataIndex += usages;
        if (field.isButton) {
            buttonCaps_[Index(field.type)].push_back(caps);
            continue;
        }
        HidValueCaps value;
        static_cast<HidButtonCaps&>(value) = caps;
        value.hasNull = field.hasNull;
        value.bitSize = static_cast<uint16_t>(field.bitSize);
        value.reportCount = static_cast<uint16_t>(elements);
        value.physicalMin = field.physicalMin;
        value.physicalMax = field.physicalMax;
        valueCaps_[Index(field.type)].push_back(value);
    }
}

void HidTopLevelCollection::Finish(
    const std::array<std::array<uint32_t, 256>, kHidReportTypeCount>& reportBits) {
    for (size_t t = 0; t < kHidReportTypeCount; ++t) {
        uint32_t longest = 0;
        bool any = false;
        for (size_t id = 0; id < 256; ++id) {
            if (!reportIds_[t].test(id)) continue;
            any = true;
            longest = std::max(longest, (reportBits[t][id] + 7) / 8);
        }
        // Every report carries its id byte, a 0 when the device numbers none.
        byteLength_[t] = any ? static_cast<uint16_t>(longest + 1) : 0;
    }
    caps_.inputReportByteLength = byteLength_[0];
    caps_.outputReportByteLength = byteLength_[1];
    caps_.featureReportByteLength = byteLength_[2];
    caps_.numberLinkCollectionNodes = static_cast<uint16_t>(links_.size());
    caps_.numberInputButtonCaps = static_cast<uint16_t>(buttonCaps_[0].size());
    caps_.numberInputValueCaps = static_cast<uint16_t>(valueCaps_[0].size());
    caps_.numberInputDataIndices = static_cast<uint16_t>(dataIndices_[0]);
    caps_.numberOutputButtonCaps = static_cast<uint16_t>(buttonCaps_[1].size());
    caps_.numberOutputValueCaps = static_cast<uint16_t>(valueCaps_[1].size());
    caps_.numberOutputDataIndices = static_cast<uint16_t>(dataIndices_[1]);
    caps_.numberFeatureButtonCaps = static_cast<uint16_t>(buttonCaps_[2].size());
    caps_.numberFeatureValueCaps = static_cast<uint16_t>(valueCaps_[2].size());
    caps_.numberFeatureDataIndices = static_cast<uint16_t>(dataIndices_[2]);
}

uint32_t HidTopLevelCollection::MaxUsageListLength(HidReportType type, uint16_t usagePage) const {
    uint32_t total = 0;
    for (const HidField& field : fields_) {
        if (field.type != type || !field.isButton) continue;
        if (field.isArray) {
            if (usagePage == 0 || FieldHasPage(field, usagePage)) total += field.count;
            continue;
        }
        for (uint32_t i = 0; i < field.count; ++i) {
            if (usagePage == 0 || (field.UsageAt(i) >> 16) == usagePage) ++total;
        }
    }
    return total;
}

HidStatus HidTopLevelCollection::GetUsages(HidReportType type, uint16_t usagePage,
                                           uint16_t linkCollection, uint16_t* usages,
                                           uint32_t* length, const uint8_t* report,
                                           uint32_t reportLength) const {
    if (!ValidType(type)) return kHidStatusInvalidReportType;
    if (report == nullptr || reportLength == 0 || length == nullptr) {
        return kHidStatusInvalidReportLength;
    }
    const uint8_t reportId = report[0];
    const uint32_t room = usages ? *length : 0;
    uint32_t found = 0;
    bool pageAnywhere = false, pageInReport = false;
    auto emit = [&](uint32_t usage) {
        if ((usage >> 16) != usagePage || (usage & 0xFFFF) == 0) return;
        if (found < room) usages[found] = static_cast<uint16_t>(usage);
        ++found;
    };
    for (const HidField& field : fields_) {
        if (field.type != type || !field.isButton || !LinkMatches(field, linkCollection)) continue;
        if (!FieldHasPage(field, usagePage)) continue;
        pageAnywhere = true;
        if (field.reportId != reportId) continue;
        pageInReport = true;
        if (!FieldFits(field, reportLength)) return kHidStatusInvalidReportLength;
        for (uint32_t i = 0; i < field.count; ++i) {
            const uint32_t raw = ReadBits(report, field.bitOffset + i * field.bitSize, field.bitSize);
            if (!field.isArray) {
                if (raw & 1u) emit(field.UsageAt(i));
                continue;
            }
            const int64_t value = LogicalValue(field, raw);
            if (value < field.logicalMin || value > field.logicalMax) continue;
            emit(field.UsageAt(static_cast<uint32_t>(value - field.logicalMin)));
        }
    }
    if (!pageAnywhere) return kHidStatusUsageNotFound;
    if (!pageInReport) return kHidStatusIncompatibleReportId;
    *length = found;
    return found > room ? kHidStatusBufferTooSmall : kHidStatusSuccess;
}

const HidField* HidTopLevelCollection::FindValueField(HidReportType type, uint16_t usagePage,
                                                      uint16_t linkCollection, uint16_t usage,
                                                      uint8_t reportId, uint32_t* element,
                                                      HidStatus* status) const {
    const uint32_t wanted = (static_cast<uint32_t>(usagePage) << 16) | usage;
    *status = kHidStatusUsageNotFound;
    for (const HidField& field : fields_) {
        if (field.type != type || field.isButton || !LinkMatches(field, linkCollection)) continue;
        if (!ElementOfUsage(field, wanted, element)) continue;
        if (field.reportId == reportId) {
            *status = kHidStatusSuccess;
            return &field;
        }
        *status = kHidStatusIncompatibleReportId;
    }
    return nullptr;
}

HidStatus HidTopLevelCollection::GetUsageValue(HidReportType type, uint16_t usagePage,
                                               uint16_t linkCollection, uint16_t usage,
                                               uint32_t* value, const uint8_t* report,
                                               uint32_t reportLength) const {
    if (!ValidType(type)) return kHidStatusInvalidReportType;
    if (report == nullptr || reportLength == 0) return kHidStatusInvalidReportLength;
    uint32_t element = 0;
    HidStatus status = kHidStatusSuccess;
    const HidField* field =
        FindValueField(type, usagePage, linkCollection, usage, report[0], &element, &status);
    if (field == nullptr) return status;
    if (!FieldFits(*field, reportLength)) return kHidStatusInvalidReportLength;
    *value = ReadBits(report, field->bitOffset + element * field->bitSize, field->bitSize);
    return kHidStatusSuccess;
}

HidStatus HidTopLevelCollection::GetScaledUsageValue(HidReportType type, uint16_t usagePage,
                                                     uint16_t linkCollection, uint16_t usage,
                                                     int32_t* value, const uint8_t* report,
                                                     uint32_t reportLength) const {
    if (!ValidType(type)) return kHidStatusInvalidReportType;
    if (report == nullptr || reportLength == 0) return kHidStatusInvalidReportLength;
    uint32_t element = 0;
    HidStatus status = kHidStatusSuccess;
    const HidField* field =
        FindValueField(type, usagePage, linkCollection, usage, report[0], &element, &status);
    if (field == nullptr) return status;
    if (!FieldFits(*field, reportLength)) return kHidStatusInvalidReportLength;
    *value = 0;
    const int64_t lmin = field->logicalMin, lmax = field->logicalMax;
    int64_t pmin = field->physicalMin, pmax = field->physicalMax;
    if (pmin == 0 && pmax == 0) {
        pmin = lmin;
        pmax = lmax;
    }
    if (lmin >= lmax || pmin >= pmax) return kHidStatusBadLogPhyValues;
    const int64_t logical = LogicalValue(
        *field, ReadBits(report, field->bitOffset + element * field->bitSize, field->bitSize));
    if (logical < lmin || logical > lmax) return kHidStatusValueOutOfRange;
    *value = static_cast<int32_t>(pmin + (logical - lmin) * (pmax - pmin) / (lmax - lmin));
    return kHidStatusSuccess;
}

}  // namespace q208
