// The Tile size commands on the headless front end: Automatic follows the screen and its pixel
// ratio, each size lays the window out again with the game, the pause and the radio mark kept,
// and the choice survives a restart through the settings file.
#include "shell_fixture.h"

#include <cstring>

#include "render/scale.h"

namespace shelltest {
namespace {

class TileSizeTest : public ShellTest {
protected:
    void TearDown() override {
        ShellTest::TearDown();
        drawScale = 1;
    }
    static void ExpectChecked(int id) {
        for (int k = IDM_TILE_SIZE_AUTO; k <= IDM_TILE_SIZE_HUGE; ++k) EXPECT_EQ(fake::IsChecked(k), k == id) << k;
    }
    // The middle of tile i's face on the surface at the current scale, and the same point of its
    // picture selected (inverted) in the tile sheet of that scale.
    static uint32_t FaceMiddle(int i) {
        const int s = fake::WindowScale();
        return fake::Surface().row((Board.tiles[i].y + 20) * s)[(Board.tiles[i].x + 23) * s];
    }
    static uint32_t SelectedMiddle(int i) {
        const int s = fake::WindowScale();
        return ~DrawnTileSheet()->row((Board.tiles[i].sheetY + 20) * s)[(Board.tiles[i].sheetX + 23) * s] & 0xFFFFFFu;
    }
};

TEST_F(TileSizeTest, AutomaticFitsTheScreenAndEachSizeRelaysTheWindowWithoutTouchingTheGame) {
    fake::SetScreenArea({3000, 2000, 16, 90, 1});
    ASSERT_EQ(WinMain(), 0);
    EXPECT_TRUE(Settings.tileSize == 0 && fake::WindowScale() == 3);
    EXPECT_EQ(fake::WindowWidth(), Board.width);   // the board itself keeps its size

    const int tile = FreeTiles().at(0);
    ClickTile(tile);   // clicks stay in board pixels whatever the scale
    ASSERT_EQ(GameState.selected, tile);
    const BoardRecord before = Board;
    for (auto [id, scale] : {std::pair{IDM_TILE_SIZE_NORMAL, 1}, {IDM_TILE_SIZE_LARGE, 2}, {IDM_TILE_SIZE_HUGE, 3},
                             {IDM_TILE_SIZE_AUTO, 3}}) {
        SCOPED_TRACE(id);
        Command(id);
        ExpectChecked(id);
        EXPECT_EQ(fake::WindowScale(), scale);
        EXPECT_EQ(fake::Surface().width(), Board.width * scale);
        EXPECT_EQ(std::memcmp(&Board, &before, sizeof Board), 0);
        EXPECT_EQ(GameState.selected, tile);
        EXPECT_EQ(FaceMiddle(tile), SelectedMiddle(tile));
    }
    // A smaller screen: Automatic takes the largest size that fits.
    fake::SetScreenArea({1600, 1000, 16, 90, 1});
    Command(IDM_TILE_SIZE_AUTO);
    EXPECT_EQ(fake::WindowScale(), 2);
    Command(IDM_TILE_SIZE_NORMAL);
    fake::SetScreenArea({1600, 1000, 16, 90, 2});   // moved to a 2x screen: the 2x art at Normal
    fake::Send(platform::WM_DISPLAYCHANGE);
    EXPECT_EQ(fake::WindowScale(), 2);
    EXPECT_EQ(FaceMiddle(tile), SelectedMiddle(tile));

    Command(IDM_PAUSE);
    Command(IDM_TILE_SIZE_LARGE);
    EXPECT_TRUE(GameState.paused == 1 && fake::IsChecked(IDM_PAUSE));
    EXPECT_EQ(FaceMiddle(tile) & 0xFFFFFF, platform::ColorRefToPixel(Settings.backgroundColor));

    Restart();
    ExpectChecked(IDM_TILE_SIZE_LARGE);
    EXPECT_EQ(fake::WindowScale(), 2);   // the fake's default screen is 1024 x 768 at ratio 1
    EXPECT_EQ(static_cast<uint8_t>(ReadFile(settingsPath).at(2)), 2);
}

}  // namespace
}  // namespace shelltest
