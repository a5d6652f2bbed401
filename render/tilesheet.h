// The graphic objects of the board: the off-screen buffer, the tile sheet and the background
// picture, and the two commands that change the pictures.
#pragma once

#include "platform/platform.h"

constexpr int kSheetWidthPx = 369;
constexpr int kSheetHeightPx = 225;

extern const unsigned char kBuiltInTileSheet[];     // the default sheet as a BMP file
extern const unsigned long kBuiltInTileSheetSize;

void CreateBoardGraphics(platform::Window window);
void ChangeTileSheet(platform::Window window);
void ChangeBackground(platform::Window window);
void ReleaseBoardGraphics();                        // ShutDown's step 3
