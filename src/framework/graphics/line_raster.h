// The pixels of a one-pixel line from one point towards another, the end point left out
// as Windows leaves it out, so that joined lines never draw a corner twice.
#pragma once

#include <vector>

#include "framework/graphics/geometry.h"

std::vector<TPoint> LinePixels(TPoint from, TPoint to);

// A one-pixel line drawn width pixels thick (a logical pixel's width on a denser device):
// the pixels of LinePixels, each stretched across the line's minor axis, gathered into
// rectangles of one row or column each.
std::vector<TRect> WideLinePixels(TPoint from, TPoint to, int width);
