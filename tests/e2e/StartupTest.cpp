// The simulating program as a user or a script meets it: started, found, driven from outside.
#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

constexpr uint8_t kReadDeviceInfo = 0x03;
constexpr uint8_t kReadKeyMap = 0x07;

class Startup : public Q208E2eTest {};

TEST_F(Startup, WithoutARunningCopyTheSimVerbsExitThree) {
    const ProcessResult result = RunCtl({"sim", "plug", "mouse"});
    EXPECT_EQ(result.exitCode, 3) << Describe(result);
    EXPECT_NE(result.err.find("no running q208"), std::string::npos) << Describe(result);
}

TEST_F(Startup, AttachesToTheEmulatedKeyboardAndReadsIt) {
    ASSERT_TRUE(StartQ208());
    EXPECT_TRUE(WaitForCommandCount("keyboard", kReadDeviceInfo, 1)) << Q208Log();
    EXPECT_TRUE(WaitForCommandCount("keyboard", kReadKeyMap, 1)) << Q208Log();
    const ProcessResult info = RunCtl({"sim", "state", "keyboard", "info"});
    EXPECT_EQ(info.exitCode, 0) << Describe(info);
    EXPECT_TRUE(Contains(info, "keys 104")) << Describe(info);
}

TEST_F(Startup, BadVerbLinesExitOneWithTheReason) {
    ASSERT_TRUE(StartQ208());
    for (const std::vector<std::string>& line : std::vector<std::vector<std::string>>{
             {"sim", "state", "toaster"},
             {"sim", "state", "keyboard", "attic"},
             {"sim", "input", "keyboard", "sneeze"},
             {"sim", "fault", "keyboard", "gremlins"},
             {"sim", "set", "keyboard", "battery=101"},
         }) {
        const ProcessResult result = RunCtl(line);
        EXPECT_EQ(result.exitCode, 1) << Describe(result);
        EXPECT_TRUE(result.err.find("unknown") != std::string::npos || result.err.find("range") != std::string::npos)
            << Describe(result);
    }
    EXPECT_TRUE(Q208Running()) << Q208Log();
}

TEST_F(Startup, ACopyThatDoesNotSimulateRefusesEveryVerb) {
    ASSERT_TRUE(StartQ208WithoutSimulation());
    for (const char* verb : {"plug", "state", "input", "fault"}) {
        const ProcessResult result = RunCtl({"sim", verb, "keyboard"});
        EXPECT_EQ(result.exitCode, 2) << Describe(result);
        EXPECT_NE(result.err.find("does not simulate"), std::string::npos) << Describe(result);
    }
}

}  // namespace
}  // namespace q208::e2e
