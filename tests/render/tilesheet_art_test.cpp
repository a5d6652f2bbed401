// Checks the shipped default tile sheet, data/GRAPHICS/TOLBEX13.BMP, against what the drawing of
// tiles relies on: its size and pixel format, pure white outside corners and face ground, a relief
// that is never see-through, and 42 faces that are all drawn and all different.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kCellW = 41, kCellH = 45;
constexpr uint32_t kWhite = 0xFFFFFF;

// A minimal reader for the one format the sheet is written in: 24-bit BI_RGB, rows bottom-up.
struct Sheet {
    std::vector<uint8_t> bytes;
    int width = 0, height = 0, bitCount = 0, compression = -1;
    uint32_t pixelOffset = 0, fileSizeField = 0, infoSize = 0;

    uint32_t U16(size_t at) const { return bytes[at] | (bytes[at + 1] << 8); }
    uint32_t U32(size_t at) const { return U16(at) | (U16(at + 2) << 16); }

    bool Load(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
        fileSizeField = U32(2);
        pixelOffset = U32(10);
        infoSize = U32(14);
        width = static_cast<int32_t>(U32(18));
        height = static_cast<int32_t>(U32(22));
        bitCount = static_cast<int>(U16(28));
        compression = static_cast<int>(U32(30));
        return true;
    }

    // 0xRRGGBB of the pixel at (x, y), y counted from the top.
    uint32_t At(int x, int y) const {
        const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
        const size_t at = pixelOffset + static_cast<size_t>(height - 1 - y) * rowBytes + 3 * x;
        return (bytes[at + 2] << 16) | (bytes[at + 1] << 8) | bytes[at];
    }
};

struct Cell {
    int face, x, y;
};

// The 42 faces and the cells they occupy, in sheet order.
std::vector<Cell> UsedCells() {
    std::vector<Cell> cells;
    for (int face = 1; face <= 42; ++face) {
        int col = 0, row = 0;
        if (face <= 27) {
            col = (face - 1) % 9;
            row = (face - 1) / 9;
        } else if (face <= 35) {
            col = face - 28;
            row = 3;
        } else {
            col = face - 36;
            row = 4;
        }
        cells.push_back({face, col * kCellW, row * kCellH});
    }
    return cells;
}

bool OutsideCorner(int x, int y) {
    return (x < 5 && y < 5 && x + y < 4) || (x >= 36 && y >= 40 && (x - 36) + (y - 40) > 4);
}

bool InFace(int x, int y) { return x >= 5 && y < 40; }

class TileSheetArt : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        loaded_ = sheet_.Load(std::string(TOLBEX_SOURCE_DIR) + "/data/GRAPHICS/TOLBEX13.BMP");
    }
    void SetUp() override { ASSERT_TRUE(loaded_) << "default tile sheet missing or not a BMP"; }

    static Sheet sheet_;
    static bool loaded_;
};
Sheet TileSheetArt::sheet_;
bool TileSheetArt::loaded_ = false;

TEST_F(TileSheetArt, IsA369By225UncompressedBottomUp24BitBitmap) {
    EXPECT_EQ(sheet_.width, 369);
    EXPECT_EQ(sheet_.height, 225);  // positive: rows stored bottom-up
    EXPECT_EQ(sheet_.bitCount, 24);
    EXPECT_EQ(sheet_.compression, 0);
    EXPECT_EQ(sheet_.infoSize, 40u);
    EXPECT_EQ(sheet_.pixelOffset, 54u);
    const size_t rowBytes = (369 * 3 + 3) & ~3;
    EXPECT_EQ(sheet_.bytes.size(), 54 + rowBytes * 225);
    EXPECT_EQ(sheet_.fileSizeField, sheet_.bytes.size());
}

TEST_F(TileSheetArt, CornersAreWhiteAndTheReliefIsOpaqueAndAlikeInEveryCell) {
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 9; ++col) {
            const int ox = col * kCellW, oy = row * kCellH;
            for (int y = 0; y < kCellH; ++y) {
                for (int x = 0; x < kCellW; ++x) {
                    const uint32_t c = sheet_.At(ox + x, oy + y);
                    if (OutsideCorner(x, y)) {
                        ASSERT_EQ(c, kWhite) << "cell " << col << "," << row << " at " << x << "," << y;
                    } else if (!InFace(x, y)) {
                        // Flanks and slants: never the transparent white, the same in every cell.
                        ASSERT_NE(c, kWhite) << "cell " << col << "," << row << " at " << x << "," << y;
                        ASSERT_EQ(c, sheet_.At(x, y)) << "cell " << col << "," << row << " at " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST_F(TileSheetArt, FacesHaveAWhiteGroundAndAnOutlineTheTintCannotReach) {
    for (const Cell& cell : UsedCells()) {
        int white = 0, inked = 0;
        for (int y = 1; y < 39; ++y) {
            for (int x = 6; x < 40; ++x) {
                (sheet_.At(cell.x + x, cell.y + y) == kWhite ? white : inked) += 1;
            }
        }
        const int area = 34 * 38;
        EXPECT_GT(white * 10, area * 3) << "face " << cell.face << " has too little white ground";
        EXPECT_GT(inked * 10, area) << "face " << cell.face << " is (nearly) blank";
        // The coloured manners fill all but the top row and right column of the face: those must
        // carry the outline, since white there would show whatever lies under the tile.
        for (int x = 5; x < 41; ++x) EXPECT_NE(sheet_.At(cell.x + x, cell.y), kWhite) << "face " << cell.face;
        for (int y = 0; y < 40; ++y) EXPECT_NE(sheet_.At(cell.x + 40, cell.y + y), kWhite) << "face " << cell.face;
        // The ground just inside the outline is white at the middle of each side.
        EXPECT_EQ(sheet_.At(cell.x + 22, cell.y + 1), kWhite) << "face " << cell.face;
        EXPECT_EQ(sheet_.At(cell.x + 6, cell.y + 20), kWhite) << "face " << cell.face;
        EXPECT_EQ(sheet_.At(cell.x + 39, cell.y + 20), kWhite) << "face " << cell.face;
        EXPECT_EQ(sheet_.At(cell.x + 22, cell.y + 38), kWhite) << "face " << cell.face;
    }
}

TEST_F(TileSheetArt, EveryFaceDiffersFromEveryOther) {
    const std::vector<Cell> cells = UsedCells();
    auto differing = [&](const Cell& a, const Cell& b) {
        int n = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 5; x < 41; ++x) n += sheet_.At(a.x + x, a.y + y) != sheet_.At(b.x + x, b.y + y);
        return n;
    };
    for (size_t i = 0; i < cells.size(); ++i) {
        for (size_t j = i + 1; j < cells.size(); ++j) {
            // Not merely different: different enough to be told apart on the board.
            EXPECT_GT(differing(cells[i], cells[j]), 60)
                << "faces " << cells[i].face << " and " << cells[j].face << " look alike";
        }
    }
}

}  // namespace
