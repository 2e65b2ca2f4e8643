#include "tools/SimCommand.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sstream>

#include "platform/MessageEndpoint.h"
#include "platform/RegisteredMessageNames.h"
#include "platform/RuntimeFolderFixture.h"
#include "sim/SimControl.h"
#include "sim/SimDeviceKind.h"
#include "tools/CtlCommandTable.h"

using namespace q208;

namespace {

int RunCtl(const std::vector<std::string>& args, std::string* err = nullptr) {
    std::ostringstream out, errors;
    const int code = CtlCommandTable::Standard().Run(args, out, errors);
    if (err) *err = errors.str();
    return code;
}

}  // namespace

TEST(SimCommand, SendsTheActionAndKindAndReportsARefusal) {
    test::PrivateRuntimeFolder runtime;
    std::atomic<int64_t> answer{1};
    std::atomic<uint64_t> action{99};
    std::atomic<int64_t> kind{99};
    MessageEndpoint main(kMainWindowClass, kMainWindowTitle, [&](const EndpointMessage& m) {
        if (m.name != sim::kSimControlMessageName) return int64_t{0};
        action = m.wParam;
        kind = m.lParam;
        return answer.load();
    });
    ASSERT_TRUE(main.Open());

    EXPECT_EQ(RunCtl({"sim", "unlink", "mouse"}), 0);
    EXPECT_EQ(action.load(), static_cast<uint64_t>(sim::kSimUnlink));
    EXPECT_EQ(kind.load(), static_cast<int64_t>(sim::SimDeviceKind::Mouse));

    answer = 0;  // e.g. the running copy does not simulate
    std::string err;
    EXPECT_EQ(RunCtl({"sim", "plug", "headset"}, &err), 2);
    EXPECT_NE(err.find("refused"), std::string::npos);
}

TEST(SimCommand, BadArgumentsAndNoRunningCopy) {
    test::PrivateRuntimeFolder runtime;
    EXPECT_EQ(RunCtl({"sim", "plug"}), 1);
    EXPECT_EQ(RunCtl({"sim", "wiggle", "keyboard"}), 1);
    EXPECT_EQ(RunCtl({"sim", "plug", "toaster"}), 1);
    EXPECT_EQ(RunCtl({"sim", "plug", "keyboard,mouse"}), 1);
    EXPECT_EQ(RunCtl({"sim", "plug", "keyboard"}), 3);
}
