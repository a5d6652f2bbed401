// The Top 10 of each layout: its scores file, the ranking, the win and Top 10 dialogs.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr long kScoresFileSize = 380;
constexpr int kHallOfFameRowSize = 38;   // one row in a scores file or a saved game

struct HallOfFameEntry;

// The 38-byte stored row, shared by the scores file and the saved game. Decoding cuts a text
// field that holds no NUL at the field's end.
void EncodeHallOfFameRow(const HallOfFameEntry& row, uint8_t out[kHallOfFameRowSize]);
void DecodeHallOfFameRow(const uint8_t in[kHallOfFameRowSize], HallOfFameEntry& row);

void FormatTime(int32_t hours, int32_t minutes, int32_t seconds, char out[10]);
void LoadHallOfFame(platform::Window window);
// The time in the first row of the scores file at `scoresPath`, read without touching the Top 10
// in memory; false (and `out` empty) when the file is missing or not a scores file.
bool ReadBestTime(const char* scoresPath, char out[10]);
void SaveHallOfFame(platform::Window window);
void SortHallOfFame(int16_t lo, int16_t hi);
void EnterHallOfFame(platform::Window window);
intptr_t WinDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);
intptr_t TopTenDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);
