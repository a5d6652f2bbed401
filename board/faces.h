// Where each face's picture lies in the tile sheet: a grid of 9 x 5 cells of 41 x 45 pixels.
#pragma once

#include <cstdint>

int16_t FaceSheetX(int16_t face);   // 0 for a face outside 1..42
int16_t FaceSheetY(int16_t face);
