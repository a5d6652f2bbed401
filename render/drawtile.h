// Drawing one tile into the board buffer: plain, in its level's colour or in the exposed colour,
// with the selection and hint marks.
#pragma once

#include <cstdint>

#include "platform/bitmap.h"

void DrawTile(platform::DeviceContext& buffer, platform::DeviceContext& sheet, int index);
void DrawTileShape(platform::DeviceContext& dst, platform::DeviceContext& sheet, int index);
// The plain picture of a tile record of any board (the chooser's preview draws a scratch board).
struct TileRecord;
void DrawTileShape(platform::DeviceContext& dst, platform::DeviceContext& sheet, const TileRecord& tile);
void DrawTransparent(platform::DeviceContext& dst, platform::DeviceContext& src, int32_t srcX,
                     int32_t srcY, int32_t width, int32_t height, int32_t dstX, int32_t dstY,
                     uint32_t transparentColor);
