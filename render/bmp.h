// The BMP reader and the bitmap chooser.
#pragma once

#include "platform/bitmap.h"
#include "platform/platform.h"

void LoadBmpFile(platform::Window window, const char* path, platform::Bitmap** slot);
// Reads BMP bytes already in memory (the built-in tile sheet); null when refused.
platform::Bitmap* DecodeBmp(const unsigned char* data, unsigned long size);
int ChooseBmpFile(platform::Window window, char path[500], platform::Bitmap** slot);
