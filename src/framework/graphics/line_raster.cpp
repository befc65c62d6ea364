#include "framework/graphics/line_raster.h"

#include <algorithm>
#include <cstdlib>

std::vector<TPoint> LinePixels(TPoint from, TPoint to) {
  // Bresenham along the major axis; the step count equals the major length, which stops
  // one pixel short of the end point.
  const int dx = std::abs(to.x - from.x);
  const int dy = std::abs(to.y - from.y);
  const int sx = from.x < to.x ? 1 : -1;
  const int sy = from.y < to.y ? 1 : -1;
  const int steps = dx > dy ? dx : dy;
  std::vector<TPoint> pixels;
  pixels.reserve(static_cast<std::size_t>(steps));
  int x = from.x;
  int y = from.y;
  if (dx >= dy) {
    int error = 2 * dy - dx;
    for (int i = 0; i < steps; ++i) {
      pixels.emplace_back(x, y);
      if (error > 0) {
        y += sy;
        error -= 2 * dx;
      }
      error += 2 * dy;
      x += sx;
    }
  } else {
    int error = 2 * dx - dy;
    for (int i = 0; i < steps; ++i) {
      pixels.emplace_back(x, y);
      if (error > 0) {
        x += sx;
        error -= 2 * dy;
      }
      error += 2 * dx;
      y += sy;
    }
  }
  return pixels;
}

std::vector<TRect> WideLinePixels(TPoint from, TPoint to, int width) {
  const bool alongX = std::abs(to.x - from.x) >= std::abs(to.y - from.y);
  std::vector<TRect> runs;
  for (const TPoint& p : LinePixels(from, to)) {
    // A pixel next to the last one on the same row (or column) lengthens its run.
    if (!runs.empty()) {
      TRect& last = runs.back();
      if (alongX && last.top == p.y && (p.x == last.left - 1 || p.x == last.right)) {
        last.left = std::min<LONG>(last.left, p.x);
        last.right = std::max<LONG>(last.right, p.x + 1);
        continue;
      }
      if (!alongX && last.left == p.x && (p.y == last.top - 1 || p.y == last.bottom)) {
        last.top = std::min<LONG>(last.top, p.y);
        last.bottom = std::max<LONG>(last.bottom, p.y + 1);
        continue;
      }
    }
    runs.push_back(alongX ? TRect(p.x, p.y, p.x + 1, p.y + width)
                          : TRect(p.x, p.y, p.x + width, p.y + 1));
  }
  return runs;
}
