#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editors/CMacroControlUI.h"
#include "ui/CEditUI.h"
#include "ui/CListUI.h"
#include "ui/COptionUI.h"
#include "ui/UiDefs.h"

namespace q208 {
namespace {

// The panel with the parts the recorder works on; a clock the test moves.
class MacroRecordingTest : public testing::Test {
protected:
    void SetUp() override {
        auto list = std::make_unique<CListUI>();
        list->SetName(CMacroControlUI::kActionList);
        panel_.Add(std::move(list));
        auto edit = std::make_unique<CEditUI>();
        edit->SetName(CMacroControlUI::kFixedDelayEdit);
        panel_.Add(std::move(edit));
        panel_.SetClock([this] { return now_; });
        panel_.SetInform([this](const std::string& key) { messages_.push_back(key); });
    }
    void Key(bool down, uint16_t scan, int place = CMacroControlUI::kAppend) {
        panel_.RecordKeyEvent(place, down, scan, false);
    }
    std::string Delay(int row) { return panel_.EventAt(row)["Delay"].asString(); }

    CMacroControlUI panel_;
    uint64_t now_ = 1000;
    std::vector<std::string> messages_;
};

constexpr uint16_t kScanA = 0x1E, kScanC = 0x2E, kScanLeftCtrl = 0x1D, kScanF13Unknown = 0x64;

TEST_F(MacroRecordingTest, AHeldKeyRecordsOneDownAndOneUp) {
    panel_.StartRecording(CMacroControlUI::kRealDelay);
    for (int i = 0; i < 10; ++i) Key(true, kScanA);  // auto-repeat
    Key(false, kScanA);
    ASSERT_EQ(panel_.EventCount(), 2);
    EXPECT_EQ(panel_.EventAt(0)["Action"].asString(), "down");
    EXPECT_EQ(panel_.EventAt(0)["Type"].asInt(), MacroEvent::kTypeKey);
    EXPECT_EQ(panel_.EventAt(0)["Button"].asInt(), 0x04);
    EXPECT_EQ(panel_.EventAt(1)["Action"].asString(), "up");
}

TEST_F(MacroRecordingTest, RealDelaysGoToTheEarlierEventWhenTheNextArrives) {
    panel_.StartRecording(CMacroControlUI::kRealDelay);
    Key(true, kScanLeftCtrl);
    now_ += 120;
    Key(true, kScanC);
    ASSERT_EQ(panel_.EventCount(), 2);
    EXPECT_EQ(panel_.EventAt(0)["Type"].asInt(), MacroEvent::kTypeModifier);
    EXPECT_EQ(panel_.EventAt(0)["Button"].asInt(), 0x01);
    EXPECT_EQ(Delay(0), "120");
    EXPECT_EQ(panel_.DelayTextAt(0), "120");
    EXPECT_EQ(Delay(1), "0");  // until the next event
    now_ += 100000;
    Key(false, kScanC);
    EXPECT_EQ(Delay(1), "65535");
}

TEST_F(MacroRecordingTest, FixedAndNoDelayModes) {
    panel_.SetFixedDelay("40");
    panel_.StartRecording(CMacroControlUI::kFixedDelay);
    Key(true, kScanA);
    EXPECT_TRUE(panel_.EventAt(0)["Delay"].isInt());  // the first event of a macro
    Key(false, kScanA);
    EXPECT_EQ(Delay(0), "40");
    EXPECT_EQ(Delay(1), "40");
    panel_.StopRecording();
    panel_.ClearEvents();
    panel_.StartRecording(CMacroControlUI::kNoDelay);
    Key(true, kScanA);
    now_ += 500;
    Key(false, kScanA);
    EXPECT_EQ(Delay(0), "0");
    EXPECT_EQ(Delay(1), "0");
}

TEST_F(MacroRecordingTest, AFixedDelayBelowTenBecomesTenWithAMessage) {
    panel_.SetFixedDelay("5");
    EXPECT_EQ(panel_.FixedDelay(), 10);
    EXPECT_EQ(messages_, std::vector<std::string>{"message_text_31"});
    panel_.SetFixedDelay("99999");
    EXPECT_EQ(panel_.FixedDelay(), 65535);
}

TEST_F(MacroRecordingTest, UnknownKeysAreDroppedAndTheListStopsAt250) {
    panel_.StartRecording(CMacroControlUI::kNoDelay);
    Key(true, kScanF13Unknown);
    EXPECT_EQ(panel_.EventCount(), 0);
    for (int i = 0; i < 130; ++i) {
        Key(true, kScanA);
        Key(false, kScanA);
    }
    EXPECT_EQ(panel_.EventCount(), 250);
}

TEST_F(MacroRecordingTest, PlacesBeforeAfterAndReplace) {
    panel_.StartRecording(CMacroControlUI::kNoDelay);
    Key(true, kScanA);
    Key(false, kScanA);
    panel_.SelectEvent(0);
    Key(true, kScanC, CMacroControlUI::kBefore);
    EXPECT_EQ(panel_.EventAt(0)["Button"].asInt(), 0x06);
    EXPECT_EQ(panel_.EventAt(1)["Button"].asInt(), 0x04);
    panel_.SelectEvent(1);
    Key(false, kScanC, CMacroControlUI::kAfter);
    EXPECT_EQ(panel_.EventCount(), 4);
    EXPECT_EQ(panel_.EventAt(2)["Action"].asString(), "up");
    EXPECT_EQ(panel_.SelectedEvent(), 2);
    panel_.SelectEvent(3);  // A up becomes Ctrl, still "up"
    Key(true, kScanLeftCtrl, CMacroControlUI::kReplace);
    EXPECT_EQ(panel_.EventCount(), 4);
    EXPECT_EQ(panel_.EventAt(3)["Type"].asInt(), MacroEvent::kTypeModifier);
    EXPECT_EQ(panel_.EventAt(3)["Action"].asString(), "up");
}

TEST_F(MacroRecordingTest, MouseButtonsRecordOncePerChangeAndSideButtonsByTheHighWord) {
    panel_.StartRecording(CMacroControlUI::kNoDelay);
    panel_.RecordMouseEvent(CMacroControlUI::kAppend, WM_RBUTTONDOWN, 0, {1, 1});
    panel_.RecordMouseEvent(CMacroControlUI::kAppend, WM_RBUTTONDOWN, 0, {1, 1});
    panel_.RecordMouseEvent(CMacroControlUI::kAppend, WM_XBUTTONDOWN, XBUTTON2 << 16, {1, 1});
    panel_.RecordMouseEvent(CMacroControlUI::kAppend, WM_XBUTTONUP, XBUTTON1 << 16, {1, 1});
    panel_.RecordMouseEvent(CMacroControlUI::kAppend, WM_MOUSEWHEEL, 0, {1, 1});
    ASSERT_EQ(panel_.EventCount(), 3);
    EXPECT_EQ(panel_.EventAt(0)["Button"].asInt(), 0x02);
    EXPECT_EQ(panel_.EventAt(0)["Type"].asInt(), MacroEvent::kTypeMouseButton);
    EXPECT_EQ(panel_.EventAt(1)["Button"].asInt(), 0x10);  // forward
    EXPECT_EQ(panel_.EventAt(2)["Button"].asInt(), 0x08);  // back
    EXPECT_EQ(panel_.EventAt(2)["Action"].asString(), "up");
}

TEST_F(MacroRecordingTest, InsertedClicksAreADownThenAnUpAfterTheSelection) {
    const auto rows = CMacroControlUI::MouseActionRowsOf("middle_click");
    ASSERT_TRUE(rows);
    for (int row : *rows) panel_.InsertMouseAction(row);
    ASSERT_EQ(panel_.EventCount(), 2);
    EXPECT_EQ(panel_.EventAt(0)["Action"].asString(), "down");
    EXPECT_EQ(panel_.EventAt(1)["Action"].asString(), "up");
    EXPECT_EQ(panel_.EventAt(1)["Button"].asInt(), 0x04);
    panel_.SelectEvent(0);
    panel_.MoveEventToEnd();
    EXPECT_EQ(panel_.EventAt(1)["Action"].asString(), "down");
}

}  // namespace
}  // namespace q208
