#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "devices/lighting/KeyStateBuffer.h"

namespace q208 {

inline constexpr int kKeyTableRows = 170;
static_assert(kKeyTableRows <= kMaxLightKeys, "the key states must hold every keyboard key");
inline constexpr int kFirstSpareRow = 130;  // rows 130 … 169 are spare rows without a key
inline constexpr int kGridRows = 6;
inline constexpr int kGridColumns = 23;
inline constexpr int kGridCells = kGridRows * kGridColumns;
inline constexpr int kPositionTableSide = 12;
inline constexpr int kPositionCells = kPositionTableSide * kPositionTableSide;
inline constexpr uint8_t kNoKey = 0xFF;

// Key function code types of the key table.
inline constexpr uint8_t kCodeKeyboardKey = 0x20;
inline constexpr uint8_t kCodeConsumer = 0x30;
inline constexpr uint8_t kCodeKeyboardFunction = 0xA0;
inline constexpr uint8_t kCodeKeyboardFunction2 = 0xD0;

// The 3-byte key function code of a key-table row: type, then two values.
struct KeyCode {
    uint8_t type = 0;
    uint8_t first = 0;
    uint8_t second = 0;
    friend bool operator==(const KeyCode&, const KeyCode&) = default;
};

struct KeyTableRow {
    KeyCode code;
    bool hasKey = false;
};

// The keyboard's 170 key-table rows; the row is the key index of the page.
extern const std::array<KeyTableRow, kKeyTableRows> KeyboardKeyTable;

// The physical 6 × 23 key grid, stored column by column (cell = column × 6 + row), each
// cell a key-table row or kNoKey.
extern const std::array<uint8_t, kGridCells> KeyboardKeyGrid;

inline constexpr int GridCell(int column, int row) { return column * kGridRows + row; }
uint8_t GridKey(int column, int row);  // kNoKey outside the grid

struct GridPosition {
    int column = 0;
    int row = 0;
};
// Where a key-table row sits in the grid; rows outside the grid have none.
std::optional<GridPosition> GridPositionOf(int keyRow);

// The 12 × 12 position table, cell = table row × 12 + table column. Each grid row g is
// spread over table rows 2g and 2g + 1: the even table row holds the grid's even columns
// (0, 2, … 22), the odd table row its odd columns (1, 3, … 21, and nothing in column 11).
// So every grid key has exactly one cell, and table rows follow the keyboard's rows.
extern const std::array<uint8_t, kPositionCells> KeyboardPositionTable;
// The key-table row of a position-table cell, kNoKey for an empty or invalid cell.
uint8_t PositionCellToKey(int cell);

}  // namespace q208
