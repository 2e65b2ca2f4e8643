#include "device/HidReportDescriptor.h"

#include <gtest/gtest.h>

#include "device/TestDescriptors.h"

using namespace q208;

namespace {

HidReportDescriptor ParseOk(const std::vector<uint8_t>& bytes) {
    std::string error;
    auto parsed = HidReportDescriptor::Parse(bytes, &error);
    EXPECT_TRUE(parsed.has_value()) << error;
    return parsed ? *parsed : HidReportDescriptor{};
}

}  // namespace

TEST(HidReportDescriptor, BootKeyboardHasButtonCapsAndLedOutput) {
    const HidReportDescriptor d = ParseOk(test::kBootKeyboard);
    ASSERT_EQ(d.Collections().size(), 1u);
    EXPECT_FALSE(d.UsesReportIds());
    const HidTopLevelCollection& kb = d.Collections()[0];
    EXPECT_EQ(kb.UsagePage(), 0x01);
    EXPECT_EQ(kb.Usage(), 0x06);
    EXPECT_EQ(kb.Caps().inputReportByteLength, 9);
    EXPECT_EQ(kb.Caps().outputReportByteLength, 2);
    EXPECT_EQ(kb.Caps().featureReportByteLength, 0);

    const auto& in = kb.ButtonCaps(HidReportType::Input);
    ASSERT_EQ(in.size(), 2u);  // modifier bitmap, key array; the reserved byte has none
    EXPECT_EQ(in[0].usagePage, 0x07);
    EXPECT_TRUE(in[0].isRange);
    EXPECT_EQ(in[0].usageMin, 0xE0);
    EXPECT_EQ(in[0].usageMax, 0xE7);
    EXPECT_EQ(in[1].usageMin, 0x00);
    EXPECT_EQ(in[1].usageMax, 0x65);
    EXPECT_TRUE(kb.ValueCaps(HidReportType::Input).empty());
    ASSERT_EQ(kb.ButtonCaps(HidReportType::Output).size(), 1u);
    EXPECT_EQ(kb.ButtonCaps(HidReportType::Output)[0].usagePage, 0x08);
    // Eight modifiers plus six array slots.
    EXPECT_EQ(kb.MaxUsageListLength(HidReportType::Input, 0x07), 14u);
}

TEST(HidReportDescriptor, MouseSplitsValuesPerUsageInsideLinkCollection) {
    const HidReportDescriptor d = ParseOk(test::kMouse);
    const HidTopLevelCollection& mouse = d.Collections()[0];
    EXPECT_EQ(mouse.Caps().inputReportByteLength, 5);
    EXPECT_EQ(mouse.Caps().numberLinkCollectionNodes, 2);
    ASSERT_EQ(mouse.ButtonCaps(HidReportType::Input).size(), 1u);
    EXPECT_EQ(mouse.ButtonCaps(HidReportType::Input)[0].linkCollection, 1);
    EXPECT_EQ(mouse.ButtonCaps(HidReportType::Input)[0].linkUsage, 0x01);  // pointer
    const auto& values = mouse.ValueCaps(HidReportType::Input);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].Usage(), 0x30);
    EXPECT_EQ(values[1].Usage(), 0x31);
    EXPECT_EQ(values[2].Usage(), 0x38);
    EXPECT_EQ(values[2].logicalMin, -127);
    EXPECT_EQ(values[2].logicalMax, 127);
    EXPECT_FALSE(values[0].isAbsolute);
    EXPECT_EQ(values[0].bitSize, 8);
}

TEST(HidReportDescriptor, VendorCollectionLengthsCountTheIdByte) {
    const HidReportDescriptor d = ParseOk(test::kConsumerAndVendor);
    ASSERT_EQ(d.Collections().size(), 2u);
    EXPECT_TRUE(d.UsesReportIds());
    const HidTopLevelCollection& consumer = d.Collections()[0];
    EXPECT_EQ(consumer.UsagePage(), 0x0C);
    EXPECT_EQ(consumer.Caps().inputReportByteLength, 3);
    EXPECT_EQ(consumer.Caps().outputReportByteLength, 0);
    const HidTopLevelCollection& vendor = d.Collections()[1];
    EXPECT_EQ(vendor.UsagePage(), 0xFF1C);
    EXPECT_EQ(vendor.Usage(), 0x92);
    EXPECT_EQ(vendor.Caps().inputReportByteLength, 64);
    EXPECT_EQ(vendor.Caps().outputReportByteLength, 64);
    EXPECT_EQ(vendor.Caps().featureReportByteLength, 0);
    ASSERT_EQ(vendor.ValueCaps(HidReportType::Input).size(), 1u);
    EXPECT_EQ(vendor.ValueCaps(HidReportType::Input)[0].reportId, 4);
    EXPECT_EQ(vendor.ValueCaps(HidReportType::Input)[0].reportCount, 63);
    EXPECT_EQ(d.CollectionOfInputReport(3), 0);
    EXPECT_EQ(d.CollectionOfInputReport(4), 1);
    EXPECT_EQ(d.CollectionOfInputReport(9), -1);
}

