#include "device/HidReportDescriptor.h"

#include <array>
#include <cstdio>

namespace q208 {
namespace {

constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr size_t kMaxGlobalStack = 16;
constexpr size_t kMaxCollectionDepth = 32;
constexpr uint32_t kMaxReportSizeBits = 256;

enum ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };
enum MainTag : uint8_t { kInput = 0x8, kOutput = 0x9, kFeature = 0xB, kCollection = 0xA, kEndCollection = 0xC };
enum GlobalTag : uint8_t {
    kUsagePage = 0x0, kLogicalMin = 0x1, kLogicalMax = 0x2, kPhysicalMin = 0x3, kPhysicalMax = 0x4,
    kUnitExponent = 0x5, kUnit = 0x6, kReportSize = 0x7, kReportId = 0x8, kReportCount = 0x9,
    kPush = 0xA, kPop = 0xB
};
enum LocalTag : uint8_t { kUsage = 0x0, kUsageMin = 0x1, kUsageMax = 0x2 };

// Main item flag bits.
constexpr uint32_t kFlagConstant = 1u << 0;
constexpr uint32_t kFlagVariable = 1u << 1;
constexpr uint32_t kFlagRelative = 1u << 2;
constexpr uint32_t kFlagNullState = 1u << 6;

struct Item {
    uint8_t type = 0, tag = 0, size = 0;
    uint32_t data = 0;
    int32_t Signed() const {
        if (size == 1) return static_cast<int8_t>(data);
        if (size == 2) return static_cast<int16_t>(data);
        return static_cast<int32_t>(data);
    }
};

// A value whose sign is decided by the minimum it pairs with, as HID parsers read maxima.
struct SizedValue {
    uint32_t raw = 0;
    int32_t asSigned = 0;
    int32_t Resolve(int32_t minimum) const {
        return minimum < 0 ? asSigned : static_cast<int32_t>(raw);
    }
};

struct Globals {
    uint16_t usagePage = 0;
    int32_t logicalMin = 0, physicalMin = 0;
    SizedValue logicalMax, physicalMax;
    uint32_t unitExponent = 0, unit = 0, reportSize = 0, reportCount = 0;
    uint8_t reportId = 0;
};

// A usage or range as written; a short usage takes its page when the main item comes.
struct LocalUsage {
    uint32_t min = 0, max = 0;
    bool minHasPage = false, maxHasPage = false;
};

struct OpenCollection {
    size_t tlc = 0;
    uint16_t link = 0;
};

}  // namespace

class HidReportDescriptor::Parser {
public:
    explicit Parser(HidReportDescriptor& out) : out_(out) {}

    bool Run(std::span<const uint8_t> bytes) {
        if (bytes.size() > kMaxDescriptorBytes) return Fail("descriptor of %zu bytes is too long", bytes.size());
        size_t pos = 0;
        while (pos < bytes.size()) {
            Item item;
            if (!NextItem(bytes, pos, item)) return false;
            if (!Handle(item)) return false;
        }
        if (!open_.empty()) return Fail("%zu collection(s) left open", open_.size());
        if (out_.collections_.empty()) return Fail("no top-level collection");
        if (out_.usesReportIds_ && unnumberedReport_) return Fail("numbered and unnumbered reports mixed");
        for (HidTopLevelCollection& tlc : out_.collections_) tlc.Finish(reportBits_);
        return true;
    }

    const std::string& Error() const { return error_; }

private:
    template <typename... Args>
    bool Fail(const char* format, Args... args) {
        char text[160];
        std::snprintf(text, sizeof text, format, args...);
        error_ = text;
        return false;
    }

    bool NextItem(std::span<const uint8_t> bytes, size_t& pos, Item& item) {
        const uint8_t prefix = bytes[pos++];
        if (prefix == kLongItemPrefix) {
            // Long items carry nothing a report layout needs; step over them.
            if (pos + 2 > bytes.size()) return Fail("truncated long item at %zu", pos - 1);
            const size_t length = bytes[pos];
            if (pos + 2 + length > bytes.size()) return Fail("truncated long item at %zu", pos - 1);
            pos += 2 + length;
            item.type = 3;  // reserved: ignored by Handle
            return true;
        }
        item.size = static_cast<uint8_t>(prefix & 3) == 3 ? 4 : prefix & 3;
        item.type = (prefix >> 2) & 3;
        item.tag = prefix >> 4;
        if (pos + item.size > bytes.size()) return Fail("truncated item at %zu", pos - 1);
        for (uint8_t i = 0; i < item.size; ++i) item.data |= static_cast<uint32_t>(bytes[pos + i]) << (8 * i);
        pos += item.size;
        return true;
    }

