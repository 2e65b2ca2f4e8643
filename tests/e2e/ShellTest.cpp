// The shell as a user meets it, through the real programs: the window's size, pop-ups that
// let go, skins that exist, texts in the language chosen, the desktop's own settings.
#include <sys/stat.h>

#include <fstream>

#include "e2e/Q208E2eTest.h"
#include "platform/Paths.h"

namespace q208::e2e {
namespace {

class Shell : public Q208E2eTest {
protected:
    ProcessResult Sim(const std::string& verb, const std::string& argument) { return RunCtl({"sim", verb, argument}); }
    bool Open(const std::string& window) {
        const ProcessResult result = Sim("window", window);
        return result.exitCode == 0 && Contains(result, "shown 1");
    }
    std::filesystem::path UserFolder() const { return DataFolder() / kProductTitle; }
};

TEST_F(Shell, TheWindowFitsItsMonitorAndTheSkinFrameLetsGo) {
    ASSERT_TRUE(StartQ208());
    // The offscreen screen is small: 96 DPI, the layout's own size.
    ProcessResult main = WaitForOutput({"sim", "window", "main"}, "main 1000x640");
    EXPECT_TRUE(Contains(main, "dpi 96")) << Describe(main);

    ASSERT_EQ(Sim("click", "skinbtn").exitCode, 0);
    ProcessResult skin = Sim("window", "skin");
    EXPECT_TRUE(Contains(skin, "skin 360x250")) << Describe(skin);
    EXPECT_TRUE(Contains(skin, "dpi 96 shown 1")) << Describe(skin);
    ASSERT_EQ(Sim("click", "skin/outside").exitCode, 0);
    EXPECT_TRUE(Poll([&] { return !Open("skin"); }, kWaitTimeoutMs)) << "a press beside it closes it";

    ASSERT_EQ(Sim("click", "skinbtn").exitCode, 0);
    ASSERT_TRUE(Open("skin"));
    ASSERT_EQ(Sim("key", "skin/escape").exitCode, 0);
    EXPECT_TRUE(Poll([&] { return !Open("skin"); }, kWaitTimeoutMs)) << "Escape closes it";

    // The main window takes clicks again.
    ASSERT_EQ(Sim("click", "setbtn").exitCode, 0);
    EXPECT_TRUE(Poll([&] { return Open("settings"); }, kWaitTimeoutMs));
    ASSERT_EQ(Sim("click", "maxbtn").exitCode, 0);
    main = Sim("window", "main");
    EXPECT_TRUE(Contains(main, "max 1")) << Describe(main);
}

TEST_F(Shell, ASavedSkinPictureThatIsGoneLeavesTheLayoutsBackground) {
    ASSERT_TRUE(StartQ208Simulating(""));
    const ProcessResult plain = WaitForOutput({"sim", "probe", "No_device_Link"}, "No_device_Link ");
    ASSERT_EQ(plain.exitCode, 0) << Describe(plain);
    StopQ208();

    std::filesystem::create_directories(UserFolder());
    std::ofstream(UserFolder() / "main.ini") << "[SKINIMAGE]\nFLAGS=1\nIMAGE=" << (RuntimeFolder() / "gone.png").string()
                                             << "\n";
    ASSERT_TRUE(StartQ208Simulating(""));
    const ProcessResult after = WaitForOutput({"sim", "probe", "No_device_Link"}, "No_device_Link ");
    EXPECT_EQ(after.out, plain.out) << "no hole where the background was\n" << Describe(after);
}

TEST_F(Shell, EntriesReadInTheLanguageSavedBeforeTheStart) {
    std::filesystem::create_directories(ConfigFolder() / kProductTitle);
    std::ofstream(ConfigFolder() / kProductTitle / "settings.json") << R"({"LANGUAGE": 2052})";
    ASSERT_TRUE(StartQ208());
    const ProcessResult entry = WaitForOutput({"sim", "text", "device_select"}, "device_select: ");
    EXPECT_TRUE(Contains(entry, "Q208 键盘")) << Describe(entry);
}

TEST_F(Shell, TheDesktopsKeyboardAndMouseSettingsOpen) {
    const auto bin = RuntimeFolder().parent_path() / "bin";
    std::filesystem::create_directories(bin);
    const auto seen = RuntimeFolder().parent_path() / "opened.txt";
    const auto program = bin / "gnome-control-center";
    std::ofstream(program) << "#!/bin/sh\necho \"$@\" >> '" << seen.string() << "'\n";
    chmod(program.c_str(), 0755);
    const char* path = std::getenv("PATH");
    extraEnvironment_["PATH"] = bin.string() + ":" + (path ? path : "/usr/bin:/bin");
    ASSERT_TRUE(StartQ208());
    // A click reaches the window once it is shown (after the first detection pass).
    ASSERT_TRUE(Poll([&] { return Open("main"); }, kWaitTimeoutMs));
    ASSERT_EQ(Sim("click", "windowdeviceset_1").exitCode, 0);
    ASSERT_EQ(Sim("click", "windowdeviceset_0").exitCode, 0);
    auto opened = [&] {
        std::ifstream in(seen);
        std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return all;
    };
    EXPECT_TRUE(Poll([&] { return opened() == "mouse\nkeyboard\n" || opened() == "keyboard\nmouse\n"; }, kWaitTimeoutMs))
        << opened();
}

TEST_F(Shell, ARuntimeFolderOthersCanWriteIntoStopsTheStart) {
    std::filesystem::create_directories(RuntimeFolder() / "q208");
    chmod((RuntimeFolder() / "q208").c_str(), 0777);
    const ProcessResult result = ChildProcess::Run(Q208_EXE, {"--simulate"}, Environment(), kStartTimeoutMs);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.err.find("mode 0777"), std::string::npos) << result.err;
    EXPECT_TRUE(std::filesystem::is_empty(RuntimeFolder() / "q208")) << "no socket and no lock file were made there";
}

TEST_F(Shell, UnknownArgumentsAreReportedWithTheUsageAndTheProgramRuns) {
    const auto picture = RuntimeFolder().parent_path() / "shot.png";
    const ProcessResult result = ChildProcess::Run(
        Q208_EXE, {"--simulate=", "--from-the-launcher", "--screenshot", picture.string()}, Environment(), kStartTimeoutMs);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("unknown argument '--from-the-launcher'"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("usage: q208"), std::string::npos) << result.err;
    EXPECT_TRUE(std::filesystem::exists(picture));
}

}  // namespace
}  // namespace q208::e2e
