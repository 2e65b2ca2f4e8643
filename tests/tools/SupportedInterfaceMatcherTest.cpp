#include "device/SupportedInterfaceMatcher.h"

#include <gtest/gtest.h>

#include <vector>

using namespace q208;

namespace {

InterfaceCandidate Opened(const std::string& path, uint16_t usagePage, uint16_t usage) {
    InterfaceCandidate candidate = SupportedInterfaceMatcher::FromPath(path);
    candidate.usagePage = usagePage;
    candidate.usage = usage;
    return candidate;
}

}  // namespace

TEST(SupportedInterfaceMatcher, MatchesPathNumbersFirstThenUsage) {
    const SupportedInterfaceMatcher matcher;
    const auto vendor = SupportedInterfaceMatcher::FromPath("/dev/hidraw3#VID_4E5B&PID_7C13&MI_01&COL04");
    EXPECT_EQ(vendor.collectionNumber, 4);
    EXPECT_TRUE(matcher.QuickMatch(vendor));
    EXPECT_FALSE(matcher.QuickMatch(SupportedInterfaceMatcher::FromPath("/dev/hidraw3#vid_4e5b&pid_7c13&mi_01&col02")));
    EXPECT_FALSE(matcher.QuickMatch(SupportedInterfaceMatcher::FromPath("/dev/hidraw3#vid_4e5b&pid_7c13&mi_00&col04")));

    EXPECT_EQ(matcher.FullMatch(Opened("x#vid_4e5b&pid_7c13&mi_01&col04", 0xFF1C, 0x92)), 0u);
    EXPECT_EQ(matcher.FullMatch(Opened("x#vid_4e5b&pid_7c13&mi_01&col03", 0x000C, 0x01)), 1u);
    // Right numbers, wrong usage: not ours.
    EXPECT_FALSE(matcher.FullMatch(Opened("x#vid_4e5b&pid_7c13&mi_01&col04", 0x0001, 0x06)));
    // The mouse's consumer interface is interface 0; the headset's path has no collection.
    EXPECT_EQ(matcher.FullMatch(Opened("x#vid_4e5b&pid_7c11&mi_00&col03", 0x000C, 0x01)), 7u);
    EXPECT_EQ(matcher.FullMatch(Opened("x#vid_2a91&pid_3e48&mi_03", 0x000C, 0x01)), 12u);
}

TEST(SupportedInterfaceMatcher, TakenSlotsOfAListAreSkipped) {
    std::vector<DeviceSlot> slots(SupportedDeviceTable().begin(), SupportedDeviceTable().end());
    slots[kSlotKeyboard].connected = 1;
    slots[kSlotKeyboard].devicePath = "/dev/hidraw3#vid_4e5b&pid_7c13&mi_01&col04";
    const SupportedInterfaceMatcher matcher(slots);
    const auto second = Opened("/dev/hidraw9#vid_4e5b&pid_7c13&mi_01&col04", 0xFF1C, 0x92);
    EXPECT_FALSE(matcher.QuickMatch(second));  // a second keyboard of the same model is ignored
    EXPECT_FALSE(matcher.FullMatch(second));
    EXPECT_EQ(matcher.FullMatch(Opened("/dev/hidraw9#vid_4e5b&pid_7c13&mi_01&col03", 0x000C, 0x01)), 1u);
}
