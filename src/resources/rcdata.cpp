#include "resources/rcdata.h"

#include "resources/clicks.h"

TRcData FindRcData(int id) {
  switch (id) {
    case 10:
      return {WaveSwapData, sizeof WaveSwapData};
    case 11:
      return {WaveSlideData, sizeof WaveSlideData};
    case WAVE_CHIME:
      return {WaveChimeData, WaveChimeSize};
    default:
      return {};
  }
}
