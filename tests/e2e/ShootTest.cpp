// The mouse page's fire-key editor in the running program: an edited gun goes to the
// emulated mouse as the shoot block, from the page's save button and from q208ctl.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

constexpr uint8_t kWriteMacroBlock = 0x17;
constexpr uint8_t kReadConfig = 0x05;

class ShootE2e : public Q208E2eTest {};

TEST_F(ShootE2e, AnEditedGunReachesTheMouseFromTheSaveButtonAndFromQ208ctl) {
    ASSERT_TRUE(StartQ208Simulating("mouse"));
    ASSERT_TRUE(WaitForCommandCount("mouse", kReadConfig, 2)) << Q208Log();
    // The page made the gun files from the factory copies; bullet 0 of gun 0 gets changed.
    ProcessResult result = RunCtl({"shoot", "set", "0", "0", "x=-9", "y=4", "delay=150"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "bullet 0 x=-9 y=4 delay=150")) << Describe(result);

    for (const char* control : {"mouse_device_seting_option_1", "shootdate_save_btn"}) {
        ASSERT_TRUE(WaitUntil({"sim", "click", control}, [](const ProcessResult& r) { return r.exitCode == 0; },
                              &result))
            << Describe(result);
    }
    // 2920 bytes in 53 chunks of 56 on the cable; the first record starts at 24 with its
    // 180 events: the click, then the left move of 9 (0x84) and the downward pull of 4
    // with the pause of 150 ms.
    ASSERT_TRUE(WaitForCommandCount("mouse", kWriteMacroBlock, 53)) << Q208Log();
    result = RunCtl({"sim", "state", "mouse", "macro"});
    EXPECT_TRUE(Contains(result, "0x0000: aa 55 68 0b 04 00")) << Describe(result);
    EXPECT_TRUE(Contains(result, "0x0010: 18 00 ec 02 c0 05 94 08 b4 00 00 00 0a 00 81 01")) << Describe(result);
    EXPECT_TRUE(Contains(result, "0x0020: 00 00 01 01 05 00 84 09 96 00 05 04")) << Describe(result);

    // q208ctl hands the upload to the running program, which sends the same block again.
    result = RunCtl({"shoot", "upload"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "shoot block: 2920 bytes")) << Describe(result);
    EXPECT_TRUE(WaitForCommandCount("mouse", kWriteMacroBlock, 106)) << Q208Log();
}

TEST_F(ShootE2e, ABrokenGunFileIsRefusedAndKept) {
    ProcessResult result = RunCtl({"shoot", "show", "2"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "bullet 29 ")) << Describe(result);
    result = RunCtl({"shoot", "set", "2", "30", "x=1"});
    EXPECT_EQ(result.exitCode, 1) << Describe(result);

    const std::filesystem::path file = DataFolder() / "Tulmaro Q208 3 MODES MECHANICAL KEYBOARD&MOUSE BUNDLE" /
                                       "Mouse" / "ShootData_2.Shoot";
    ASSERT_TRUE(std::filesystem::exists(file));
    std::ofstream(file, std::ios::trunc) << "{ \"Events\": [] }";
    result = RunCtl({"--simulate=mouse", "shoot", "upload"});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);
    EXPECT_NE(result.err.find("ShootData_2.Shoot holds too few events"), std::string::npos) << Describe(result);
    result = RunCtl({"shoot", "show", "2"});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "{ \"Events\": [] }");
}

}  // namespace
}  // namespace q208::e2e
