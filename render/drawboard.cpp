// Drawing the whole board: background colour, background picture and every tile composed in the
// off-screen BoardBuffer, then copied to the window in one block. DrawBoard also ends a pause and
// starts the end-of-game flow once; ClearBoard paints the background alone into the window.
#include "render/drawboard.h"

#include <algorithm>

#include "board/state.h"
#include "persist/halloffame.h"
#include "platform/bitmap.h"
#include "render/drawtile.h"
#include "render/scale.h"
#include "resources/ids.h"

namespace {

// The buffer never grows past this on either side, whatever size a saved game claims.
constexpr int kMaxBufferSidePx = 4096;

// The board area in window pixels, at the drawing scale.
int ScaledWidth() { return Board.width * drawScale; }
int ScaledHeight() { return Board.height * drawScale; }

// Makes BoardBuffer again when the board area has outgrown it (a layout or saved game with a
// larger board than the one the buffer was made for, or a larger drawing scale); a smaller board
// keeps the buffer.
void FitBoardBuffer() {
    const int width = std::clamp<int>(ScaledWidth(), 1, kMaxBufferSidePx);
    const int height = std::clamp<int>(ScaledHeight(), 1, kMaxBufferSidePx);
    if (BoardBuffer && BoardBuffer->width() >= width && BoardBuffer->height() >= height) return;
    const int newWidth = std::max(width, BoardBuffer ? BoardBuffer->width() : 0);
    const int newHeight = std::max(height, BoardBuffer ? BoardBuffer->height() : 0);
    platform::DeleteBitmap(BoardBuffer);
    BoardBuffer = new platform::Bitmap(newWidth, newHeight);
}

// Background colour over the board area, then the background picture at its own size (times
// the drawing scale) from the top-left corner, cut where the target ends.
void PaintBackground(platform::DeviceContext& target) {
    platform::FillRect(target, 0, 0, ScaledWidth(), ScaledHeight(), Settings.backgroundColor);
    if (Settings.backgroundPath[0] != '\0' && BackgroundPicture.bitmap) {
        platform::DeviceContext picture;
        picture.bitmap = DrawnBackground();
        platform::BitBlt(target, 0, 0, BackgroundPicture.width * drawScale, BackgroundPicture.height * drawScale,
                         picture, 0, 0, platform::SRCCOPY);
    }
}

// Background, picture and every tile still on the board, in index order.
void Compose(platform::DeviceContext& target) {
    platform::DeviceContext sheet;
    sheet.bitmap = DrawnTileSheet();
    PaintBackground(target);
    for (int i = 0; i < kTileCount; ++i)
        if (Board.tiles[i].face != 0) DrawTile(target, sheet, i);
}

}  // namespace

// At scale 1 the board is composed in BoardBuffer and copied to the window in one block. At the
// larger scales it is composed in the window's own bitmap, which the front end shows only after
// ReleaseDC, so no half-drawn board is ever seen: the copy would double the memory traffic of a
// board of up to ten megabytes.
void DrawBoard(platform::Window window) {
    platform::DeviceContext windowDc = platform::GetDC(window);
    if (drawScale == 1) {
        FitBoardBuffer();
        platform::DeviceContext buffer;
        buffer.bitmap = BoardBuffer;
        Compose(buffer);
        platform::BitBlt(windowDc, 0, 0, ScaledWidth(), ScaledHeight(), buffer, 0, 0, platform::SRCCOPY);
    } else {
        Compose(windowDc);
    }
    platform::ReleaseDC(window, windowDc);

    if (GameState.paused == 1) {
        GameState.paused = 0;
        platform::CheckMenuItem(window, IDM_PAUSE, false);
    }
    // The flag goes up before the flow starts: its dialogs let paint requests in, and the
    // DrawBoard calls they make must not start the flow a second time.
    if (GameState.won == 1 && GameState.endShown == 0) {
        GameState.endShown = 1;
        EnterHallOfFame(window);
    }
}

void ClearBoard(platform::Window window) {
    platform::DeviceContext windowDc = platform::GetDC(window);
    PaintBackground(windowDc);
    platform::ReleaseDC(window, windowDc);
}
