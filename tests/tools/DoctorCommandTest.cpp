#include "tools/DoctorCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "device/FakeSysfs.h"
#include "device/TestDescriptors.h"
#include "device/UdevRule.h"
#include "platform/RuntimeFolderFixture.h"
#include "tools/CtlCommandTable.h"

using namespace q208;
using q208::test::FakeSysfs;

namespace {

struct Result {
    int code;
    std::string out, err;
};

Result Doctor(const FakeSysfs& sysfs, const std::string& rulesRoot) {
    std::ostringstream out, err;
    const int code = CtlCommandTable::Standard().Run(
        {"doctor", "--sysfs", sysfs.Root(), "--dev", sysfs.DevFolder(), "--rules-root", rulesRoot}, out, err);
    return {code, out.str(), err.str()};
}

bool Has(const Result& r, const std::string& text) { return r.out.find(text) != std::string::npos; }

// The headset: one collection on USB interface 3, so its path carries no "&col".
FakeSysfs::Node Headset(int number) {
    FakeSysfs::Node node;
    node.number = number;
    node.vendorId = 0x2A91;
    node.productId = 0x3E48;
    node.usbInterface = 3;
    node.descriptor = test::kVendorNoIds;
    return node;
}

}  // namespace

TEST(DoctorCommand, ListsOurNodesOnlyAndTellsWhatToDoUntilTheRuleIsInstalled) {
    test::PrivateRuntimeFolder runtime;
    FakeSysfs sysfs;
    const FakeSysfs::Node headset = Headset(5);
    sysfs.Add(headset);
    FakeSysfs::Node stranger = headset;
    stranger.number = 6;
    stranger.productId = 0x3E49;
    sysfs.Add(stranger);
    const std::string rules = sysfs.Root() + "/rules";

    Result r = Doctor(sysfs, rules);
    EXPECT_EQ(r.code, DoctorCommand::kExitActionNeeded);
    EXPECT_TRUE(Has(r, sysfs.DevFolder() + "/hidraw5: headset vendor interface (slot 12); this user can open it"))
        << r.out;
    EXPECT_FALSE(Has(r, "hidraw6")) << r.out;
    EXPECT_TRUE(Has(r, "gives access to 4e5b:7c13 4e5b:7c12 4e5b:7c11 4e5b:5d02 2a91:3e48")) << r.out;
    EXPECT_TRUE(Has(r, "sudo udevadm control --reload")) << r.out;
    EXPECT_TRUE(Has(r, "not running")) << r.out;

    // A same-named file in /etc hides the packaged one, as udev does.
    std::filesystem::create_directories(rules + "/usr/lib/udev/rules.d");
    std::filesystem::create_directories(rules + "/etc/udev/rules.d");
    FakeSysfs::Write(rules + "/usr/lib/udev/rules.d/" + UdevRule::kFileName, UdevRule::Text());
    FakeSysfs::Write(rules + "/etc/udev/rules.d/" + UdevRule::kFileName, "# switched off\n");
    EXPECT_EQ(Doctor(sysfs, rules).code, DoctorCommand::kExitActionNeeded);

    std::filesystem::remove(rules + "/etc/udev/rules.d/" + UdevRule::kFileName);
    r = Doctor(sysfs, rules);
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_TRUE(Has(r, "all of our devices are covered")) << r.out;
    EXPECT_TRUE(Has(r, "nothing to do")) << r.out;
}

TEST(DoctorCommand, ANodeThatCannotBeOpenedNeedsAReplug) {
    test::PrivateRuntimeFolder runtime;
    FakeSysfs sysfs;
    sysfs.Add(Headset(2));
    std::filesystem::remove(sysfs.DevFolder() + "/hidraw2");  // no node: as unopenable as one without access
    const std::string rules = sysfs.Root() + "/rules";
    std::filesystem::create_directories(rules + "/etc/udev/rules.d");
    FakeSysfs::Write(rules + "/etc/udev/rules.d/" + UdevRule::kFileName, UdevRule::Text());
    const Result r = Doctor(sysfs, rules);
    EXPECT_EQ(r.code, DoctorCommand::kExitActionNeeded);
    EXPECT_TRUE(Has(r, "this user cannot open it")) << r.out;
    EXPECT_TRUE(Has(r, "plug them in again")) << r.out;
    EXPECT_FALSE(Has(r, "install the rule")) << r.out;
}
