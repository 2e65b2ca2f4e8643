// The simulating program as a user or a script meets it: started, found, driven from outside.
#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

class Startup : public Q208E2eTest {};

TEST_F(Startup, WithoutARunningCopyTheSimVerbsExitThree) {
    const ProcessResult result = RunCtl({"sim", "plug", "mouse"});
    EXPECT_EQ(result.exitCode, 3) << Describe(result);
    EXPECT_NE(result.err.find("no running q208"), std::string::npos) << Describe(result);
}

TEST_F(Startup, StartsAndTakesThePlugVerbsFromOutside) {
    ASSERT_TRUE(StartQ208());
    ProcessResult result = RunCtl({"sim", "unplug", "keyboard"});
    EXPECT_EQ(result.exitCode, 0) << Describe(result);
    result = RunCtl({"sim", "plug", "keyboard"});
    EXPECT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Q208Running()) << Q208Log();
}

}  // namespace
}  // namespace q208::e2e
