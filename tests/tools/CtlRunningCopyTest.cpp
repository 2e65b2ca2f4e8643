#include "tools/CtlRunningCopy.h"

#include <gtest/gtest.h>

#include <mutex>
#include <sstream>

#include "device/SimBus.h"
#include "platform/MessageEndpoint.h"
#include "platform/RegisteredMessageNames.h"
#include "platform/RuntimeFolderFixture.h"
#include "tools/CtlCommandTable.h"
#include "tools/CtlRemoteProtocol.h"

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

// A stand-in for a running q208's command endpoint: answers the alive check, keeps the
// command line it is sent and answers it with the exit code and output given.
class FakeRunningCopy {
public:
    FakeRunningCopy()
        : endpoint_(ctlremote::kCtlEndpointClass, kMainWindowTitle,
                    MessageEndpoint::ReplyHandler([this](const EndpointMessage& m) {
                        if (m.dwData == ctlremote::kCtlPingData) return EndpointReply{0};
                        std::lock_guard lock(mutex_);
                        line_ = ctlremote::DecodeArguments(m.data).value_or(std::vector<std::string>{"?"});
                        return EndpointReply{code_, ctlremote::EncodeOutput(out_, err_, kDefaultMaxFrameDataBytes)};
                    })) {}
    bool Open() { return endpoint_.Open(); }
    void Answer(int code, std::string out, std::string err) {
        std::lock_guard lock(mutex_);
        code_ = code;
        out_ = std::move(out);
        err_ = std::move(err);
    }
    std::vector<std::string> Line() {
        std::lock_guard lock(mutex_);
        return line_;
    }

private:
    std::mutex mutex_;
    int code_ = 0;
    std::string out_, err_;
    std::vector<std::string> line_;
    MessageEndpoint endpoint_;
};

}  // namespace

TEST(CtlRemoteProtocol, CommandLinesAndOutputSurviveTheTrip) {
    const std::vector<std::string> line{"--device", "keyboard", "", "set-lighting", "rgb=1,2,3"};
    EXPECT_EQ(ctlremote::DecodeArguments(ctlremote::EncodeArguments(line)), line);
    EXPECT_EQ(ctlremote::DecodeArguments(std::vector<uint8_t>{}), std::vector<std::string>{});
    const std::vector<uint8_t> unterminated{'i', 'n', 'f', 'o'};
    EXPECT_FALSE(ctlremote::DecodeArguments(unterminated));

    const auto output = ctlremote::DecodeOutput(ctlremote::EncodeOutput("keys: 104\n", "> 04 1b\n", 1024));
    ASSERT_TRUE(output);
    EXPECT_EQ(output->out, "keys: 104\n");
    EXPECT_EQ(output->err, "> 04 1b\n");
    const std::vector<uint8_t> lengthBeyondTheData{0xFF, 0, 0, 0, 'x'};
    EXPECT_FALSE(ctlremote::DecodeOutput(lengthBeyondTheData));
    EXPECT_FALSE(ctlremote::DecodeOutput(std::vector<uint8_t>{1, 0}));
}

// An answer that would not fit a frame is cut, and the reason a command failed survives.
TEST(CtlRemoteProtocol, LongOutputIsCutButTheErrorKept) {
    const std::string longOut(100000, 'k');
    const auto bytes = ctlremote::EncodeOutput(longOut, "error: read key map: result 0\n", 4096);
    EXPECT_LE(bytes.size(), 4096u);
    const auto output = ctlremote::DecodeOutput(bytes);
    ASSERT_TRUE(output);
    EXPECT_EQ(output->err, "error: read key map: result 0\n");
    EXPECT_NE(output->out.find("(output cut)"), std::string::npos);
}

TEST(CtlRunningCopy, DeviceCommandsGoToTheRunningCopyWithTheirCommandLine) {
    test::PrivateRuntimeFolder runtime;
    FakeRunningCopy copy;
    ASSERT_TRUE(copy.Open());
    copy.Answer(2, "", "error: read status: result 0 (no answer)\n");
    CtlRun run = RunCtl({"--device", "mousepad", "status"});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "error: read status: result 0 (no answer)\n");
    EXPECT_EQ(copy.Line(), (std::vector<std::string>{"--device", "mousepad", "status"}));

    // Every command that works on a device goes there, the mouse's too.
    copy.Answer(0, "stage 0: 800 dpi\n", "");
    run = RunCtl({"--device", "receiver-mouse", "set-stage", "0"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "stage 0: 800 dpi\n");
    EXPECT_EQ(copy.Line().back(), "0");
}

// A device named for a command it cannot take is refused here, before anything is sent.
TEST(CtlRunningCopy, BadCommandLinesAreRefusedHere) {
    test::PrivateRuntimeFolder runtime;
    FakeRunningCopy copy;
    ASSERT_TRUE(copy.Open());
    const CtlRun run = RunCtl({"--device", "mousepad", "set-lighting", "effect=1"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(copy.Line().empty());
}

TEST(CtlRunningCopy, SimulateAndDirectStayHereAndDirectWarns) {
    test::PrivateRuntimeFolder runtime;
    FakeRunningCopy copy;
    ASSERT_TRUE(copy.Open());
    CtlRun run = RunCtl({"--simulate=keyboard", "info"});
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find("keys: "), std::string::npos);
    EXPECT_TRUE(copy.Line().empty());

    const auto machine = DefaultHidBus();
    SetDefaultHidBus(std::make_shared<SimBus>());  // an empty machine
    run = RunCtl({"--direct", "info"});
    SetDefaultHidBus(machine);
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("warning: --direct while q208 runs"), std::string::npos);
    EXPECT_TRUE(copy.Line().empty());
}

// A copy whose window answers but that takes no commands is not bypassed.
TEST(CtlRunningCopy, ACopyWithoutTheCommandEndpointIsRefused) {
    test::PrivateRuntimeFolder runtime;
    MessageEndpoint main(kMainWindowClass, kMainWindowTitle, [](const EndpointMessage&) { return int64_t{1}; });
    ASSERT_TRUE(main.Open());
    const CtlRun run = RunCtl({"status"});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("takes no device commands"), std::string::npos);
    EXPECT_NE(run.err.find("--direct"), std::string::npos);
}
