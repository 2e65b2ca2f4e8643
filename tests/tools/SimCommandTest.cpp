#include "tools/SimCommand.h"

#include <gtest/gtest.h>

#include <mutex>
#include <sstream>

#include "platform/MessageEndpoint.h"
#include "platform/RegisteredMessageNames.h"
#include "platform/RuntimeFolderFixture.h"
#include "sim/SimControl.h"
#include "sim/SimVerbs.h"
#include "tools/CtlCommandTable.h"

using namespace q208;

namespace {

struct CtlRun {
    int code;
    std::string out, err;
};

CtlRun RunCtl(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = CtlCommandTable::Standard().Run(args, out, err);
    return {code, out.str(), err.str()};
}

// A stand-in for a simulating q208's emulator endpoint: it answers every line with the
// status and text given, and keeps the line.
class FakeEmulator {
public:
    FakeEmulator()
        : endpoint_(sim::kSimEndpointClass, kMainWindowTitle,
                    MessageEndpoint::ReplyHandler([this](const EndpointMessage& m) {
                        std::lock_guard lock(mutex_);
                        line_.assign(m.data.begin(), m.data.end());
                        kind_ = m.dwData;
                        return EndpointReply{status_, std::vector<uint8_t>(text_.begin(), text_.end())};
                    })) {}
    bool Open() { return endpoint_.Open(); }
    void Answer(int status, std::string text) {
        std::lock_guard lock(mutex_);
        status_ = status;
        text_ = std::move(text);
    }
    std::string Line() {
        std::lock_guard lock(mutex_);
        return line_;
    }
    uint64_t Kind() {
        std::lock_guard lock(mutex_);
        return kind_;
    }

private:
    std::mutex mutex_;
    int status_ = 0;
    std::string text_, line_;
    uint64_t kind_ = 0;
    MessageEndpoint endpoint_;
};

}  // namespace

TEST(SimCommand, SendsTheVerbLineAndPrintsTheEmulatorsText) {
    test::PrivateRuntimeFolder runtime;
    FakeEmulator emulator;
    ASSERT_TRUE(emulator.Open());
    emulator.Answer(sim::SimVerbs::kDone, "battery 85\n");
    CtlRun run = RunCtl({"sim", "state", "keyboard", "status"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "battery 85\n");
    EXPECT_EQ(emulator.Line(), "state keyboard status");
    EXPECT_EQ(emulator.Kind(), sim::kSimVerbData);

    emulator.Answer(sim::SimVerbs::kDone, "");
    EXPECT_EQ(RunCtl({"sim", "plug", "mouse"}).out, "plug mouse: done\n");
}

TEST(SimCommand, TheEmulatorsStatusBecomesTheExitCode) {
    test::PrivateRuntimeFolder runtime;
    FakeEmulator emulator;
    ASSERT_TRUE(emulator.Open());
    emulator.Answer(sim::SimVerbs::kBadLine, "unknown area 'attic'");
    CtlRun run = RunCtl({"sim", "state", "keyboard", "attic"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("unknown area 'attic'"), std::string::npos);
    emulator.Answer(sim::SimVerbs::kRefused, "keyboard is plugged already");
    run = RunCtl({"sim", "plug", "keyboard"});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("plugged already"), std::string::npos);
}

TEST(SimCommand, ACopyWithoutTheEmulatorRefusesAndNoCopyExitsThree) {
    test::PrivateRuntimeFolder runtime;
    EXPECT_EQ(RunCtl({"sim", "plug"}).code, 1);  // a kind is missing: usage
    EXPECT_EQ(RunCtl({"sim", "plug", "keyboard"}).code, 3);
    MessageEndpoint main(kMainWindowClass, kMainWindowTitle, [](const EndpointMessage&) { return int64_t{1}; });
    ASSERT_TRUE(main.Open());
    const CtlRun run = RunCtl({"sim", "state", "keyboard"});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("does not simulate"), std::string::npos);
}
