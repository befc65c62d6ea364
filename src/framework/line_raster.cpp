#include "framework/line_raster.h"

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
