#include "devices/keyboard/KeyboardLayout.h"

namespace q208 {

namespace {

constexpr KeyTableRow Plain(uint8_t usage) { return {{kCodeKeyboardKey, 0, usage}, true}; }
constexpr KeyTableRow Code(uint8_t type, uint8_t first, uint8_t second) {
    return {{type, first, second}, true};
}
constexpr KeyTableRow Empty() { return {{kCodeKeyboardKey, 0, 0}, false}; }

constexpr std::array<KeyTableRow, kKeyTableRows> MakeKeyTable() {
    std::array<KeyTableRow, kKeyTableRows> t{};
    constexpr std::array<uint8_t, 130> usages = {
        0x29, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42,  //   0 …   9
        0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x00, 0x00, 0x00, 0x00,  //  10 …  19
        0x00, 0x35, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25,  //  20 …  29
        0x26, 0x27, 0x2D, 0x2E, 0x2A, 0x49, 0x4A, 0x4B, 0x53, 0x54,  //  30 …  39
        0x55, 0x56, 0x2B, 0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18,  //  40 …  49
        0x0C, 0x12, 0x13, 0x2F, 0x30, 0x31, 0x4C, 0x4D, 0x4E, 0x5F,  //  50 …  59
        0x60, 0x61, 0x32, 0x39, 0x04, 0x16, 0x07, 0x09, 0x0A, 0x0B,  //  60 …  69
        0x0D, 0x0E, 0x0F, 0x33, 0x34, 0x28, 0x5C, 0x5D, 0x5E, 0x8A,  //  70 …  79
        0x8B, 0x90, 0x91, 0x88, 0x00, 0x1D, 0x1B, 0x06, 0x19, 0x05,  //  80 …  89
        0x11, 0x10, 0x36, 0x37, 0x38, 0x00, 0x52, 0x59, 0x5A, 0x5B,  //  90 …  99
        0x87, 0x89, 0x64, 0x85, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00,  // 100 … 109
        0x00, 0x65, 0x00, 0x50, 0x51, 0x4F, 0x62, 0x63, 0x58, 0x57,  // 110 … 119
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 120 … 129
    };
    for (int row = 0; row < 130; ++row) t[row] = Plain(usages[row]);
    for (int row = 130; row < kKeyTableRows; ++row) t[row] = Empty();
    for (uint8_t i = 0; i < 4; ++i) t[16 + i] = Code(kCodeKeyboardFunction, 0x47, i);
    t[20] = Empty();
    t[84] = Code(kCodeKeyboardKey, 0x02, 0);
    t[95] = Code(kCodeKeyboardKey, 0x20, 0);
    t[104] = Empty();
    t[105] = Code(kCodeKeyboardKey, 0x01, 0);
    t[106] = Code(kCodeKeyboardKey, 0x08, 0);
    t[107] = Code(kCodeKeyboardKey, 0x04, 0);
    t[109] = Code(kCodeKeyboardKey, 0x40, 0);
    t[110] = Code(kCodeKeyboardFunction, 0x01, 0);
    t[112] = Code(kCodeKeyboardKey, 0x10, 0);
    for (uint8_t i = 0; i < 5; ++i) t[120 + i] = Code(kCodeKeyboardFunction2, 0xA2, i + 1);
    t[125] = Code(kCodeKeyboardKey, 0x80, 0);
    t[126] = Code(kCodeConsumer, 0xE2, 0x00);
    t[127] = Code(kCodeConsumer, 0x92, 0x01);
    t[128] = Code(kCodeKeyboardKey, 0x08, 0x0F);
    t[129] = Code(kCodeKeyboardKey, 0x08, 0x07);
    return t;
}

constexpr uint8_t _ = kNoKey;
// Row by row as the keyboard is built; transposed into column order below.
constexpr uint8_t kGridByRow[kGridRows][kGridColumns] = {
    {_, 0, _, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, _, 13, 14, 15, 126, 127, 128, 129},
    {_, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, _, 34, 35, 36, 37, 38, 39, 40, 41},
    {_, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, _, 55, 56, 57, 58, 59, 60, 61, _},
    {_, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 62, _, 75, _, _, _, 76, 77, 78, 119},
    {84, 102, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 100, _, _, 95, _, 96, _, 97, 98, 99, 118},
    {105, 106, 107, _, _, _, 108, _, _, _, 109, 110, 111, _, 112, _, 113, 114, 115, 116, _, 117, _},
};

constexpr std::array<uint8_t, kGridCells> MakeGrid() {
    std::array<uint8_t, kGridCells> grid{};
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            grid[GridCell(column, row)] = kGridByRow[row][column];
    return grid;
}

constexpr std::array<uint8_t, kPositionCells> MakePositionTable() {
    std::array<uint8_t, kPositionCells> table{};
    for (auto& cell : table) cell = kNoKey;
    for (int tableRow = 0; tableRow < kPositionTableSide; ++tableRow) {
        const int gridRow = tableRow / 2;
        for (int tableColumn = 0; tableColumn < kPositionTableSide; ++tableColumn) {
            const int gridColumn = tableColumn * 2 + tableRow % 2;
            if (gridColumn < kGridColumns)
                table[tableRow * kPositionTableSide + tableColumn] = kGridByRow[gridRow][gridColumn];
        }
    }
    return table;
}

struct PositionIndex {
    std::array<int8_t, kKeyTableRows> column{};
    std::array<int8_t, kKeyTableRows> row{};
};

constexpr PositionIndex MakePositionIndex() {
    PositionIndex index{};
    for (int key = 0; key < kKeyTableRows; ++key) index.column[key] = index.row[key] = -1;
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            if (const uint8_t key = kGridByRow[row][column]; key != kNoKey) {
                index.column[key] = static_cast<int8_t>(column);
                index.row[key] = static_cast<int8_t>(row);
            }
    return index;
}

constexpr PositionIndex kPositionIndex = MakePositionIndex();

}  // namespace

const std::array<KeyTableRow, kKeyTableRows> KeyboardKeyTable = MakeKeyTable();
const std::array<uint8_t, kGridCells> KeyboardKeyGrid = MakeGrid();
const std::array<uint8_t, kPositionCells> KeyboardPositionTable = MakePositionTable();

uint8_t GridKey(int column, int row) {
    if (column < 0 || column >= kGridColumns || row < 0 || row >= kGridRows) return kNoKey;
    return KeyboardKeyGrid[GridCell(column, row)];
}

std::optional<GridPosition> GridPositionOf(int keyRow) {
    if (keyRow < 0 || keyRow >= kKeyTableRows || kPositionIndex.column[keyRow] < 0)
        return std::nullopt;
    return GridPosition{kPositionIndex.column[keyRow], kPositionIndex.row[keyRow]};
}

uint8_t PositionCellToKey(int cell) {
    if (cell < 0 || cell >= kPositionCells) return kNoKey;
    return KeyboardPositionTable[cell];
}

}  // namespace q208
