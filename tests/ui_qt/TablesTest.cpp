#include <gtest/gtest.h>

#include "app/AppOptions.h"
#include "ui/ScanCodes.h"
#include "ui/qt/CQtKeyMap.h"
#include "ui/qt/FileDialogs.h"
#include "ui/UiDefs.h"

#include <Qt>

namespace q208 {

TEST(ScanCodesTest, MainBlockExtendedKeysAndOddOnesOut) {
    EXPECT_EQ(ScanCodeFromEvdev(1), (ScanCode{0x01, false}));    // Esc
    EXPECT_EQ(ScanCodeFromEvdev(30), (ScanCode{0x1E, false}));   // A
    EXPECT_EQ(ScanCodeFromEvdev(88), (ScanCode{0x58, false}));   // F12
    EXPECT_EQ(ScanCodeFromEvdev(97), (ScanCode{0x1D, true}));    // right Ctrl
    EXPECT_EQ(ScanCodeFromEvdev(29), (ScanCode{0x1D, false}));   // left Ctrl
    EXPECT_EQ(ScanCodeFromEvdev(105), (ScanCode{0x4B, true}));   // Left arrow
    EXPECT_EQ(ScanCodeFromEvdev(75), (ScanCode{0x4B, false}));   // keypad 4
    EXPECT_EQ(ScanCodeFromEvdev(96), (ScanCode{0x1C, true}));    // keypad Enter
    EXPECT_EQ(ScanCodeFromEvdev(69), (ScanCode{0x45, true}));    // Num Lock
    EXPECT_EQ(ScanCodeFromEvdev(119), (ScanCode{0x45, false}));  // Pause
    EXPECT_EQ(ScanCodeFromEvdev(125), (ScanCode{0x5B, true}));   // left Windows key
    EXPECT_FALSE(ScanCodeFromEvdev(0).has_value());
    EXPECT_FALSE(ScanCodeFromEvdev(84).has_value());
    EXPECT_FALSE(ScanCodeFromEvdev(5000).has_value());
}

TEST(ScanCodesTest, EveryKnownKeyMapsBackToItself) {
    for (unsigned evdev = 0; evdev < 256; ++evdev) {
        const auto scan = ScanCodeFromEvdev(evdev);
        if (!scan || evdev == 194) continue;  // F24 shares its code with Zenkaku/Hankaku
        EXPECT_EQ(EvdevFromScanCode(*scan), evdev) << evdev;
    }
}

TEST(QtKeyMapTest, LettersDigitsFunctionAndEditingKeys) {
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_A), UINT('A'));
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7), UINT('7'));
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F1), 0x70u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F12), 0x7Bu);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Backspace), VK_BACK);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Escape), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_unknown), 0u);
}

TEST(FileFilterTest, TheProgramsFilterTextBecomesEntries) {
    EXPECT_EQ(ParseFileFilter("(*.png) | *.png |(*.*)|*.*||"),
              (std::vector<FileFilter>{{"(*.png)", {"*.png"}}, {"(*.*)", {"*.*"}}}));
    EXPECT_EQ(ParseFileFilter("Profiles|*.json;*.bak|"), (std::vector<FileFilter>{{"Profiles", {"*.json", "*.bak"}}}));
    EXPECT_TRUE(ParseFileFilter("").empty());
    EXPECT_TRUE(ParseFileFilter("label only").empty());
    EXPECT_EQ(ParseFileFilter("|*.txt|"), (std::vector<FileFilter>{{"*.txt", {"*.txt"}}}));
}

TEST(AppOptionsTest, RenderNeedsAnOutputAndAValidSize) {
    std::string error;
    auto options = AppOptions::Parse({"--render", "a.xml", "--size", "800x572", "--out", "a.png", "--lang", "l.xml"}, error);
    ASSERT_TRUE(options.has_value()) << error;
    EXPECT_EQ(options->mode, AppOptions::Mode::Render);
    EXPECT_EQ(options->layout, "a.xml");
    EXPECT_EQ(options->size, (UiSize{800, 572}));
    EXPECT_EQ(options->outFile, "a.png");
    EXPECT_EQ(options->language, "l.xml");

    EXPECT_EQ(AppOptions::Parse({}, error)->mode, AppOptions::Mode::Run);
    EXPECT_EQ(AppOptions::Parse({"--help"}, error)->mode, AppOptions::Mode::Help);
    EXPECT_FALSE(AppOptions::Parse({"--render", "a.xml"}, error).has_value());
    EXPECT_NE(error.find("--out"), std::string::npos);
    EXPECT_FALSE(AppOptions::Parse({"--render"}, error).has_value());
    EXPECT_FALSE(AppOptions::Parse({"--out", "a.png"}, error).has_value());
    // Unknown arguments are set aside (and reported by the program); the known ones count.
    const auto bogus = AppOptions::Parse({"--bogus", "--simulate", "extra"}, error);
    ASSERT_TRUE(bogus.has_value()) << error;
    EXPECT_TRUE(bogus->simulate);
    EXPECT_EQ(bogus->unknownArguments, (std::vector<std::string>{"--bogus", "extra"}));
    for (const char* bad : {"800", "x572", "0x10", "-5x10", "10x10x", "99999x10", "abcxdef"}) {
        EXPECT_FALSE(ParseSize(bad).has_value()) << bad;
    }
}

}  // namespace q208
