#include "devices/keyboard/GridGeometry.h"

#include <array>
#include <cmath>
#include <vector>

#include "devices/keyboard/KeyboardLayout.h"
#include "devices/lighting/LightTables.h"

namespace q208 {

namespace {

// Keys are about as tall as they are wide, so rows and columns share one unit.
constexpr double kCentreColumn = (kGridColumns - 1) / 2.0;
constexpr double kCentreRow = (kGridRows - 1) / 2.0;
constexpr int kMaxSquaredDistance = (kGridColumns - 1) * (kGridColumns - 1) + (kGridRows - 1) * (kGridRows - 1);

struct Geometry {
    std::vector<GridKeyPlace> keys;
    std::vector<GridKeyPlace> serpentine;
    std::array<uint8_t, 256> sine{};
    std::array<uint16_t, kMaxSquaredDistance + 1> rootQuarters{};
    std::array<uint16_t, kGridCells> centreDistance{};
    std::array<uint8_t, kGridCells> centreAngle{};

    Geometry() {
        for (int row = 0; row < kGridRows; ++row) {
            for (int column = 0; column < kGridColumns; ++column) {
                const uint8_t key = GridKey(column, row);
                if (key != kNoKey)
                    keys.push_back({key, static_cast<uint8_t>(column), static_cast<uint8_t>(row)});
                const int walked = (row % 2 == 0) ? column : kGridColumns - 1 - column;
                if (const uint8_t k = GridKey(walked, row); k != kNoKey)
                    serpentine.push_back({k, static_cast<uint8_t>(walked), static_cast<uint8_t>(row)});
                const double dx = column - kCentreColumn;
                const double dy = row - kCentreRow;
                centreDistance[GridCell(column, row)] = static_cast<uint16_t>(std::lround(4 * std::hypot(dx, dy)));
                const double turn = std::atan2(dy, dx) / (2 * M_PI);  // −0.5 … 0.5
                centreAngle[GridCell(column, row)] =
                    static_cast<uint8_t>(static_cast<int>(std::lround((turn + 0.5) * kWheelSteps)) % kWheelSteps);
            }
        }
        for (int i = 0; i < 256; ++i)
            sine[i] = static_cast<uint8_t>(std::lround(128 + 127 * std::sin(2 * M_PI * i / 256)));
        for (int squared = 0; squared <= kMaxSquaredDistance; ++squared)
            rootQuarters[squared] = static_cast<uint16_t>(std::lround(4 * std::sqrt(squared)));
    }
};

const Geometry& TheGeometry() {
    static const Geometry geometry;
    return geometry;
}

bool InGrid(int column, int row) {
    return column >= 0 && column < kGridColumns && row >= 0 && row < kGridRows;
}

}  // namespace

std::span<const GridKeyPlace> GridKeys() { return TheGeometry().keys; }
std::span<const GridKeyPlace> SerpentineGridKeys() { return TheGeometry().serpentine; }

uint8_t SineByte(int index) { return TheGeometry().sine[static_cast<uint8_t>(index)]; }

int DistanceQuarters(int column1, int row1, int column2, int row2) {
    const int dx = column1 - column2;
    const int dy = row1 - row2;
    const int squared = dx * dx + dy * dy;
    if (squared > kMaxSquaredDistance) return static_cast<int>(std::lround(4 * std::sqrt(squared)));
    return TheGeometry().rootQuarters[squared];
}

int CentreDistanceQuarters(int column, int row) {
    return InGrid(column, row) ? TheGeometry().centreDistance[GridCell(column, row)] : 0;
}

int CentreAngleStep(int column, int row) {
    return InGrid(column, row) ? TheGeometry().centreAngle[GridCell(column, row)] : 0;
}

}  // namespace q208
