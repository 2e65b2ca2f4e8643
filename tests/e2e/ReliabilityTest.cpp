// The running program against hostile neighbours: idle connections on its sockets, and
// requests it refuses, which must be reported as refused.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

namespace fs = std::filesystem;

class ReliabilityTest : public Q208E2eTest {};

TEST_F(ReliabilityTest, TwoHundredIdleConnectionsDoNotSilenceTheProgram) {
    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    std::vector<int> idle;
    for (const auto& entry : fs::directory_iterator(RuntimeFolder() / "q208")) {
        if (entry.path().extension() != ".sock") continue;
        for (int i = 0; i < 200; ++i) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, entry.path().c_str(), sizeof address.sun_path - 1);
            ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
            idle.push_back(fd);
        }
    }
    ASSERT_GE(idle.size(), 400u);
    // A name the program does not take: found, and refused as such (not "no running q208").
    ProcessResult sent = RunCtl({"send", "NoSuchMessage", "1"});
    EXPECT_NE(sent.exitCode, 0) << Describe(sent);
    EXPECT_NE(sent.exitCode, 3) << Describe(sent);
    EXPECT_NE(sent.err.find("did not take"), std::string::npos) << Describe(sent);
    // The handler's own answer comes back: the second unplug is refused.
    ProcessResult first = RunCtl({"sim", "unplug", "keyboard"});
    EXPECT_EQ(first.exitCode, 0) << Describe(first);
    ProcessResult second = RunCtl({"sim", "unplug", "keyboard"});
    EXPECT_EQ(second.exitCode, 2) << Describe(second);
    EXPECT_NE(second.err.find("not plugged"), std::string::npos) << Describe(second);
    for (int fd : idle) ::close(fd);
    EXPECT_TRUE(Q208Running()) << Q208Log();
}

}  // namespace
}  // namespace q208::e2e
