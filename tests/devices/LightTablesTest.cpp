#include <gtest/gtest.h>

#include <set>

#include "devices/keyboard/KeyboardLayout.h"
#include "devices/lighting/LightTables.h"

using namespace q208;

TEST(LightTables, BreathingCurveRisesToFullAndMirrors) {
    EXPECT_EQ(kBreathingCurve[0], 0);
    EXPECT_EQ(kBreathingCurve[10], 10);
    EXPECT_EQ(kBreathingCurve[11], 12);
    EXPECT_EQ(kBreathingCurve[17], 24);
    EXPECT_EQ(kBreathingCurve[18], 27);
    EXPECT_EQ(kBreathingCurve[24], 45);
    EXPECT_EQ(kBreathingCurve[35], 89);
    EXPECT_EQ(kBreathingCurve[44], 134);
    EXPECT_EQ(kBreathingCurve[56], 206);
    EXPECT_EQ(kBreathingCurve[62], 248);
    EXPECT_EQ(kBreathingCurve[63], 255);
    EXPECT_EQ(kBreathingCurve[64], 255);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(kBreathingCurve[127 - i], kBreathingCurve[i]) << i;
        if (i > 0) {
            EXPECT_GT(kBreathingCurve[i], kBreathingCurve[i - 1]) << i;
        }
    }
}

TEST(LightTables, ColourWheelAnchorsAndSmoothArcs) {
    EXPECT_EQ(kColourWheel[0], (Rgb{255, 1, 0}));
    EXPECT_EQ(kColourWheel[9], (Rgb{255, 32, 0}));
    EXPECT_EQ(kColourWheel[31], (Rgb{255, 255, 0}));
    EXPECT_EQ(kColourWheel[32], (Rgb{248, 255, 0}));
    EXPECT_EQ(kColourWheel[39], (Rgb{158, 255, 0}));
    EXPECT_EQ(kColourWheel[64], (Rgb{0, 255, 1}));
    EXPECT_EQ(kColourWheel[96], (Rgb{0, 248, 255}));
    EXPECT_EQ(kColourWheel[128], (Rgb{1, 0, 255}));
    EXPECT_EQ(kColourWheel[160], (Rgb{255, 0, 248}));
    EXPECT_EQ(kColourWheel[191], (Rgb{255, 0, 0}));
    // Along each arc exactly one component moves, monotonically.
    for (int i = 1; i < kWheelSteps; ++i) {
        if (i % kWheelArcSteps == 0) continue;
        const Rgb a = kColourWheel[i - 1], b = kColourWheel[i];
        const int changes = (a.red != b.red) + (a.green != b.green) + (a.blue != b.blue);
        EXPECT_LE(changes, 1) << i;
        const int arc = i / kWheelArcSteps;
        const int delta = (b.red - a.red) + (b.green - a.green) + (b.blue - a.blue);
        if (arc % 2 == 0) {
            EXPECT_GT(delta, 0) << i;
        } else {
            EXPECT_LT(delta, 0) << i;
        }
    }
    EXPECT_EQ(WheelColour(192 + 9), kColourWheel[9]);
    EXPECT_EQ(WheelColour(-1), kColourWheel[191]);
}

TEST(LightTables, WaveCurves) {
    EXPECT_EQ(kWave1Curve[0], 22);
    EXPECT_EQ(kWave1Curve[47], 255);
    EXPECT_EQ(kWave1Curve[48], 255);
    EXPECT_EQ(kWave1Curve[95], 22);
    EXPECT_EQ(kWave2Curve[0], 0);
    EXPECT_EQ(kWave2Curve[9], 84);
    EXPECT_EQ(kWave2Curve[24], 255);
    EXPECT_EQ(kWave2Curve[25], 248);
    EXPECT_EQ(kWave2Curve[26], 241);
    EXPECT_EQ(kWave2Curve[86], 1);
    for (int i = 87; i < kWaveCurveSteps; ++i) EXPECT_EQ(kWave2Curve[i], 0) << i;
    EXPECT_EQ(BrightnessOf(0), 0);
    EXPECT_EQ(BrightnessOf(2), 135);
    EXPECT_EQ(BrightnessOf(9), 255);
}

TEST(KeyboardLayout, KeyTableRows) {
    EXPECT_EQ(KeyboardKeyTable[0].code, (KeyCode{0x20, 0, 0x29}));
    EXPECT_EQ(KeyboardKeyTable[12].code, (KeyCode{0x20, 0, 0x45}));
    EXPECT_EQ(KeyboardKeyTable[17].code, (KeyCode{0xA0, 0x47, 1}));
    EXPECT_EQ(KeyboardKeyTable[84].code, (KeyCode{0x20, 0x02, 0}));
    EXPECT_EQ(KeyboardKeyTable[108].code, (KeyCode{0x20, 0, 0x2C}));
    EXPECT_EQ(KeyboardKeyTable[110].code, (KeyCode{0xA0, 0x01, 0}));
    EXPECT_EQ(KeyboardKeyTable[124].code, (KeyCode{0xD0, 0xA2, 5}));
    EXPECT_EQ(KeyboardKeyTable[127].code, (KeyCode{0x30, 0x92, 0x01}));
    EXPECT_EQ(KeyboardKeyTable[129].code, (KeyCode{0x20, 0x08, 0x07}));
    int withKey = 0;
    for (int row = 0; row < kKeyTableRows; ++row) withKey += KeyboardKeyTable[row].hasKey;
    EXPECT_EQ(withKey, 130 - 2);
    for (int row : {20, 104, 130, 169}) {
        EXPECT_FALSE(KeyboardKeyTable[row].hasKey) << row;
        EXPECT_EQ(KeyboardKeyTable[row].code, (KeyCode{0x20, 0, 0}));
    }
}

TEST(KeyboardLayout, GridIsStoredByColumnAndPositionTableCoversEveryGridKeyOnce) {
    EXPECT_EQ(KeyboardKeyGrid[GridCell(1, 0)], 0);
    EXPECT_EQ(KeyboardKeyGrid[1 * 6 + 0], 0);
    EXPECT_EQ(GridKey(0, 4), 84);
    EXPECT_EQ(GridKey(22, 3), 119);
    EXPECT_EQ(GridKey(13, 3), 62);
    EXPECT_EQ(GridKey(0, 0), kNoKey);
    EXPECT_EQ(GridKey(23, 0), kNoKey);
    ASSERT_TRUE(GridPositionOf(108).has_value());
    EXPECT_EQ(GridPositionOf(108)->column, 6);
    EXPECT_EQ(GridPositionOf(108)->row, 5);
    EXPECT_FALSE(GridPositionOf(16).has_value());

    std::multiset<int> gridKeys, tableKeys;
    for (uint8_t key : KeyboardKeyGrid)
        if (key != kNoKey) gridKeys.insert(key);
    for (int cell = 0; cell < kPositionCells; ++cell) {
        const uint8_t key = PositionCellToKey(cell);
        if (key == kNoKey) continue;
        tableKeys.insert(key);
        // The table row follows the key's grid row.
        EXPECT_EQ(GridPositionOf(key)->row, cell / kPositionTableSide / 2) << cell;
    }
    EXPECT_EQ(gridKeys, tableKeys);
    EXPECT_EQ(PositionCellToKey(-1), kNoKey);
    EXPECT_EQ(PositionCellToKey(kPositionCells), kNoKey);
}
