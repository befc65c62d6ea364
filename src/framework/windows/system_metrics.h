// Measures of the desktop the game asks for: the screen's size, a caption's height,
// border widths and the work area (the screen less the desktop's panels).
#pragma once

#include "framework/graphics/geometry.h"
#include "platform/wintypes.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;

// The measure in pixels; 0 for one we do not know.
int GetSystemMetrics(int index);

// The part of the primary screen that windows may cover, in screen coordinates.
TRect GetWorkArea();