TEST(HidReportDescriptor, PushPopAndLocalsClearedAfterMainItem) {
    const std::vector<uint8_t> bytes = {
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01,
        0xA4,                                     // push: page 0xFF00, 8-bit
        0x05, 0x09, 0x75, 0x01, 0x95, 0x08,       // buttons page, 1-bit x 8
        0x19, 0x01, 0x29, 0x08, 0x25, 0x01, 0x81, 0x02,
        0xB4,                                     // pop: back to page 0xFF00, 8-bit x 1
        0x26, 0xFF, 0x00, 0x81, 0x02,             // no usage left over: usage 0 of 0xFF00
        0x0B, 0x05, 0x00, 0x0C, 0x00, 0x81, 0x02, // four-byte usage: page 0x000C, usage 5
        0xC0,
    };
    const HidReportDescriptor d = ParseOk(bytes);
    const HidTopLevelCollection& c = d.Collections()[0];
    EXPECT_EQ(c.Caps().inputReportByteLength, 4);
    ASSERT_EQ(c.ButtonCaps(HidReportType::Input).size(), 1u);
    EXPECT_EQ(c.ButtonCaps(HidReportType::Input)[0].usagePage, 0x09);
    const auto& values = c.ValueCaps(HidReportType::Input);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].usagePage, 0xFF00);
    EXPECT_EQ(values[0].Usage(), 0);
    EXPECT_EQ(values[0].bitSize, 8);
    EXPECT_EQ(values[1].usagePage, 0x0C);
    EXPECT_EQ(values[1].Usage(), 5);
}

TEST(HidReportDescriptor, RejectsBrokenDescriptors) {
    const std::vector<std::vector<uint8_t>> broken = {
        {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x26, 0xFF},            // truncated item
        {0x05, 0x01, 0xA1, 0x01, 0xB4, 0xC0},                         // pop without push
        {0x05, 0x01, 0xC0},                                           // end without collection
        {0x05, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}, // collection left open
        {0x75, 0x08, 0x95, 0x01, 0x81, 0x02},                         // data outside a collection
        {0xA1, 0x01, 0x85, 0x00, 0xC0},                               // report id 0
        {0xA1, 0x01, 0x75, 0x08, 0x96, 0x00, 0x50, 0x81, 0x02, 0xC0}, // 20 KiB report
        {0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02,              // unnumbered and numbered
         0x85, 0x02, 0x81, 0x02, 0xC0},
        {0xFE, 0x10, 0x00, 0x01},                                     // truncated long item
        {},                                                           // nothing at all
    };
    for (size_t i = 0; i < broken.size(); ++i) {
        std::string error;
        EXPECT_FALSE(HidReportDescriptor::Parse(broken[i], &error).has_value()) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
    }
    std::vector<uint8_t> oversized(HidReportDescriptor::kMaxDescriptorBytes + 1, 0x00);
    EXPECT_FALSE(HidReportDescriptor::Parse(oversized).has_value());
}

TEST(HidReportDescriptor, SurvivesEveryTruncationOfARealDescriptor) {
    for (size_t n = 0; n < test::kConsumerAndVendor.size(); ++n) {
        std::vector<uint8_t> cut(test::kConsumerAndVendor.begin(), test::kConsumerAndVendor.begin() + n);
        // Whole only when cut after the consumer collection, or after a global or local
        // item that follows it.
        const bool whole = n == 25 || n == 28 || n == 30;
        EXPECT_EQ(HidReportDescriptor::Parse(cut).has_value(), whole) << n;
    }
}
