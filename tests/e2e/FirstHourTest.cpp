// What a new user meets in the first hour: a second screenshot run, a minimised window, a
// device command for the wrong device, a repeated unplug, a message the program ignores.
#include <unistd.h>

#include <cstdlib>

#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

class FirstHour : public Q208E2eTest {
protected:
    // "paints N AREA" of the running window; -1 when it cannot be read.
    long long Paints() const {
        const ProcessResult r = RunCtl({"sim", "window", "paints"});
        if (r.exitCode != 0 || r.out.rfind("paints ", 0) != 0) return -1;
        return std::atoll(r.out.c_str() + 7);
    }
};

TEST_F(FirstHour, AScreenshotRunBesideARunningCopyFailsAndSaysWhy) {
    ASSERT_TRUE(StartQ208());
    const std::filesystem::path file = RuntimeFolder() / "second.png";
    const ProcessResult r = ChildProcess::Run(Q208_EXE, {"--simulate", "--screenshot", file.string()}, Environment(),
                                              kStartTimeoutMs);
    EXPECT_NE(r.exitCode, 0) << Describe(r);
    EXPECT_NE(r.err.find("another copy is running"), std::string::npos) << Describe(r);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(Q208Running());
}

// A minimised window paints nothing however its keys light; restored, it paints again.
TEST_F(FirstHour, AMinimisedWindowPaintsNothing) {
    ASSERT_TRUE(StartQ208());
    ASSERT_TRUE(Poll([&] { return Paints() > 0; }, kWaitTimeoutMs)) << Q208Log();
    ASSERT_EQ(RunCtl({"sim", "window", "minimize"}).exitCode, 0);
    const long long before = Paints();
    // Key strokes change the lights of a reactive keyboard page while nobody sees it.
    for (int i = 0; i < 5; ++i) {
        RunCtl({"sim", "input", "keyboard", "key", "64", "down"});
        RunCtl({"sim", "input", "keyboard", "key", "64", "up"});
    }
    EXPECT_EQ(Paints(), before);
    ASSERT_EQ(RunCtl({"sim", "window", "restore"}).exitCode, 0);
    EXPECT_TRUE(Poll([&] { return Paints() > before; }, kWaitTimeoutMs));
}

TEST_F(FirstHour, KeyboardCommandsRefuseTheOtherDevices) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--simulate", "--device", "mousepad", "set-lighting", "effect=2"},
             {"--simulate", "--device", "headset", "lighting"}}) {
        const ProcessResult r = RunCtl(args);
        EXPECT_EQ(r.exitCode, 1) << Describe(r);
        EXPECT_NE(r.err.find("works on the keyboard only"), std::string::npos) << Describe(r);
        EXPECT_NE(r.err.find("q208ctl --help"), std::string::npos) << Describe(r);
    }
    const ProcessResult bad = RunCtl({"--simulate", "set-lighting", "effect=99"});
    EXPECT_EQ(bad.exitCode, 1) << Describe(bad);
    EXPECT_EQ(RunCtl({"--simulate", "set-lighting", "effect=5"}).exitCode, 0);
}

TEST_F(FirstHour, ARepeatedUnplugAndAnIgnoredMessageSayWhatHappened) {
    ASSERT_TRUE(StartQ208());
    EXPECT_EQ(RunCtl({"sim", "unplug", "mousepad"}).exitCode, 0);
    const ProcessResult again = RunCtl({"sim", "unplug", "mousepad"});
    EXPECT_EQ(again.exitCode, 2) << Describe(again);
    EXPECT_NE(again.err.find("not plugged"), std::string::npos) << Describe(again);

    const ProcessResult ignored = RunCtl({"send", "NoSuchMessage"});
    EXPECT_EQ(ignored.exitCode, 2) << Describe(ignored);
    EXPECT_EQ(ignored.out.find("delivered"), std::string::npos) << Describe(ignored);
    const ProcessResult taken = RunCtl({"send", "Game_Start"});
    EXPECT_EQ(taken.exitCode, 0) << Describe(taken);
    EXPECT_TRUE(Contains(taken, "delivered")) << Describe(taken);
}

}  // namespace
}  // namespace q208::e2e
