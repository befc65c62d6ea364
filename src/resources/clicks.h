// The sounds made at build time by make_clicks.
#pragma once

#include "platform/wintypes.h"

extern const BYTE WaveSwapData[2918];
extern const BYTE WaveSlideData[426];
extern const BYTE WaveChimeData[];
extern const unsigned WaveChimeSize;
