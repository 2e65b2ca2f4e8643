#include "platform/MessageEndpoint.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <mutex>
#include <random>

#include "platform/EndpointMessaging.h"
#include "platform/Event.h"
#include "platform/LocalSocket.h"
#include "platform/RegisteredMessageNames.h"
#include "platform/TickCount.h"
#include "platform/RuntimeFolderFixture.h"

using namespace q208;
namespace fs = std::filesystem;

namespace {

// Collects what an endpoint received; the handler runs on the listener thread.
class Inbox {
public:
    MessageEndpoint::Handler Handler(int64_t answer = 0) {
        return [this, answer](const EndpointMessage& message) {
            std::lock_guard lock(mutex_);
            messages_.push_back(message);
            arrived_.Set();
            return answer;
        };
    }
    bool WaitFor(size_t count, int timeoutMs = 2000) {
        const uint64_t deadline = TickCount64() + static_cast<uint64_t>(timeoutMs);
        while (Count() < count) {
            if (TickCount64() >= deadline) return false;
            arrived_.Wait(20);
        }
        return true;
    }
    size_t Count() {
        std::lock_guard lock(mutex_);
        return messages_.size();
    }
    std::vector<EndpointMessage> Messages() {
        std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    std::mutex mutex_;
    std::vector<EndpointMessage> messages_;
    Event arrived_{Event::ResetMode::Auto};
};

EndpointAddress AddressOf(const MessageEndpoint& endpoint) {
    return EndpointAddress{endpoint.Path(), endpoint.ClassName(), endpoint.Title()};
}

// A socket file whose listener is gone, as a crashed copy leaves it.
void MakeStaleSocket(const fs::path& path) {
    LocalSocket socket(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(socket.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_TRUE(fs::exists(path));
}

void WriteRaw(const fs::path& path, const std::vector<uint8_t>& bytes) {
    LocalSocket socket;
    ASSERT_EQ(socket.Connect(path, 500), LocalSocket::ConnectResult::Connected);
    socket.WriteAll(bytes, TickCount64() + 500);
    socket.ReadFrame(0, TickCount64() + 500);  // wait until the endpoint answered or closed
}

class MessageEndpointTest : public testing::Test {
protected:
    test::PrivateRuntimeFolder runtime;
};

}  // namespace

TEST_F(MessageEndpointTest, MessagesAndDataBlocksTravelBothWaysWithTheHandlersResult) {
    Inbox inboxA, inboxB;
    MessageEndpoint a(kMainWindowClass, kMainWindowTitle, inboxA.Handler(7));
    MessageEndpoint b("AudioRecordWnd", "Recorder", inboxB.Handler(-9));
    ASSERT_TRUE(a.Open());
    ASSERT_TRUE(b.Open());
    EXPECT_EQ(a.Path().parent_path(), runtime.Folder());

    const SendResult toA = SendMessageTo(AddressOf(a), kCompanionMessageNames[2], 1, 0x1'0000'0001ll);
    EXPECT_EQ(toA.status, SendStatus::Delivered);
    EXPECT_EQ(toA.result, 7);

    std::vector<uint8_t> level(2000);
    for (size_t i = 0; i < level.size(); ++i) level[i] = static_cast<uint8_t>(i);
    const SendResult toB = SendCopyData(AddressOf(b), 0xABCD, 1, level);
    EXPECT_EQ(toB.status, SendStatus::Delivered);
    EXPECT_EQ(toB.result, -9);

    const auto gotA = inboxA.Messages();
    ASSERT_EQ(gotA.size(), 1u);
    EXPECT_FALSE(gotA[0].isCopyData);
    EXPECT_EQ(gotA[0].name, kCompanionMessageNames[2]);
    EXPECT_EQ(gotA[0].wParam, 1u);
    EXPECT_EQ(gotA[0].lParam, 0x1'0000'0001ll);
    const auto gotB = inboxB.Messages();
    ASSERT_EQ(gotB.size(), 1u);
    EXPECT_TRUE(gotB[0].isCopyData);
    EXPECT_EQ(gotB[0].wParam, 0xABCDu);
    EXPECT_EQ(gotB[0].dwData, 1u);
    EXPECT_EQ(gotB[0].data, level);

    // Once closed, the file is gone and a sender learns that nobody listens.
    const EndpointAddress gone = AddressOf(a);
    a.Close();
    EXPECT_FALSE(fs::exists(gone.path));
    EXPECT_EQ(SendMessageTo(gone, "x", 0, 0).status, SendStatus::NoListener);
}

TEST_F(MessageEndpointTest, AnotherProcessReachesTheEndpoint) {
    Inbox inbox;
    MessageEndpoint endpoint(kMainWindowClass, kMainWindowTitle, inbox.Handler(5));
    ASSERT_TRUE(endpoint.Open());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // No threads are started here: the child only connects and writes.
        const auto found = FindWindow(kMainWindowClass, kMainWindowTitle);
        const SendResult sent = found ? SendMessageTo(*found, kProductMessageName, 0, 1) : SendResult{};
        _exit(sent.Delivered() && sent.result == 5 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_EQ(inbox.Count(), 1u);
    EXPECT_EQ(inbox.Messages()[0].name, kProductMessageName);
    EXPECT_EQ(inbox.Messages()[0].lParam, 1);
}

TEST_F(MessageEndpointTest, BroadcastReachesEveryLiveEndpointAndSkipsStaleFiles) {
    Inbox one, two, three;
    MessageEndpoint a(kMainWindowClass, kMainWindowTitle, one.Handler());
    MessageEndpoint b("OtherWnd", "Other", two.Handler());
    MessageEndpoint c("OtherWnd", "Other", three.Handler());  // same name: a second instance file
    ASSERT_TRUE(a.Open() && b.Open() && c.Open());
    EXPECT_NE(b.Path(), c.Path());
    MakeStaleSocket(runtime.Folder() / "Crashed.Wnd.0000000000000000.sock");
    std::ofstream(runtime.Folder() / "notes.txt") << "not a socket";

    EXPECT_EQ(BroadcastMessage(kCompanionMessageNames[1], 1, 1), 3);
    for (Inbox* inbox : {&one, &two, &three}) {
        ASSERT_TRUE(inbox->WaitFor(1));
        EXPECT_EQ(inbox->Messages()[0].name, kCompanionMessageNames[1]);
        EXPECT_EQ(inbox->Messages()[0].lParam, 1);
    }
    EXPECT_EQ(ListEndpoints().size(), 3u);
}

TEST_F(MessageEndpointTest, FindWindowMatchesClassAndTitleExactly) {
    Inbox inbox;
    MessageEndpoint main(kMainWindowClass, kMainWindowTitle, inbox.Handler());
    MessageEndpoint longer(kMainWindowClass, std::string(kMainWindowTitle) + "!", inbox.Handler());
    MessageEndpoint other("SetWnd", kMainWindowTitle, inbox.Handler());
    MessageEndpoint tool("ToolClass", "WorkTool", inbox.Handler());
    ASSERT_TRUE(main.Open() && longer.Open() && other.Open() && tool.Open());

    const auto found = FindWindow(kMainWindowClass, kMainWindowTitle);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, main.Path());
    EXPECT_EQ(found->title, kMainWindowTitle);
    EXPECT_EQ(FindWindow("", "WorkTool")->path, tool.Path());  // any class
    EXPECT_EQ(FindWindow("SetWnd", "")->path, other.Path());    // any title
    EXPECT_FALSE(FindWindow("mainwnd", kMainWindowTitle));
    EXPECT_FALSE(FindWindow(kMainWindowClass, "Tulmaro"));
    EXPECT_EQ(inbox.Count(), 0u);  // identifying a window does not bother its handler
}

TEST_F(MessageEndpointTest, SocketNamesFitTheKernelLimitAndKeepLongNamesApart) {
    const std::string longTitle(300, 'T');
    const fs::path first = MessageEndpoint::SocketPath(runtime.Folder(), "C", longTitle, 0);
    const fs::path second = MessageEndpoint::SocketPath(runtime.Folder(), "C", longTitle + "U", 0);
    EXPECT_LE(first.string().size(), LocalSocket::kMaxPathBytes);
    EXPECT_NE(first, second);
    EXPECT_EQ(first.extension(), ".sock");
    const std::string name = MessageEndpoint::SocketPath(runtime.Folder(), "MainWnd", "A b&c/d", 0).filename();
    EXPECT_EQ(name.substr(0, 14), "MainWnd.A_b_c_");
    EXPECT_TRUE(MessageEndpoint::SocketPath(fs::path("/") / std::string(100, 'f'), "C", "T", 0).empty());

    Inbox inbox;
    MessageEndpoint endpoint("C", longTitle, inbox.Handler());
    ASSERT_TRUE(endpoint.Open());
    EXPECT_EQ(FindWindow("C", longTitle)->path, endpoint.Path());
}

TEST_F(MessageEndpointTest, StaleFileOfACrashedCopyIsReplaced) {
    const fs::path path = MessageEndpoint::SocketPath(runtime.Folder(), kMainWindowClass, kMainWindowTitle, 0);
    MakeStaleSocket(path);
    Inbox inbox;
    MessageEndpoint endpoint(kMainWindowClass, kMainWindowTitle, inbox.Handler(1));
    ASSERT_TRUE(endpoint.Open());
    EXPECT_EQ(endpoint.Path(), path);
    EXPECT_TRUE(SendMessageTo(AddressOf(endpoint), "x", 0, 0).Delivered());
}

TEST_F(MessageEndpointTest, BadFramesAreRefusedAndTheListenerGoesOn) {
    Inbox inbox;
    MessageEndpoint::Options options;
    options.maxDataBytes = 1024;
    MessageEndpoint endpoint("W", "T", inbox.Handler(3), options);
    ASSERT_TRUE(endpoint.Open());
    const EndpointAddress address = AddressOf(endpoint);

    std::vector<uint8_t> block(1025, 0x55);
    EXPECT_EQ(SendCopyData(address, 0, 1, block).status, SendStatus::Refused);
    block.resize(1024);
    EXPECT_EQ(SendCopyData(address, 0, 1, block).status, SendStatus::Delivered);
    std::vector<uint8_t> huge(1 << 20, 0x77);  // the endpoint stops reading long before the end
    EXPECT_EQ(SendCopyData(address, 0, 1, huge).status, SendStatus::Refused);

    MessageFrame reply;
    reply.kind = FrameKind::Reply;
    WriteRaw(address.path, EncodeFrame(reply));  // a kind only endpoints send
    std::mt19937 random(8);
    MessageFrame message;
    message.name = "Game_Kill";
    const std::vector<uint8_t> valid = EncodeFrame(message);
    for (int round = 0; round < 40; ++round) {
        std::vector<uint8_t> bytes = valid;
        if (round % 2) {
            bytes.resize(random() % 200);
            for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
        } else {
            bytes[random() % 12] ^= static_cast<uint8_t>(1 + random() % 255);  // damage the header
        }
        WriteRaw(address.path, bytes);
    }
    const SendResult after = SendMessageTo(address, "Game_End", 2, 3);
    EXPECT_EQ(after.status, SendStatus::Delivered);
    EXPECT_EQ(after.result, 3);
    const auto messages = inbox.Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages.back().name, "Game_End");
    for (const EndpointMessage& m : messages) EXPECT_TRUE(m.name.empty() || m.name == "Game_End") << m.name;
}

TEST_F(MessageEndpointTest, AHalfWrittenFrameDoesNotHoldUpOtherSenders) {
    Inbox inbox;
    MessageEndpoint::Options options;
    options.receiveTimeoutMs = 10'000;
    MessageEndpoint endpoint("W", "T", inbox.Handler(1), options);
    ASSERT_TRUE(endpoint.Open());
    MessageFrame message;
    message.name = "Game_Start";
    std::vector<uint8_t> half = EncodeFrame(message);
    half.resize(half.size() / 2);
    LocalSocket slow;
    ASSERT_EQ(slow.Connect(endpoint.Path(), 500), LocalSocket::ConnectResult::Connected);
    ASSERT_TRUE(slow.WriteAll(half, TickCount64() + 500));

    const uint64_t start = TickCount64();
    EXPECT_TRUE(SendMessageTo(AddressOf(endpoint), "Game_Death", 0, 0, 1000).Delivered());
    EXPECT_LT(TickCount64() - start, 1000u);
}

TEST_F(MessageEndpointTest, SenderGivesUpWhenTheReceiverNeverAnswers) {
    // A socket that listens but never accepts, as a hung program would.
    const fs::path path = runtime.Folder() / "Hung.Wnd.sock";
    LocalSocket hung(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(hung.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(hung.Fd(), 4), 0);

    uint64_t start = TickCount64();
    EXPECT_EQ(SendMessageTo(EndpointAddress{path, {}, {}}, "x", 0, 0, 150).status, SendStatus::TimedOut);
    EXPECT_GE(TickCount64() - start, 140u);
    EXPECT_LT(TickCount64() - start, 1000u);

    // A handler that is still busy when the time-out passes.
    Event release;
    MessageEndpoint busy("Busy", "Busy", [&release](const EndpointMessage&) {
        release.Wait(5000);
        return int64_t{0};
    });
    ASSERT_TRUE(busy.Open());
    start = TickCount64();
    EXPECT_EQ(SendMessageTo(AddressOf(busy), "x", 0, 0, 150).status, SendStatus::TimedOut);
    EXPECT_LT(TickCount64() - start, 1000u);
    // Finding windows skips the hung socket within its own bounded wait, and a busy window
    // is still found by its exact name rather than taken for one that does not run.
    EXPECT_FALSE(FindWindow("", "Nobody"));
    const auto stillThere = FindWindow("Busy", "Busy");
    ASSERT_TRUE(stillThere);
    EXPECT_EQ(stillThere->path, busy.Path());
    release.Set();
}

TEST_F(MessageEndpointTest, AReplyHandlerAnswersWithDataWithinTheBound) {
    MessageEndpoint::Options options;
    options.maxDataBytes = 1024;
    MessageEndpoint text(
        "Q208Sim", "Emulator",
        MessageEndpoint::ReplyHandler([](const EndpointMessage& m) {
            const size_t size = m.data.empty() ? 0 : m.data[0] * size_t{16};
            return EndpointReply{static_cast<int64_t>(size), std::vector<uint8_t>(size, 'x')};
        }),
        options);
    ASSERT_TRUE(text.Open());
    const std::vector<uint8_t> small{4};
    const SendResult answered = SendCopyData(AddressOf(text), 1, 2, small);
    EXPECT_EQ(answered.status, SendStatus::Delivered);
    EXPECT_EQ(answered.result, 64);
    EXPECT_EQ(answered.data, std::vector<uint8_t>(64, 'x'));
    // A reply over the endpoint's bound is never sent: the sender is refused.
    const std::vector<uint8_t> large{65};
    EXPECT_EQ(SendCopyData(AddressOf(text), 1, 2, large).status, SendStatus::Refused);
    EXPECT_EQ(SendCopyData(AddressOf(text), 1, 2, small).status, SendStatus::Delivered);
}

TEST_F(MessageEndpointTest, IdleConnectionsNeverLockOutASender) {
    Inbox inbox;
    MessageEndpoint::Options options;
    options.receiveTimeoutMs = 60'000;  // the idle ones would stay for the whole test
    MessageEndpoint endpoint("W", "T", inbox.Handler(5), options);
    ASSERT_TRUE(endpoint.Open());
    std::vector<LocalSocket> idle(200);
    for (LocalSocket& socket : idle) {
        ASSERT_EQ(socket.Connect(endpoint.Path(), 500), LocalSocket::ConnectResult::Connected);
    }
    // Each new sender still gets through, and so does a name lookup.
    for (int i = 0; i < 3; ++i) {
        const SendResult sent = SendMessageTo(AddressOf(endpoint), "Game_Start", 0, i, 1000);
        ASSERT_TRUE(sent.Delivered()) << SendStatusText(sent.status);
        EXPECT_EQ(sent.result, 5);
    }
    const auto found = FindWindow("W", "T");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->path, endpoint.Path());
}

TEST_F(MessageEndpointTest, BroadcastDoesNotWaitForASocketThatNeverAccepts) {
    Inbox inbox;
    MessageEndpoint live(kMainWindowClass, kMainWindowTitle, inbox.Handler());
    ASSERT_TRUE(live.Open());
    // Foreign listeners with a zero backlog that is already full: a connect would block.
    std::vector<LocalSocket> foreign, fillers;
    for (int i = 0; i < 5; ++i) {
        const fs::path path = runtime.Folder() / ("Foreign.Wnd." + std::to_string(i) + ".sock");
        LocalSocket& socket = foreign.emplace_back(::socket(AF_UNIX, SOCK_STREAM, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path.c_str());
        ASSERT_EQ(::bind(socket.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(socket.Fd(), 0), 0);
        for (;;) {
            LocalSocket filler;
            if (filler.Connect(path, 0) != LocalSocket::ConnectResult::Connected) break;
            fillers.push_back(std::move(filler));
        }
    }
    const uint64_t start = TickCount64();
    EXPECT_EQ(BroadcastMessage(kCompanionMessageNames[1], 1, 1), 1);
    EXPECT_LT(TickCount64() - start, 1000u);  // each full socket would cost a 2 s connect wait
    EXPECT_TRUE(inbox.WaitFor(1));
}

TEST_F(MessageEndpointTest, TheSocketIsForItsOwnerOnly) {
    MessageEndpoint endpoint("W", "T", MessageEndpoint::Handler{});
    ASSERT_TRUE(endpoint.Open());
    struct stat st {};
    ASSERT_EQ(::lstat(endpoint.Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
