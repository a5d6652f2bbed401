// The picture and the text the layout chooser shows beside its list for the highlighted file.
#pragma once

#include "board/state.h"
#include "platform/bitmap.h"
#include "platform/platform.h"

// Draws the tiles of a scratch board (numbered in paint order; the faces are given here in the
// order of the deal table) in the plain manner with the current tile sheet, over the background
// colour, into a new bitmap cut to the tiles with a margin of 16 pixels. The caller owns the bitmap.
platform::Bitmap* DrawLayoutPreview(BoardRecord& scratch);

// The chooser's preview: our own layouts and other games' files (their first map, converted in
// memory). The picture stays valid until the next call.
void LayoutPreview(const char* path, platform::FilePreview& preview);
