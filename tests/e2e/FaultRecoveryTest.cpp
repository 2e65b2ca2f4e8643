// Every fault the emulator injects leaves the program running and the device usable.
#include <cctype>
#include <ostream>
#include <string_view>

#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

constexpr uint8_t kReadDeviceInfo = 0x03;

struct FaultCase {
    const char* devices;  // --simulate=LIST
    const char* kind;
    const char* cable;    // what to re-plug so the program reads the device again
    const char* fault;    // as `sim fault` takes it
    const char* name;     // as `sim state KIND faults` lists it
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.kind << ' ' << c.fault; }

class FaultRecovery : public Q208E2eTest, public ::testing::WithParamInterface<FaultCase> {};

// The program must run into the fault (its count is used up) and, after it, read the
// re-plugged device in full again.
TEST_P(FaultRecovery, TheProgramSurvivesAndTheDeviceStaysUsable) {
    const FaultCase& c = GetParam();
    ASSERT_TRUE(StartQ208Simulating(c.devices));
    ASSERT_TRUE(WaitForCommandCount(c.kind, kReadDeviceInfo, 1)) << Q208Log();

    ProcessResult result = RunCtl({"sim", "fault", c.kind, c.fault, "1"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    // The unplug fault may already have taken the device away: a second unplug is refused.
    const int unplugged = RunCtl({"sim", "unplug", c.cable}).exitCode;
    ASSERT_TRUE(unplugged == 0 || (unplugged == 2 && std::string_view(c.fault) == "unplug")) << unplugged;
    ASSERT_EQ(RunCtl({"sim", "plug", c.cable}).exitCode, 0);
    const std::string usedUp = std::string("\n") + c.name + " 0\n";
    result = WaitForOutput({"sim", "state", c.kind, "faults"}, usedUp.substr(1));
    EXPECT_NE(("\n" + result.out).find(usedUp), std::string::npos) << Describe(result) << Q208Log();
    ASSERT_TRUE(Q208Running()) << Q208Log();

    // The unplug fault takes the device away; plug it back whatever happened.
    RunCtl({"sim", "unplug", c.cable});
    ASSERT_EQ(RunCtl({"sim", "plug", c.cable}).exitCode, 0);
    EXPECT_TRUE(WaitForCommandCount(c.kind, kReadDeviceInfo, 1)) << Q208Log();
    EXPECT_TRUE(Q208Running()) << Q208Log();
}

INSTANTIATE_TEST_SUITE_P(
    EveryFault, FaultRecovery,
    ::testing::Values(FaultCase{"keyboard", "keyboard", "keyboard", "stale=2", "stale"},
                      FaultCase{"keyboard", "keyboard", "keyboard", "no-answer", "no-answer"},
                      FaultCase{"keyboard", "keyboard", "keyboard", "status-ff", "status-ff"},
                      FaultCase{"keyboard", "keyboard", "keyboard", "status-fe", "status-fe"},
                      FaultCase{"keyboard", "keyboard", "keyboard", "unreachable", "unreachable"},
                      FaultCase{"keyboard", "keyboard", "keyboard", "slow=300", "slow"},
                      FaultCase{"keyboard", "keyboard", "keyboard", "unplug", "unplug"},
                      FaultCase{"receiver", "receiver-keyboard", "receiver", "no-answer", "no-answer"},
                      FaultCase{"receiver", "receiver-keyboard", "receiver", "link-loss", "link-loss"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) {
        std::string name = std::string(info.param.kind) + "_" + info.param.name;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

}  // namespace
}  // namespace q208::e2e
