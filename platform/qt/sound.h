// The SDL side of the sound service: what platform/qt/sound.cpp offers beyond platform.h.
// PlaySound, WaveOutGetNumDevs and MciSendString open SDL audio on first use; CloseSound gives
// it back (it also runs at exit) and a later call opens it again.
#pragma once

namespace platform {

void CloseSound();

// How long the output device must be idle (no sound playing, no music open) before it is given
// back; 5 s unless set. The look is a timer of the application's event loop.
void SetSoundIdleClose(int milliseconds);

// Results of MciSendString besides 0 (done); callers ignore them, tests read them.
constexpr unsigned kMciUnrecognizedCommand = 261;
constexpr unsigned kMciInvalidDeviceName = 263;   // the alias is not open
constexpr unsigned kMciCannotLoadDriver = 266;    // no audio output could be opened
constexpr unsigned kMciFileNotFound = 275;        // the file is missing or not playable music
constexpr unsigned kMciDuplicateAlias = 289;      // the alias is already open

}  // namespace platform
