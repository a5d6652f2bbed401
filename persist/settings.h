// The settings file TOLBEX13.CFG: 3640 bytes in the config directory, read once at start-up and
// written once at exit.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr long kSettingsFileSize = 3640;

// Builds the settings path in a 144-character buffer; false (and an empty path) when it does not
// fit, in which case the file counts as absent and is never written.
bool BuildSettingsPath(char out[144]);
void LoadSettings();
void SaveSettings(platform::Window owner);
