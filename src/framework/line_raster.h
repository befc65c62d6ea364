// The pixels of a one-pixel line from one point towards another, the end point left out
// as Windows leaves it out, so that joined lines never draw a corner twice.
#pragma once

#include <vector>

#include "framework/geometry.h"

std::vector<TPoint> LinePixels(TPoint from, TPoint to);
