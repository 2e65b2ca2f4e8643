#include <gtest/gtest.h>

#include "device/CHidDevice.h"
#include "device/HidReportDescriptor.h"
#include "device/SimBus.h"
#include "device/TestDescriptors.h"

using namespace q208;


TEST(UnpackInputReport, KeyboardUsageListsKeepTheirRangeAndEndWithZero) {
    auto bus = std::make_shared<SimBus>();
    const int id = bus->Plug({0x4E5B, 0x7C13, 1, 0, test::kBootKeyboard}, nullptr);
    CHidDevice device(bus);
    ASSERT_TRUE(device.Open(bus->PathsOf(id)[0], true, false, true, false));
    auto& data = device.Input().data;
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0].maxUsageLength, 14u);
    ASSERT_EQ(data[0].usages.size(), 14u);

    // Left shift and right alt held; keys A and B down.
    const uint8_t report[9] = {0x00, 0x42, 0x00, 0x04, 0x05, 0, 0, 0, 0};
    ASSERT_TRUE(CHidDevice::UnpackInputReport(report, 9, data.data(), static_cast<uint32_t>(data.size()),
                                              device.PreparsedData()));
    EXPECT_TRUE(data[0].isDataSet);
    EXPECT_EQ(data[0].status, kHidStatusSuccess);
    EXPECT_EQ(data[0].usages[0], 0xE1);
    EXPECT_EQ(data[0].usages[1], 0xE6);
    EXPECT_EQ(data[0].usages[2], 0);
    // The key array's entry covers 0..0x65: the modifiers are filtered out.
    EXPECT_EQ(data[1].usages[0], 0x04);
    EXPECT_EQ(data[1].usages[1], 0x05);
    EXPECT_EQ(data[1].usages[2], 0);
}

TEST(UnpackInputReport, MouseValuesAreRawAndScaled) {
    auto bus = std::make_shared<SimBus>();
    const int id = bus->Plug({0x4E5B, 0x7C11, 1, 0, test::kMouse}, nullptr);
    CHidDevice device(bus);
    ASSERT_TRUE(device.Open(bus->PathsOf(id)[0], true, false, true, false));
    auto& data = device.Input().data;
    ASSERT_EQ(data.size(), 4u);  // buttons, X, Y, wheel
    const uint8_t report[5] = {0x00, 0x05, 0xFB, 0x10, 0x81};
    ASSERT_TRUE(CHidDevice::UnpackInputReport(report, 5, data.data(), 4, device.PreparsedData()));
    EXPECT_EQ(data[0].usages[0], 1);
    EXPECT_EQ(data[0].usages[1], 3);
    EXPECT_EQ(data[0].usages[2], 0);
    EXPECT_EQ(data[1].usage, 0x30);
    EXPECT_EQ(data[1].value, 0xFBu);
    EXPECT_EQ(data[1].scaledValue, -5);
    EXPECT_EQ(data[2].scaledValue, 16);
    EXPECT_EQ(data[3].scaledValue, -127);
}

TEST(UnpackInputReport, OnlyEntriesOfTheReportIdAreTouched) {
    auto bus = std::make_shared<SimBus>();
    const int id = bus->Plug({0x4E5B, 0x7C13, 1, 1, test::kConsumerAndVendor}, nullptr);
    CHidDevice device(bus);
    ASSERT_TRUE(device.Open(bus->PathsOf(id)[1], true, true, true, false));
    auto& data = device.Input().data;
    ASSERT_EQ(data.size(), 1u);  // one usage spanning 63 bytes: one value entry
    EXPECT_EQ(data[0].reportId, 4u);

    uint8_t report[64] = {4, 0x2A, 0x01};
    ASSERT_TRUE(CHidDevice::UnpackInputReport(report, 64, data.data(), 1, device.PreparsedData()));
    EXPECT_EQ(data[0].value, 0x2Au);

    HidData stranger = data[0];
    stranger.reportId = 7;
    stranger.isDataSet = false;
    EXPECT_TRUE(CHidDevice::UnpackInputReport(report, 64, &stranger, 1, device.PreparsedData()));
    EXPECT_FALSE(stranger.isDataSet);
    // A report too short for its fields fails instead of reading past its end.
    EXPECT_FALSE(CHidDevice::UnpackInputReport(report, 10, data.data(), 1, device.PreparsedData()));
}
