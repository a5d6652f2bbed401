// The Top 10 of each layout: its scores file, the ranking, the win and Top 10 dialogs.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr long kScoresFileSize = 380;

void FormatTime(int32_t hours, int32_t minutes, int32_t seconds, char out[10]);
void LoadHallOfFame(platform::Window window);
void SaveHallOfFame(platform::Window window);
void SortHallOfFame(int16_t lo, int16_t hi);
void EnterHallOfFame(platform::Window window);
intptr_t WinDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);
intptr_t TopTenDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);
