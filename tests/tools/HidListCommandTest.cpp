#include "tools/HidListCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "device/FakeSysfs.h"
#include "device/TestDescriptors.h"
#include "tools/CtlCommandTable.h"

using namespace q208;
using q208::test::FakeSysfs;

namespace {

struct Result {
    int code = 0;
    std::string out, err;
};

Result RunCtl(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = CtlCommandTable::Standard().Run(args, out, err);
    return Result{code, out.str(), err.str()};
}

}  // namespace

TEST(HidListCommand, PrintsOneExactLinePerCollectionInEnumerationOrder) {
    FakeSysfs sysfs;
    FakeSysfs::Node keyboard;
    keyboard.number = 3;
    keyboard.usbInterface = 1;
    keyboard.descriptor = test::kConsumerAndVendor;
    sysfs.Add(keyboard);
    FakeSysfs::Node boot;
    boot.number = 1;
    boot.usbInterface = 0;
    boot.productId = 0x7C12;
    boot.descriptor = test::kBootKeyboard;
    sysfs.Add(boot);

    const Result r = RunCtl({"hid-list", "--sysfs", sysfs.Root()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "/dev/hidraw1#vid_4e5b&pid_7c12&mi_00 usage_page=0x0001 usage=0x0006 in=9 out=2 feature=0\n"
              "/dev/hidraw3#vid_4e5b&pid_7c13&mi_01&col01 usage_page=0x000c usage=0x0001 in=3 out=0 feature=0\n"
              "/dev/hidraw3#vid_4e5b&pid_7c13&mi_01&col02 usage_page=0xff1c usage=0x0092 in=64 out=64 feature=0\n");
    EXPECT_EQ(r.err, "");
}

TEST(HidListCommand, UnreadableFolderExitsOneWithAMessage) {
    const Result r = RunCtl({"hid-list", "--sysfs", "/nonexistent-q208"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("/nonexistent-q208/class/hidraw"), std::string::npos);
}

TEST(HidListCommand, SimulatedBusListsTheEmulatedSetAndRestoresTheDefaultBus) {
    const std::shared_ptr<IHidBus> before = DefaultHidBus();
    const Result r = RunCtl({"--simulate=keyboard,headset", "hid-list"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("#vid_4e5b&pid_7c13&mi_01&col04 usage_page=0xff1c usage=0x0092 in=64 out=64 feature=0\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("#vid_4e5b&pid_7c13&mi_01&col03 usage_page=0x000c usage=0x0001"), std::string::npos);
    EXPECT_NE(r.out.find("#vid_2a91&pid_3e48&mi_03 usage_page=0x000c usage=0x0001"), std::string::npos);
    EXPECT_EQ(r.out.find("pid_7c12"), std::string::npos);  // no receiver in this list
    EXPECT_EQ(DefaultHidBus(), before);
    EXPECT_EQ(RunCtl({"--simulate=toaster", "hid-list"}).code, 1);
}

TEST(HidListCommand, AMachineWithoutHidDevicesSaysSo) {
    FakeSysfs sysfs;
    const Result r = RunCtl({"hid-list", "--sysfs", sysfs.Root()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "no HID devices in " + sysfs.Root() + "/class/hidraw\n");
}

// The reason stays the last thing on the screen: one line, then where the usage is.
TEST(CtlCommandTable, BadCommandLinesGiveTheReasonAndAPointerToHelp) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"nope"}, {"hid-list", "--bogus"}, {"hid-list", "--sysfs"},
                                               {"hid-list", "--slot", "x"}, {"send"}, {"sim", "plug"}}) {
        const Result r = RunCtl(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err.rfind("q208ctl", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
        EXPECT_NE(r.err.find(CtlCommandTable::kHelpPointer), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("usage: q208ctl"), std::string::npos) << r.err;
    }
    const Result none = RunCtl({});
    EXPECT_EQ(none.code, 1);
    EXPECT_NE(none.err.find("usage: q208ctl"), std::string::npos);
    const Result help = RunCtl({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("usage: q208ctl"), std::string::npos);
}

TEST(CtlCommandTable, CommonOptionsReachTheHandler) {
    CtlCommandTable table;
    CtlOptions seen;
    table.Add({"probe", "", "test", {"--level"}, [&](const CtlOptions& o, std::ostream&, std::ostream&) {
                   seen = o;
                   return 7;
               }});
    std::ostringstream out, err;
    EXPECT_EQ(table.Run({"probe", "--simulate=kb,mouse", "--device", "mouse", "--slot", "2", "--level", "3", "extra"},
                        out, err),
              7);
    EXPECT_TRUE(seen.simulate);
    EXPECT_EQ(seen.simulateList, "kb,mouse");
    EXPECT_EQ(seen.device, "mouse");
    EXPECT_EQ(seen.slot, 2);
    EXPECT_EQ(seen.Value("--level"), "3");
    EXPECT_EQ(seen.arguments, std::vector<std::string>{"extra"});
}
