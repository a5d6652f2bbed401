// Start-up and shutdown of the program and its main window.
#pragma once

#include "platform/platform.h"

int WinMain();                                    // the whole run; returns the exit code
void SizeMainWindow(platform::Window window, platform::Window status);
void CheckTileSize(platform::Window window);      // the round mark on Settings.tileSize's item
bool CheckSoundCard();
void OnCreateMainWindow(platform::Window window); // the creation handler (WM_CREATE)
// The sound card test and the music of the settings, once per main window, after its first picture.
void StartSound(platform::Window window);
// ShutDown is declared in board/layout.h, which calls it too.