    bool Handle(const Item& item) {
        switch (item.type) {
            case kMain: return HandleMain(item);
            case kGlobal: return HandleGlobal(item);
            case kLocal: HandleLocal(item); return true;
            default: return true;
        }
    }

    bool HandleGlobal(const Item& item) {
        switch (item.tag) {
            case kUsagePage: globals_.usagePage = static_cast<uint16_t>(item.data); break;
            case kLogicalMin: globals_.logicalMin = item.Signed(); break;
            case kLogicalMax: globals_.logicalMax = SizedValue{item.data, item.Signed()}; break;
            case kPhysicalMin: globals_.physicalMin = item.Signed(); break;
            case kPhysicalMax: globals_.physicalMax = SizedValue{item.data, item.Signed()}; break;
            case kUnitExponent: globals_.unitExponent = item.data; break;
            case kUnit: globals_.unit = item.data; break;
            case kReportSize:
                if (item.data > kMaxReportSizeBits) return Fail("report size %u too large", item.data);
                globals_.reportSize = item.data;
                break;
            case kReportId:
                if (item.data == 0 || item.data > 0xFF) return Fail("invalid report id %u", item.data);
                globals_.reportId = static_cast<uint8_t>(item.data);
                out_.usesReportIds_ = true;
                break;
            case kReportCount: globals_.reportCount = item.data; break;
            case kPush:
                if (stack_.size() >= kMaxGlobalStack) return Fail("push nested too deep");
                stack_.push_back(globals_);
                break;
            case kPop:
                if (stack_.empty()) return Fail("pop without push");
                globals_ = stack_.back();
                stack_.pop_back();
                break;
            default: break;
        }
        return true;
    }

    void HandleLocal(const Item& item) {
        const bool hasPage = item.size == 4;
        switch (item.tag) {
            case kUsage: locals_.push_back(LocalUsage{item.data, item.data, hasPage, hasPage}); break;
            case kUsageMin: usageMin_ = item.data; usageMinHasPage_ = hasPage; haveMin_ = true; break;
            case kUsageMax: usageMax_ = item.data; usageMaxHasPage_ = hasPage; haveMax_ = true; break;
            default: break;  // designators, strings, delimiters: not needed for reports
        }
        if (haveMin_ && haveMax_) {
            locals_.push_back(LocalUsage{usageMin_, usageMax_, usageMinHasPage_, usageMaxHasPage_});
            haveMin_ = haveMax_ = false;
        }
    }

    void ClearLocals() {
        locals_.clear();
        haveMin_ = haveMax_ = false;
    }

    uint32_t WithPage(uint32_t value, bool hasPage) const {
        return hasPage ? value : (static_cast<uint32_t>(globals_.usagePage) << 16) | (value & 0xFFFF);
    }

    std::vector<HidUsageRange> ResolvedUsages() const {
        std::vector<HidUsageRange> usages;
        for (const LocalUsage& u : locals_) {
            const uint32_t min = WithPage(u.min, u.minHasPage);
            // A range stays on the page of its minimum.
            const uint32_t max = (min & 0xFFFF0000u) | (WithPage(u.max, u.maxHasPage) & 0xFFFF);
            if (max >= min) usages.push_back(HidUsageRange{min, max});
        }
        return usages;
    }

    bool HandleMain(const Item& item) {
        bool ok = true;
        switch (item.tag) {
            case kCollection: ok = OpenCollectionItem(); break;
            case kEndCollection:
                if (open_.empty()) ok = Fail("end collection without collection");
                else open_.pop_back();
                break;
            case kInput: ok = DataItem(HidReportType::Input, item.data); break;
            case kOutput: ok = DataItem(HidReportType::Output, item.data); break;
            case kFeature: ok = DataItem(HidReportType::Feature, item.data); break;
            default: break;
        }
        ClearLocals();
        return ok;
    }

