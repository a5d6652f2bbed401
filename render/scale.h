// The drawing scale: choosing it from the tile size and the screen, and making the tile sheet
// and the background picture at that scale. The game's positions stay in board pixels; only the
// drawing multiplies them.
#pragma once

#include "platform/platform.h"

// The built-in sheet drawn at two and three pixels a unit by the same generator as the 1x one.
extern const unsigned char kBuiltInTileSheet2[];
extern const unsigned long kBuiltInTileSheet2Size;
extern const unsigned char kBuiltInTileSheet3[];
extern const unsigned long kBuiltInTileSheet3Size;

// The tile size the player asked for, as a factor: 1..3 for Normal, Large, Huge; for Automatic
// (0, or any value outside 1..3) the largest factor whose window fits the available area, at
// least 1.
int ChosenTileFactor(int tileSize, int boardWidth, int boardHeight, const platform::ScreenArea& room);
// The drawing scale: the factor times the pixel ratio, at most kMaxDrawScale and small enough
// that the board stays within 4096 pixels a side; at least 1.
int DrawScaleFor(int factor, int pixelRatio, int boardWidth, int boardHeight);

// Sets drawScale and makes TileSheet.scaled and BackgroundPicture.scaled for it: the built-in
// sheet from its own art at that size, any other sheet and the background enlarged smoothly.
// At scale 1 both are released.
void SetDrawScale(int scale);
// Makes the scaled pictures again for the current drawScale (after the sheet or the background
// changed).
void RescaleBoardGraphics();
void ReleaseScaledGraphics();

// The sheet and the background as drawn: the scaled picture when there is one.
platform::Bitmap* DrawnTileSheet();
platform::Bitmap* DrawnBackground();

// A new bitmap `factor` times larger on each side: smooth (bilinear, pixel centres aligned) or
// in blocks (each pixel repeated). Only the top-left width x height of the source is used.
platform::Bitmap* EnlargeSmooth(const platform::Bitmap& source, int factor, int width, int height);
platform::Bitmap* EnlargeBlocks(const platform::Bitmap& source, int factor);
