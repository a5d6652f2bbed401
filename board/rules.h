// The rules: which tiles are free, which two tiles match, and the list of open pairs behind
// the hint.
#pragma once

#include <cstdint>

void UpdateFreeFlags();
bool TilesMatch(int a, int b);       // different tiles, both free, faces of one class
void BuildMoveList();
