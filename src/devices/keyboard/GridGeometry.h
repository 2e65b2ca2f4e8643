#pragma once

#include <cstdint>
#include <span>

namespace q208 {

// A key of the key grid with its place.
struct GridKeyPlace {
    uint8_t key;
    uint8_t column;
    uint8_t row;
};

// Every key of the grid, row by row.
std::span<const GridKeyPlace> GridKeys();
// Every key of the grid in a serpentine walk (row 0 left to right, row 1 back, …).
std::span<const GridKeyPlace> SerpentineGridKeys();

// 128 + 127 × sin(2π × index / 256), for any index (taken modulo 256).
uint8_t SineByte(int index);
// Distance between two grid places, in quarter cells.
int DistanceQuarters(int column1, int row1, int column2, int row2);
// Distance of a grid place from the grid's centre, in quarter cells.
int CentreDistanceQuarters(int column, int row);
// Angle of a grid place around the grid's centre, as a wheel step 0 … 191.
int CentreAngleStep(int column, int row);

}  // namespace q208
