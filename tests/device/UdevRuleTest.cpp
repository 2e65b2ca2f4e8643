#include "device/UdevRule.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/Paths.h"

using q208::UdevRule;

namespace {

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

// The installed rule is the one made from the supported-interface table: a new device in
// the table needs the file written again (q208ctl doctor rule > data/udev/70-q208.rules).
TEST(UdevRule, TheCommittedRuleIsTheTablesRule) {
    const auto file = q208::FindDataRoot().defaultData.parent_path() / "udev" / UdevRule::kFileName;
    EXPECT_EQ(ReadFile(file), UdevRule::Text()) << file;
}

TEST(UdevRule, OurDevicesAndNothingElseGetAccess) {
    const std::string rule = UdevRule::Text();
    const std::vector<UdevRule::DeviceId> ours{{0x4E5B, 0x7C13}, {0x4E5B, 0x7C12}, {0x4E5B, 0x7C11},
                                               {0x4E5B, 0x5D02}, {0x2A91, 0x3E48}};
    EXPECT_EQ(UdevRule::DeviceIds(), ours);
    for (const auto id : ours) EXPECT_TRUE(UdevRule::GrantsAccess(rule, id)) << std::hex << id.product;
    // The devices behind the receiver have no node, neighbours of our ids are someone else's.
    for (const UdevRule::DeviceId other : {UdevRule::DeviceId{0x4E5B, 0x0000}, {0x4E5B, 0x7C14}, {0x2A91, 0x7C13},
                                           {0x046D, 0xC52B}, {0x2A91, 0x3E49}}) {
        EXPECT_FALSE(UdevRule::GrantsAccess(rule, other)) << std::hex << other.vendor << ':' << other.product;
    }
}

TEST(UdevRule, ReaderFollowsWhatUdevWouldDo) {
    const UdevRule::DeviceId keyboard{0x4E5B, 0x7C13};
    EXPECT_FALSE(UdevRule::GrantsAccess("# SUBSYSTEM==\"hidraw\", TAG+=\"uaccess\"\n", keyboard));
    EXPECT_FALSE(UdevRule::GrantsAccess("SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"4e5b\", TAG+=\"uaccess\"\n", keyboard));
    EXPECT_FALSE(UdevRule::GrantsAccess("SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"4e5b\", MODE=\"0666\"\n", keyboard));
    // A match this reader does not know could fail: the line does not count.
    EXPECT_FALSE(UdevRule::GrantsAccess("SUBSYSTEM==\"hidraw\", ENV{ID_SEAT}==\"seat1\", TAG+=\"uaccess\"\n", keyboard));
    EXPECT_FALSE(UdevRule::GrantsAccess("SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"4e5b\" TAG+=\"uaccess", keyboard));
    EXPECT_TRUE(UdevRule::GrantsAccess("SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"4e5b\", \\\n"
                                       "  ATTRS{idProduct}==\"7c1[0-9]\", TAG+=\"uaccess\"\n",
                                       keyboard));
    EXPECT_TRUE(UdevRule::GrantsAccess("SUBSYSTEM==\"hidraw\", KERNELS==\"0003:4E5B:7C13.*\", TAG+=\"uaccess\"\n",
                                       keyboard));
    EXPECT_TRUE(UdevRule::GrantsAccess(
        "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}!=\"046d\", ATTRS{idProduct}==\"5d02|7c13\", TAG+=\"uaccess\"\n",
        keyboard));
}
