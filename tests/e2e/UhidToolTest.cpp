// q208-uhid as q208ctl meets it: the emulator's endpoint served by the bridge. The kernel
// side runs in the VM check (scripts/vm-test); here the uhid node does not exist, so the
// bridge refuses every device it would have to make, with the reason.

#include <gtest/gtest.h>

#include "e2e/ChildProcess.h"
#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

class UhidToolTest : public Q208E2eTest {
protected:
    bool StartBridge() {
        if (!bridge_.Start(Q208UHID_EXE, {"--devices", "", "--uhid", (RuntimeFolder() / "no-uhid").string()},
                           Environment(), DataFolder() / "uhid.log")) {
            return false;
        }
        return WaitUntil({"sim", "state", "keyboard", "status"}, [](const ProcessResult& r) { return r.exitCode == 0; });
    }

    ChildProcess bridge_;
};

TEST_F(UhidToolTest, SimVerbsReachTheBridgeAndAPlugWithoutTheKernelIsRefusedWithTheReason) {
    ASSERT_TRUE(StartBridge());

    const ProcessResult plug = RunCtl({"sim", "plug", "keyboard"});
    EXPECT_EQ(plug.exitCode, 2) << Describe(plug);
    EXPECT_NE(plug.err.find("no-uhid"), std::string::npos) << Describe(plug);
    EXPECT_NE(plug.err.find("keyboard left unplugged"), std::string::npos) << Describe(plug);
    // The emulator does not keep a device the kernel never showed.
    const ProcessResult again = RunCtl({"sim", "unplug", "keyboard"});
    EXPECT_EQ(again.exitCode, 2) << Describe(again);

    const ProcessResult armed = RunCtl({"sim", "after", "2", "repeat", "3", "input", "keyboard", "resync"});
    EXPECT_EQ(armed.exitCode, 0) << Describe(armed);
    const ProcessResult badCount = RunCtl({"sim", "repeat", "0", "plug", "mouse"});
    EXPECT_EQ(badCount.exitCode, 1) << Describe(badCount);
    EXPECT_NE(badCount.err.find("count"), std::string::npos) << Describe(badCount);

    EXPECT_EQ(bridge_.Stop(), 0) << "SIGTERM ends the bridge normally";
}

TEST_F(UhidToolTest, AnUnknownDeviceListOrArgumentExitsOneWithUsage) {
    const ProcessResult list = ChildProcess::Run(Q208UHID_EXE, {"--devices", "toaster"}, Environment(), kCtlTimeoutMs);
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_NE(list.err.find("toaster"), std::string::npos) << list.err;
    const ProcessResult arg = ChildProcess::Run(Q208UHID_EXE, {"--frobnicate"}, Environment(), kCtlTimeoutMs);
    EXPECT_EQ(arg.exitCode, 1);
    EXPECT_NE(arg.err.find("usage: q208-uhid"), std::string::npos) << arg.err;
}

}  // namespace
}  // namespace q208::e2e
