// Sound playback in the manner of sndPlaySoundA. Failure is silence, never an error.
#pragma once

#include "platform/wintypes.h"

// With SND_MEMORY, sound points at a whole WAV image held by the caller for as long as
// it plays; with SND_ALIAS it names a system sound ("SystemStart"); otherwise a file
// path. A null sound stops what is playing. SND_ASYNC returns at once; only one sound
// plays at a time and a new one cuts the previous one short.
BOOL sndPlaySoundA(const char* sound, UINT flags);
