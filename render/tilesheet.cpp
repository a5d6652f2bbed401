// The graphic objects of the board: the off-screen buffer, the tile sheet (from its file, or the
// sheet built into the program when the file gives none) and the background picture, with the
// "Change graphics" and "Change background" commands and their release at shutdown.
#include "render/tilesheet.h"

#include <algorithm>
#include <cstring>

#include "board/state.h"
#include "platform/bitmap.h"
#include "render/bmp.h"
#include "render/scale.h"

namespace {

constexpr const char* kSheetSizeMessage = "The tile picture must be 369 x 225 pixels.";

void TakeBackgroundSize() {
    const platform::Bitmap* b = BackgroundPicture.bitmap;
    BackgroundPicture.width = b ? b->width() : 0;
    BackgroundPicture.height = b ? b->height() : 0;
}

}  // namespace

void CreateBoardGraphics(platform::Window window) {
    platform::DeviceContext dc = platform::GetDC(window);
    platform::DeleteBitmap(BoardBuffer);
    BoardBuffer = new platform::Bitmap(std::max<int>(Board.width, 1), std::max<int>(Board.height, 1));
    platform::ReleaseDC(window, dc);

    platform::DeleteBitmap(TileSheet.bitmap);
    platform::DeleteBitmap(BackgroundPicture.bitmap);
    TakeBackgroundSize();
    LoadBmpFile(window, Settings.tileSheetPath, &TileSheet.bitmap);
    // A sheet file that cannot be read still leaves a playable game: the built-in sheet stands in.
    // The path is kept, so the settings file goes on naming the player's choice.
    if (!TileSheet.bitmap) TileSheet.bitmap = DecodeBmp(kBuiltInTileSheet, kBuiltInTileSheetSize);

    if (Settings.backgroundPath[0] != '\0') {
        LoadBmpFile(window, Settings.backgroundPath, &BackgroundPicture.bitmap);
        TakeBackgroundSize();
    }
    RescaleBoardGraphics();
}

void ChangeTileSheet(platform::Window window) {
    platform::Bitmap* candidate = nullptr;
    char path[kPathSize] = {};
    if (ChooseBmpFile(window, path, &candidate) == 0) return;
    if (candidate && candidate->width() == kSheetWidthPx && candidate->height() == kSheetHeightPx) {
        platform::DeleteBitmap(TileSheet.bitmap);
        TileSheet.bitmap = candidate;
        std::memcpy(Settings.tileSheetPath, path, kPathSize);
        RescaleBoardGraphics();
        return;
    }
    platform::DeleteBitmap(candidate);
    platform::MessageBox(window, kSheetSizeMessage, kCaption, platform::MB_OK | platform::MB_ICONINFORMATION);
}

// Cancelling the chooser is how the player removes the picture: the path is emptied and the
// previous picture released either way.
void ChangeBackground(platform::Window window) {
    ChooseBmpFile(window, Settings.backgroundPath, &BackgroundPicture.bitmap);
    TakeBackgroundSize();
    RescaleBoardGraphics();
}

void ReleaseBoardGraphics() {
    ReleaseScaledGraphics();
    platform::DeleteBitmap(TileSheet.bitmap);
    platform::DeleteBitmap(BoardBuffer);
    platform::DeleteBitmap(BackgroundPicture.bitmap);
    BackgroundPicture.width = 0;
    BackgroundPicture.height = 0;
}
