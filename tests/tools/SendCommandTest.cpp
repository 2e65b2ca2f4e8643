#include "tools/SendCommand.h"

#include <gtest/gtest.h>

#include <mutex>
#include <sstream>

#include "platform/MessageEndpoint.h"
#include "platform/RegisteredMessageNames.h"
#include "platform/RuntimeFolderFixture.h"
#include "tools/CtlCommandTable.h"

using namespace q208;

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

TEST(SendCommand, DeliversToTheRunningMainWindowAndReportsItsResult) {
    test::PrivateRuntimeFolder runtime;
    std::mutex mutex;
    std::vector<EndpointMessage> received;
    MessageEndpoint main(kMainWindowClass, kMainWindowTitle, [&](const EndpointMessage& m) {
        std::lock_guard lock(mutex);
        received.push_back(m);
        return kEndpointMessageQueued;
    });
    // A window of another class with the same title must not take the message.
    MessageEndpoint decoy("SetWnd", kMainWindowTitle, [](const EndpointMessage&) { return int64_t{0}; });
    ASSERT_TRUE(main.Open() && decoy.Open());

    const Result r = RunCtl({"send", "Game_Start", "0x10", "18446744073709551615"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Game_Start: delivered\n");
    EXPECT_EQ(RunCtl({"send", kCompanionMessageNames[3]}).code, 0);

    std::lock_guard lock(mutex);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].name, "Game_Start");
    EXPECT_EQ(received[0].wParam, 0x10u);
    EXPECT_EQ(received[0].lParam, -1);
    EXPECT_EQ(received[1].name, kCompanionMessageNames[3]);
    EXPECT_EQ(received[1].wParam, 0u);
    EXPECT_EQ(received[1].lParam, 0);
}

TEST(SendCommand, AMessageTheProgramDoesNotTakeIsNotReportedAsDelivered) {
    test::PrivateRuntimeFolder runtime;
    MessageEndpoint main(kMainWindowClass, kMainWindowTitle,
                         [](const EndpointMessage&) { return kEndpointMessageNotTaken; });
    ASSERT_TRUE(main.Open());
    const Result r = RunCtl({"send", "NoSuchMessage"});
    EXPECT_EQ(r.code, SendCommand::kExitNotTaken);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("did not take 'NoSuchMessage'"), std::string::npos) << r.err;
}

TEST(SendCommand, ExitsThreeWhenNoCopyRunsAndOneOnBadArguments) {
    test::PrivateRuntimeFolder runtime;
    const Result none = RunCtl({"send", "Game_End"});
    EXPECT_EQ(none.code, SendCommand::kExitNotRunning);
    EXPECT_NE(none.err.find("no running q208 found"), std::string::npos);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"send"},
             {"send", "Game_End", "12x"},
             {"send", "Game_End", "0x"},
             {"send", "Game_End", "18446744073709551616"},
             {"send", "Game_End", "1", "2", "3"},
             {"send", std::string(256, 'n')}}) {
        EXPECT_EQ(RunCtl(bad).code, 1) << bad.back();
    }
}
