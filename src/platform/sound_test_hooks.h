// Seams for tests of sound: record instead of playing, look at the player, and point the
// system-sound lookup at a theme folder of the test's own.
#pragma once

#include "platform/wintypes.h"

#include <functional>
#include <string>

using TSoundRecorder = std::function<bool(const char* sound, UINT flags)>;

// While set, every sndPlaySoundA call goes to recorder, whose answer it returns, and
// nothing plays. An empty recorder restores playback.
void SetSoundRecorder(TSoundRecorder recorder);

// Whether a sound has started and has neither finished nor been stopped.
bool IsSoundPlaying();

// The folder searched for the desktop's sound theme; empty restores /usr/share/sounds.
void SetSoundThemeRoot(const std::string& folder);

// The theme's WAV file for a system sound alias, or empty when the theme has none.
std::string FindSystemSoundFile(const char* alias);

// Stops what plays and forgets the loaded player module: the next sound that plays looks
// for the module only at file, or where the program looks when file is empty.
void SetSoundModuleFile(const std::string& file);
