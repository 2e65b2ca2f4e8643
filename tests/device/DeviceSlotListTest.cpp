#include "device/DeviceSlotList.h"

#include <gtest/gtest.h>

namespace q208 {
namespace {

InterfaceCandidate Opened(const std::string& path, uint16_t usagePage, uint16_t usage) {
    InterfaceCandidate candidate = SupportedInterfaceMatcher::FromPath(path);
    candidate.usagePage = usagePage;
    candidate.usage = usage;
    return candidate;
}

const std::string kKeyboardVendor = "sim:2#vid_4e5b&pid_7c13&mi_01&col04";
const std::string kReceiverConsumer = "sim:4#vid_4e5b&pid_7c12&mi_01&col03";

TEST(DeviceSlotList, FullMatchTakesTheSlotAndClassifiesTheCandidate) {
    DeviceSlotList slots;
    InterfaceCandidate candidate = Opened(kReceiverConsumer, 0x000C, 0x01);
    ASSERT_TRUE(slots.QuickMatch(candidate));
    EXPECT_EQ(slots.FullMatch(candidate), 5u);
    EXPECT_EQ(candidate.kind, kKindReceiver);
    EXPECT_EQ(candidate.role, kRoleSecondary);
    EXPECT_TRUE(slots.IsConnected(5));
    EXPECT_EQ(slots.DevicePath(5), kReceiverConsumer);

    EXPECT_FALSE(slots.QuickMatch(candidate)) << "a taken slot is not offered again";
    EXPECT_FALSE(slots.FullMatch(candidate));
}

TEST(DeviceSlotList, UsageThatDiffersFromTheRowTakesNothing) {
    DeviceSlotList slots;
    InterfaceCandidate candidate = Opened(kKeyboardVendor, 0x0001, 0x06);
    EXPECT_TRUE(slots.QuickMatch(candidate)) << "the path alone cannot tell";
    EXPECT_FALSE(slots.FullMatch(candidate));
    EXPECT_EQ(candidate.kind, 0);
    EXPECT_TRUE(slots.Slot(0)->IsFree());
}

TEST(DeviceSlotList, AllSlotsTakenOnlyWhenNoSlotIsFree) {
    DeviceSlotList slots;
    for (size_t i = 0; i + 1 < DeviceSlotList::Count(); ++i) {
        const DeviceSlot row = *slots.Slot(i);
        InterfaceCandidate candidate{row.vendorId, row.productId, row.interfaceNumber, row.collectionNumber, row.usagePage,
                     row.usage, "path" + std::to_string(i)};
        ASSERT_EQ(slots.FullMatch(candidate), i);
    }
    EXPECT_FALSE(slots.AllSlotsTaken());
    const DeviceSlot last = *slots.Slot(DeviceSlotList::Count() - 1);
    InterfaceCandidate candidate{last.vendorId, last.productId, last.interfaceNumber, last.collectionNumber,
                                 last.usagePage, last.usage, "last"};
    ASSERT_TRUE(slots.FullMatch(candidate));
    EXPECT_TRUE(slots.AllSlotsTaken());
}

TEST(DeviceSlotList, ReleaseFreesOnlyTheSlotThatStillHoldsThePath) {
    DeviceSlotList slots;
    InterfaceCandidate candidate = Opened(kKeyboardVendor, 0xFF1C, 0x92);
    ASSERT_EQ(slots.FullMatch(candidate), 0u);

    EXPECT_FALSE(slots.Release(0, "sim:9#other"));
    EXPECT_FALSE(slots.Release(DeviceSlotList::Count(), kKeyboardVendor));
    bool wasConnected = false;
    EXPECT_TRUE(slots.Release(0, kKeyboardVendor, &wasConnected));
    EXPECT_TRUE(wasConnected);
    EXPECT_TRUE(slots.Slot(0)->IsFree());
    EXPECT_FALSE(slots.Release(0, kKeyboardVendor)) << "freed once";
}

TEST(DeviceSlotList, IndexOutOfRangeReadsAsNothing) {
    DeviceSlotList slots;
    slots.SetConnected(DeviceSlotList::Count(), true);
    EXPECT_FALSE(slots.Slot(DeviceSlotList::Count()));
    EXPECT_FALSE(slots.IsConnected(DeviceSlotList::Count()));
    EXPECT_EQ(slots.DevicePath(DeviceSlotList::Count()), "");
}

}  // namespace
}  // namespace q208