    bool OpenCollectionItem() {
        if (open_.size() >= kMaxCollectionDepth) return Fail("collections nested too deep");
        const std::vector<HidUsageRange> usages = ResolvedUsages();
        const uint32_t usage = usages.empty() ? (static_cast<uint32_t>(globals_.usagePage) << 16) : usages.front().min;
        const auto page = static_cast<uint16_t>(usage >> 16);
        const auto id = static_cast<uint16_t>(usage);
        if (open_.empty()) {
            out_.collections_.emplace_back(page, id);
            open_.push_back(OpenCollection{out_.collections_.size() - 1, 0});
        } else {
            const size_t tlc = open_.back().tlc;
            open_.push_back(OpenCollection{tlc, out_.collections_[tlc].AddLinkCollection(page, id)});
        }
        return true;
    }

    bool DataItem(HidReportType type, uint32_t flags) {
        if (open_.empty()) return Fail("data item outside any collection");
        const uint64_t bits = static_cast<uint64_t>(globals_.reportSize) * globals_.reportCount;
        uint32_t& used = reportBits_[static_cast<size_t>(type)][globals_.reportId];
        if (used + bits > static_cast<uint64_t>(kMaxReportBytes) * 8) {
            return Fail("report %u longer than %u bytes", globals_.reportId, kMaxReportBytes);
        }
        HidTopLevelCollection& tlc = out_.collections_[open_.back().tlc];
        if (globals_.reportId == 0) unnumberedReport_ = true;
        tlc.NoteReportId(type, globals_.reportId);
        const uint32_t offset = 8 + used;  // byte 0 holds the report id
        used += static_cast<uint32_t>(bits);
        if (bits == 0 || (flags & kFlagConstant)) return true;  // padding

        HidField field;
        field.type = type;
        field.reportId = globals_.reportId;
        field.flags = static_cast<uint16_t>(flags);
        field.isArray = !(flags & kFlagVariable);
        field.isButton = field.isArray || globals_.reportSize == 1;
        field.isAbsolute = !(flags & kFlagRelative);
        field.hasNull = flags & kFlagNullState;
        field.bitOffset = offset;
        field.bitSize = globals_.reportSize;
        field.count = globals_.reportCount;
        field.logicalMin = globals_.logicalMin;
        field.logicalMax = globals_.logicalMax.Resolve(globals_.logicalMin);
        field.physicalMin = globals_.physicalMin;
        field.physicalMax = globals_.physicalMax.Resolve(globals_.physicalMin);
        field.linkCollection = open_.back().link;
        field.usages = ResolvedUsages();
        if (field.usages.empty()) {
            const uint32_t none = static_cast<uint32_t>(globals_.usagePage) << 16;
            field.usages.push_back(HidUsageRange{none, none});
        }
        tlc.AddField(std::move(field));
        return true;
    }

    HidReportDescriptor& out_;
    std::string error_;
    Globals globals_;
    std::vector<Globals> stack_;
    std::vector<LocalUsage> locals_;
    uint32_t usageMin_ = 0, usageMax_ = 0;
    bool usageMinHasPage_ = false, usageMaxHasPage_ = false, haveMin_ = false, haveMax_ = false;
    std::vector<OpenCollection> open_;
    std::array<std::array<uint32_t, 256>, kHidReportTypeCount> reportBits_{};
    bool unnumberedReport_ = false;
};

std::optional<HidReportDescriptor> HidReportDescriptor::Parse(std::span<const uint8_t> bytes,
                                                              std::string* error) {
    HidReportDescriptor descriptor;
    Parser parser(descriptor);
    if (!parser.Run(bytes)) {
        if (error) *error = parser.Error();
        return std::nullopt;
    }
    return descriptor;
}

int HidReportDescriptor::CollectionOfInputReport(uint8_t reportId) const {
    for (size_t i = 0; i < collections_.size(); ++i) {
        if (collections_[i].HasReportId(HidReportType::Input, reportId)) return static_cast<int>(i);
    }
    for (size_t i = 0; i < collections_.size(); ++i) {
        if (collections_[i].HasAnyReportId(reportId)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace q208
