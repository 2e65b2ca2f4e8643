// Macros through the real programs: q208ctl's macro commands over the store, and a macro
// recorded on the keyboard page of a running q208 that ends up in the keyboard's memory
// because a key plays it.

#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/Q208E2eTest.h"

namespace q208::e2e {
namespace {

class MacroE2e : public Q208E2eTest {
protected:
    std::filesystem::path KeyboardFolder() const {
        return DataFolder() / "Tulmaro Q208 3 MODES MECHANICAL KEYBOARD&MOUSE BUNDLE" / "Keyboard";
    }
};

TEST_F(MacroE2e, TheCommandsCreateRenameImportExportShowAndDelete) {
    ProcessResult result = RunCtl({"macro", "create"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "created 0\tmacro_1\t"));
    ASSERT_EQ(RunCtl({"macro", "rename", "MACRO_1", "Jump"}).exitCode, 0);
    result = RunCtl({"macro", "rename", "Jump", "  "});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);

    const std::filesystem::path source = DataFolder() / "Jump.mac";
    std::ofstream(source) << R"({"Events": [{"Action": "down", "Type": 10, "Button": 4, "Delay": 30}]})" << "\n";
    result = RunCtl({"macro", "import", source.string()});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "imported 1\t2\t")) << result.out;  // "Jump" is taken
    result = RunCtl({"macro", "show", "2"});
    EXPECT_TRUE(Contains(result, "0\tdown\ttype 10\tbutton 4\tdelay 30")) << result.out;

    std::ofstream(DataFolder() / "list.mac") << "[1, 2, 3]\n";
    result = RunCtl({"macro", "import", (DataFolder() / "list.mac").string()});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);

    const std::filesystem::path target = DataFolder() / "out.mac";
    ASSERT_EQ(RunCtl({"macro", "export", "2", target.string()}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(target));

    // Key A plays macro 1; deleting macro 0 makes it macro 0.
    result = RunCtl({"--simulate=keyboard", "assign", "A", "macro", "1", "0"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    result = RunCtl({"macro", "delete", "Jump"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);
    EXPECT_TRUE(Contains(result, "1 profile(s) renumbered")) << result.out;
    result = RunCtl({"macro", "list"});
    EXPECT_TRUE(Contains(result, "0\t2\t")) << result.out;
    EXPECT_FALSE(Contains(result, "Jump"));
}

TEST_F(MacroE2e, AMacroRecordedOnThePageIsWrittenToTheKeyboardThatPlaysIt) {
    ASSERT_EQ(RunCtl({"macro", "create"}).exitCode, 0);
    ProcessResult result = RunCtl({"--simulate=keyboard", "assign", "B", "macro", "0", "0"});
    ASSERT_EQ(result.exitCode, 0) << Describe(result);

    ASSERT_TRUE(StartQ208Simulating("keyboard"));
    ASSERT_TRUE(WaitUntil({"sim", "click", "key_64"}, [&](const ProcessResult&) {
        return Contains(RunCtl({"sim", "text", "keyset_keyboard_text_edit"}), ": A");
    })) << Q208Log();
    result = RunCtl({"macro", "create"});
    EXPECT_EQ(result.exitCode, 2) << Describe(result);  // q208 keeps the macros now

    ASSERT_EQ(RunCtl({"sim", "click", "device_page_tab_2"}).exitCode, 0);  // the page's macros
    ASSERT_EQ(RunCtl({"sim", "click", "macro_btn_starredio"}).exitCode, 0);
    for (const char* key : {"main/B", "main/C"}) {
        const ProcessResult pressed = RunCtl({"sim", "key", key});
        ASSERT_EQ(pressed.exitCode, 0) << Describe(pressed);
    }
    ASSERT_EQ(RunCtl({"sim", "click", "macro_btn_stopredio"}).exitCode, 0);
    ASSERT_EQ(RunCtl({"sim", "click", "macro_btn_save"}).exitCode, 0);

    result = RunCtl({"macro", "show", "0"});
    EXPECT_TRUE(Contains(result, "0\tdown\ttype 10\tbutton 5")) << result.out << Q208Log();
    EXPECT_TRUE(Contains(result, "button 6")) << result.out;
    // The block: 0xAA 0x55, one macro, and B pressed (type 10 with the press bit, usage 5).
    EXPECT_TRUE(WaitUntil({"sim", "state", "keyboard", "macro"},
                          [](const ProcessResult& r) {
                              return r.out.find("aa 55") != std::string::npos &&
                                     r.out.find("8a 05") != std::string::npos;
                          },
                          &result))
        << result.out << Q208Log();
}

}  // namespace
}  // namespace q208::e2e
