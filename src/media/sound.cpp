#include "media/sound.h"

#include <cstring>

#include "platform/sound.h"
#include "platform/winconst.h"
#include "resources/rcdata.h"

void PlayWaveResource(TModule*, int resourceId) {
  // The clicks always come from the program's own resources.
  const TRcData wave = FindRcData(resourceId);
  if (wave.Data == nullptr) return;
  sndPlaySoundA(nullptr, 0);
  sndPlaySoundA(reinterpret_cast<const char*>(wave.Data), SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
}

void PlaySoundName(const char* name) {
  if (name == nullptr) return;
  if (sndPlaySoundA(name, SND_ASYNC | SND_NODEFAULT)) return;
  // A desktop without a start-up sound hears our own chime instead.
  if (std::strcmp(name, "SystemStart") == 0) {
    const TRcData chime = FindRcData(WAVE_CHIME);
    sndPlaySoundA(reinterpret_cast<const char*>(chime.Data),
                  SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
  }
}
