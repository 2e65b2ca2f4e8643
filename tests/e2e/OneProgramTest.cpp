// One program at a time on a device: while q208 runs, q208ctl's device commands are run by
// it, on its channels; a copy that does not answer is not bypassed.
#include <signal.h>

#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

class OneProgramTest : public Q208E2eTest {};

// The running copy answers as the devices themselves would: the same text as q208ctl's own
// emulated devices give directly. Without q208 the machine (no devices here) has nothing.
TEST_F(OneProgramTest, DeviceCommandsThroughTheRunningCopyGiveTheSameOutputAsDirectly) {
    ASSERT_TRUE(StartQ208Simulating("keyboard,receiver"));
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"info"}, {"--device", "receiver-keyboard", "ledmap"}, {"lighting"},
          {"--device", "receiver-mouse", "link"}}) {
        std::vector<std::string> direct{"--simulate=keyboard,receiver"};
        direct.insert(direct.end(), command.begin(), command.end());
        const ProcessResult own = RunCtl(direct);
        const ProcessResult through = RunCtl(command);
        ASSERT_EQ(own.exitCode, 0) << Describe(own);
        EXPECT_EQ(through.exitCode, 0) << Describe(through);
        EXPECT_EQ(through.out, own.out) << command.back();
    }
}

// Commands that change the device are carried out by the running copy on its device, and
// the copy's emulator saw the command's reports.
TEST_F(OneProgramTest, ChangesGoThroughTheRunningCopyWithTheirTrace) {
    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    const int before = CommandCount("keyboard", 0x03);
    const ProcessResult traced = RunCtl({"--trace", "info"});
    ASSERT_EQ(traced.exitCode, 0) << Describe(traced);
    EXPECT_NE(traced.err.find("> 04 "), std::string::npos) << Describe(traced);
    EXPECT_NE(traced.err.find("< 04 "), std::string::npos) << Describe(traced);
    EXPECT_GT(CommandCount("keyboard", 0x03), before);

    const ProcessResult set = RunCtl({"set-lighting", "brightness=2"});
    ASSERT_EQ(set.exitCode, 0) << Describe(set);
    const ProcessResult shown = RunCtl({"lighting"});
    EXPECT_NE(shown.out.find("brightness 2"), std::string::npos) << Describe(shown);
}

TEST_F(OneProgramTest, DirectWarnsAndOpensTheMachinesDevices) {
    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    const ProcessResult direct = RunCtl({"--direct", "info"});
    EXPECT_NE(direct.err.find("warning: --direct while q208 runs"), std::string::npos) << Describe(direct);
    // The machine has no keyboard of ours; the emulated one of q208 is not reached.
    EXPECT_EQ(direct.out.find("keys: "), std::string::npos) << Describe(direct);
}

// A stopped copy keeps its endpoint but answers nothing: the command is refused, not sent
// beside it; once it runs again the command goes through.
TEST_F(OneProgramTest, ACopyThatDoesNotAnswerIsRefused) {
    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    const ProcessResult answered = RunCtl({"status"});
    ASSERT_EQ(answered.exitCode, 0) << Describe(answered);
    ASSERT_EQ(::kill(Q208Pid(), SIGSTOP), 0);
    const ProcessResult refused = RunCtl({"info"}, 20000);
    ::kill(Q208Pid(), SIGCONT);
    EXPECT_EQ(refused.exitCode, 2) << Describe(refused);
    EXPECT_NE(refused.err.find("q208 is running but does not answer"), std::string::npos) << Describe(refused);
    EXPECT_NE(refused.err.find("--direct"), std::string::npos);
    EXPECT_EQ(refused.out, "");
    const ProcessResult again = RunCtl({"info"});
    EXPECT_EQ(again.exitCode, 0) << Describe(again);
}

}  // namespace
}  // namespace q208::e2e
