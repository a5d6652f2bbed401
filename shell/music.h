// MIDI music through the sequencer alias FichierMIDI, and the four music commands.
#pragma once

#include "platform/platform.h"

int ChooseMidiFile(platform::Window window, char path[500]);
void PlayMidiFile(platform::Window window, const char* path);
void MusicCommand(platform::Window window, int commandId);   // 1118..1121, sound check passed
