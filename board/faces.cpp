// Where each face's picture lies in the tile sheet. The sheet is a grid of 9 x 5 cells of
// 41 x 45 pixels; each run of faces fills one sheet row from the left.
#include "board/faces.h"

#include "board/state.h"

namespace {

// One run of consecutive faces that share a sheet row.
struct FaceRun {
    int16_t firstFace;
    int16_t lastFace;
    int16_t sheetRow;
};

constexpr FaceRun kFaceRuns[] = {
    {1, 9, 0},     // first suit
    {10, 18, 1},   // second suit
    {19, 27, 2},   // third suit
    {28, 35, 3},   // the two four-face classes, one picture each; column 8 unused
    {36, 42, 4},   // the remaining four-of-a-kind faces; columns 7 and 8 unused
};

const FaceRun* FindRun(int16_t face) {
    for (const FaceRun& run : kFaceRuns)
        if (face >= run.firstFace && face <= run.lastFace) return &run;
    return nullptr;
}

}  // namespace

int16_t FaceSheetX(int16_t face) {
    const FaceRun* run = FindRun(face);
    return run ? static_cast<int16_t>((face - run->firstFace) * kTileWidthPx) : 0;
}

int16_t FaceSheetY(int16_t face) {
    const FaceRun* run = FindRun(face);
    return run ? static_cast<int16_t>(run->sheetRow * kTileHeightPx) : 0;
}
