// Finding and loading the sound player module, once, on the first sound that plays.
#pragma once

#include "platform/sound_player_module.h"

// The player, loading its module on the first call: from the program's directory, else
// from where the build made it. Null when it cannot be loaded, which means silence.
const TSoundPlayerTable* SoundPlayer();

// The player when its module is loaded already; never loads it.
const TSoundPlayerTable* LoadedSoundPlayer();
