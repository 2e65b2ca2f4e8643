// The key assignment logic: the bytes each category builds from the panel's controls, what
// the controls show for a stored record, and the key capture.
#include <gtest/gtest.h>

#include "editors/KeyAssignment.h"
#include "tools/AssignArguments.h"

namespace q208 {
namespace {

using Form = KeyAssignment::Form;

KeyAssignmentHalf Half(uint8_t type, uint8_t first, uint8_t second, uint16_t index = 7) {
    return {index, type, first, second, 0};
}

struct Built {
    uint8_t type, first, second;
    friend bool operator==(const Built&, const Built&) = default;
};
Built Bytes(const KeyAssignmentHalf& h) { return {h.type, h.param1, h.param2}; }
std::ostream& operator<<(std::ostream& os, const Built& b) {
    return os << std::hex << int(b.type) << ',' << int(b.first) << ',' << int(b.second);
}

class KeyAssignmentTest : public ::testing::Test {
protected:
    KeyAssignment model;
    const KeyAssignmentHalf factoryA = Half(0x20, 0, 0x04);
    Form Start(const KeyAssignmentHalf& current = Half(0x20, 0, 0x04), int macros = 0) {
        return model.Show(current, factoryA, macros);
    }
};

TEST_F(KeyAssignmentTest, WheelAndMovementPackDelaySpeedCountAndDirection) {
    Form form = Start();
    form.category = static_cast<int>(KeyCategory::MouseWheel);
    form.wheelDirection = 1;
    form.wheelCount = 3;
    const KeyAssignmentHalf wheel = model.Build(form, 0);
    EXPECT_EQ(Bytes(wheel), (Built{0x12, 0x00, 0xFD}));
    const Form shown = model.Show(wheel, factoryA, 0);
    EXPECT_EQ(shown.category, static_cast<int>(KeyCategory::MouseWheel));
    EXPECT_EQ(shown.wheelCount, 3);
    EXPECT_EQ(shown.wheelDirection, 1);

    form.category = static_cast<int>(KeyCategory::MouseMove);
    form.moveDelay = 2;
    form.moveSpeed = 5;
    form.moveCount = 7;
    form.moveDirection = 1;
    const KeyAssignmentHalf move = model.Build(form, 0);
    EXPECT_EQ(Bytes(move), (Built{0x11, 0x25, 0x87}));
    const Form back = model.Show(move, factoryA, 0);
    EXPECT_EQ(std::make_tuple(back.moveDelay, back.moveSpeed, back.moveCount, back.moveDirection),
              std::make_tuple(2, 5, 7, 1));
}

TEST_F(KeyAssignmentTest, ValuesPastTheirMaskAreShownAsStored) {
    Form form = Start();
    form.category = static_cast<int>(KeyCategory::MouseMove);
    form.moveCount = 200;  // seven bits: 200 is stored as 72
    form.moveDelay = 20;   // four bits: 4
    KeyAssignmentHalf built = model.Build(form, 0);
    KeyAssignment::ShowStoredValues(built, form);
    EXPECT_EQ(form.moveCount, 72);
    EXPECT_EQ(form.moveDelay, 4);
    EXPECT_EQ(Bytes(model.Build(form, 0)), Bytes(built));  // what the user sees builds the same bytes

    form.category = static_cast<int>(KeyCategory::Fire);
    form.fireInterval = 4;
    form.fireCount = 3;
    built = model.Build(form, 0);
    EXPECT_EQ(Bytes(built), (Built{0x14, 10, 3}));
    form.fireInterval = 265;  // wraps to 9 in the byte, which the device must never get
    built = model.Build(form, 0);
    EXPECT_EQ(built.param1, 10);
    KeyAssignment::ShowStoredValues(built, form);
    EXPECT_EQ(form.fireInterval, 10);
}

TEST_F(KeyAssignmentTest, CapturedRightAltThenAGivesLeftAltWithA) {
    Form form = Start(Half(0x20, 0, 0x05));
    ASSERT_TRUE(model.Capture({0x38, true}, form));  // right Alt
    EXPECT_EQ(form.modifierOption, 3);
    EXPECT_TRUE(form.keyName.empty());
    EXPECT_EQ(Bytes(model.Editing()), (Built{0x20, 0x40, 0x00}));
    ASSERT_TRUE(model.Capture({0x1E, false}, form));  // A
    EXPECT_EQ(form.keyName, "keyboard_key_A");
    form.category = static_cast<int>(KeyCategory::Keyboard);
    EXPECT_EQ(Bytes(model.Build(form, 0)), (Built{0x20, 0x04, 0x04}));
    // A modifier captured alone is stored with no key.
    ASSERT_TRUE(model.Capture({0x1D, true}, form));  // right Ctrl: option 1
    EXPECT_EQ(Bytes(model.Build(form, 0)), (Built{0x20, 0x01, 0x00}));
    // Keys of no keyboard key change nothing.
    EXPECT_FALSE(model.Capture({0x7F, true}, form));
}

TEST_F(KeyAssignmentTest, KeyboardRecordsShowAsTheirCategory) {
    Form form = Start(Half(0x20, 0x10, 0x06));
    EXPECT_EQ(form.category, static_cast<int>(KeyCategory::Combo));
    EXPECT_EQ(form.combo, 4);  // Ctrl+C
    form = Start(Half(0x20, 0x02, 0x1E));
    EXPECT_EQ(form.category, static_cast<int>(KeyCategory::Keyboard));
    EXPECT_EQ(form.modifierOption, 2);
    EXPECT_EQ(form.keyName, "keyboard_key_1");
    // A usage of no key: nothing selected, and the record being edited loses it.
    form = Start(Half(0x20, 0, 0xF0));
    EXPECT_EQ(form.modifierOption, KeyAssignment::kNone);
    EXPECT_TRUE(form.keyName.empty());
    EXPECT_EQ(Bytes(model.Editing()), (Built{0x20, 0, 0}));
    // The keyboard's own function keys have no category: the panel hides its editor.
    EXPECT_EQ(Start(Half(0xA0, 0x01, 0)).category, KeyAssignment::kNone);
    EXPECT_EQ(Start(Half(0xD0, 0xA2, 0x05)).category, KeyAssignment::kNone);
    EXPECT_EQ(Start(Half(0x30, 0xE2, 0x00)).media, 7);
}

TEST_F(KeyAssignmentTest, MacrosNeedAValidSelection) {
    Form form = Start(Half(0x20, 0, 0x04), 3);
    form.category = static_cast<int>(KeyCategory::Macro);
    form.macro = 2;
    form.macroMode = 4;
    form.macroCycle = 5;
    EXPECT_EQ(Bytes(model.Build(form, 3)), (Built{0x71, 2, 5}));
    form.macroMode = 1;
    EXPECT_EQ(Bytes(model.Build(form, 3)), (Built{0x70, 2, 1}));
    // Without macros (or past the list) the record stays as it was.
    const KeyAssignmentHalf before = model.Editing();
    EXPECT_EQ(Bytes(model.Build(form, 0)), Bytes(before));
    // A stored macro past the list shows no selection and no cycle edit.
    const Form shown = model.Show(Half(0x71, 5, 9), factoryA, 3);
    EXPECT_EQ(shown.macro, KeyAssignment::kNone);
    EXPECT_EQ(shown.macroMode, 4);
    EXPECT_FALSE(shown.macroCycleShown);
    EXPECT_TRUE(model.Show(Half(0x71, 1, 9), factoryA, 3).macroCycleShown);
}

TEST_F(KeyAssignmentTest, DefaultAndUnselectedDropDownsKeepTheKeyIndex) {
    Form form = Start(Half(0x10, 0x01, 0, 64));
    form.category = static_cast<int>(KeyCategory::Disabled);
    const KeyAssignmentHalf built = model.Build(form, 0);
    EXPECT_EQ(Bytes(built), Bytes(factoryA));
    EXPECT_EQ(built.index, 64);
    form.category = static_cast<int>(KeyCategory::Media);
    form.media = KeyAssignment::kNone;
    EXPECT_EQ(Bytes(model.Build(form, 0)), Bytes(factoryA));
}

TEST(KeyTablesTest, TheKeyAndCaptureTablesAgree) {
    using namespace keytables;
    ASSERT_EQ(KeyTable().size(), 144u);
    EXPECT_EQ(KeyTable()[54].nameKey, "keyboard_key_;");
    EXPECT_EQ(KeyTable()[54].second, 0x33);
    EXPECT_EQ(KeyTable()[91].code, 0x0101);
    EXPECT_EQ(KeyTable()[103].second, 0x65);
    EXPECT_EQ(KeyTable()[139].kind, 0xD0);
    // Every captured key finds its own position back (the first of equal scan codes).
    for (int i = 0; i < kCaptureTableSize; ++i) {
        const auto found = FindCapturedKey(CaptureTable()[i]);
        ASSERT_TRUE(found) << i;
        EXPECT_EQ(CaptureTable()[*found].scanCode, CaptureTable()[i].scanCode);
    }
    EXPECT_EQ(FindCapturedKey({0x5D, true}), 103);
    EXPECT_EQ(FindCapturedKey({0x36, true}), 5);
    EXPECT_EQ(FindKeyByName("num 1"), 92);
    EXPECT_EQ(FindKeyByName("Num_1"), 92);
    EXPECT_EQ(FindKeyByName("keyboard_key_Esc"), 45);
    EXPECT_FALSE(FindKeyByName("nothing"));
}

TEST(AssignArgumentsTest, ArgumentsFillTheFormAndBadOnesSayWhy) {
    KeyAssignment model;
    model.Show(Half(0x20, 0, 0x04), Half(0x20, 0, 0x04), 0);
    KeyAssignment::Form form;
    std::string error;
    ASSERT_TRUE(AssignArguments::Parse({"key", "shift+F1"}, model, form, error)) << error;
    EXPECT_EQ(Bytes(model.Build(form, 0)), (Built{0x20, 0x02, 0x3A}));
    ASSERT_TRUE(AssignArguments::Parse({"media", "volume_up"}, model, form, error)) << error;
    EXPECT_EQ(Bytes(model.Build(form, 0)), (Built{0x30, 0xE9, 0x00}));
    ASSERT_TRUE(AssignArguments::Parse({"wheel", "down", "0", "0", "3"}, model, form, error)) << error;
    EXPECT_EQ(Bytes(model.Build(form, 0)), (Built{0x12, 0x00, 0xFD}));
    EXPECT_FALSE(AssignArguments::Parse({"media", "loud"}, model, form, error));
    EXPECT_NE(error.find("volume_up"), std::string::npos) << error;
    EXPECT_FALSE(AssignArguments::Parse({"move", "0", "16", "0", "1"}, model, form, error));
    EXPECT_FALSE(AssignArguments::Parse({"macro", "0", "4"}, model, form, error));  // mode 4 needs TIMES
    EXPECT_FALSE(AssignArguments::Parse({"key", "Fn"}, model, form, error));        // not a keyboard key
    EXPECT_FALSE(AssignArguments::Parse({"teleport"}, model, form, error));
}

}  // namespace
}  // namespace q208
