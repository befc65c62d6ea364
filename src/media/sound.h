// The game's sounds: clicks from the program's resources and named system sounds. Both
// play asynchronously; failures are silent.
#pragma once

class TModule;

// Stops what is playing and plays the WAV resource with this number from memory.
void PlayWaveResource(TModule* module, int resourceId);

// Plays a sound file or system sound alias ("SystemStart"); nothing, not even a beep,
// when there is no sound behind the name.
void PlaySoundName(const char* name);
