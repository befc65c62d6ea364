// Drawing the program icon. Everything is laid out on whole pixels, so small sizes stay
// crisp; only the rounded corners of the tray are smoothed.
#include "resources/icon_art.h"

#include <algorithm>
#include <cmath>

namespace {

using TColour = std::uint32_t;  // 0xRRGGBB

constexpr TColour Face = 0xC0C0C0;
constexpr TColour TrayOutline = 0x3B2A1C;
constexpr TColour TrayFace = 0x9C7A54;
constexpr TColour TrayLight = 0xD2B188;
constexpr TColour TrayDark = 0x5E4630;
constexpr TColour Well = 0x2E241B;
constexpr TColour WellShadow = 0x1A140F;

// The tiles in reading order; the empty cell has none.
constexpr std::array<TColour, 8> TileColours = {0xE53935, 0xFB8C00, 0xFDD835, 0x43A047,
                                                0x00ACC1, 0x1E88E5, 0x5E35B1, 0xD81B60};

// Moves each channel towards white (amount > 0) or black (amount < 0) by |amount| of the way.
TColour Tint(TColour c, double amount) {
  TColour out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double v = static_cast<double>((c >> shift) & 0xFF);
    const double t = amount > 0 ? v + (255.0 - v) * amount : v * (1.0 + amount);
    out |= static_cast<TColour>(std::lround(std::clamp(t, 0.0, 255.0))) << shift;
  }
  return out;
}

struct TGeometry {
  int Margin;  // transparent border round the tray
  int Frame;   // width of the tray's bevelled rim
  int Gap;     // well showing between the tiles
  int Bevel;   // width of a tile's light and dark edges
  int Radius;  // of the tray's corners

  explicit TGeometry(int size)
      : Margin(size / 24),
        Frame(std::max(1, size / 14)),
        Gap(std::max(1, size / 40)),
        Bevel(std::max(1, size / 28)),
        Radius(size / 10) {}
};

class TCanvas {
 public:
  explicit TCanvas(int size)
      : Size(size), Pixels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), Face) {}

  std::uint32_t* Row(int y) {
    return Pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(Size);
  }

  void Put(int x, int y, TColour c) { Row(y)[x] = 0xFF000000u | c; }

  // Fills [x0, x1) x [y0, y1): edges within width of the top or left are light, within width
  // of the bottom or right dark (the corners they share split on the diagonal), the rest is
  // face, optionally shaded from top to bottom.
  void Bevel(int x0, int y0, int x1, int y1, int width, TColour face, TColour light, TColour dark,
             double shade = 0) {
    for (int y = y0; y < y1; ++y) {
      const double fraction = y1 - y0 > 1 ? static_cast<double>(y - y0) / (y1 - y0 - 1) : 0;
      const TColour body = shade > 0 ? Tint(face, shade * (0.5 - fraction)) : face;
      const bool edgeRow = y - y0 < width || y1 - 1 - y < width;
      // Away from the top and bottom edges only the ends of a row are edge pixels; the
      // middle is one run of the body colour.
      const int middleBegin = edgeRow ? x1 : std::min(x1, x0 + width);
      const int middleEnd = edgeRow ? x1 : std::max(middleBegin, x1 - width);
      for (int x = x0; x < x1; ++x) {
        if (x == middleBegin) {
          std::fill_n(Row(y) + x, middleEnd - x, 0xFF000000u | body);
          x = middleEnd;
          if (x >= x1) break;
        }
        const int nearTopLeft = std::min(y - y0, x - x0);
        const int nearBottomRight = std::min(y1 - 1 - y, x1 - 1 - x);
        if (std::min(nearTopLeft, nearBottomRight) >= width) {
          Put(x, y, body);
        } else {
          Put(x, y, nearTopLeft < nearBottomRight ? light : dark);
        }
      }
    }
  }

  // Makes the pixels outside a square with rounded corners transparent (Face colour, no
  // alpha) and those on its rounded edge as opaque as the share of them inside.
  void RoundCorners(int begin, int end, int radius) {
    const int lo = begin + radius;
    const int hi = end - radius;
    for (int y = 0; y < Size; ++y) {
      const bool rowInSquare = y >= begin && y + 1 <= end;
      // Only pixels near a corner are partly inside: skip sampling the rest, whose every
      // sample would be inside (the square less its corners) or outside (beyond it).
      // Between the corners a row's pixels inside the square are all inside.
      const bool straightRow = rowInSquare && y >= lo && y + 1 <= hi;
      for (int x = 0; x < Size; ++x) {
        const bool withinSquare = rowInSquare && x >= begin && x + 1 <= end;
        if (withinSquare && straightRow) {
          x = std::max(x, end - 1);  // on to the first pixel past the square
          continue;
        }
        if (withinSquare && x >= lo && x + 1 <= hi) {
          x = std::max(x, hi - 1);
          continue;
        }
        if (!withinSquare) {
          Row(y)[x] = Face;  // no sample of a pixel beyond the square is inside it
          continue;
        }
        // A pixel left here lies wholly in one corner's square, where the samples nearest
        // to and farthest from the corner's centre are among the four outermost: when
        // those agree, so do all the rest.
        constexpr int Samples = 4;
        const auto sample = [&](int sx, int sy) {
          return Inside(x + (sx + 0.5) / Samples, y + (sy + 0.5) / Samples, begin, end, radius);
        };
        const int outermost = sample(0, 0) + sample(Samples - 1, 0) + sample(0, Samples - 1) +
                              sample(Samples - 1, Samples - 1);
        int inside = outermost == 4 ? Samples * Samples : 0;
        if (outermost != 0 && outermost != 4) {
          for (int sy = 0; sy < Samples; ++sy) {
            for (int sx = 0; sx < Samples; ++sx) inside += sample(sx, sy) ? 1 : 0;
          }
        }
        auto& p = Row(y)[x];
        if (inside == 0) {
          p = Face;
        } else if (inside < Samples * Samples) {
          const auto alpha = static_cast<std::uint32_t>(inside * 255 / (Samples * Samples));
          p = (alpha << 24) | (p & 0xFFFFFF);
        }
      }
    }
  }

  std::vector<std::uint32_t> Take() { return std::move(Pixels); }

 private:
  static bool Inside(double x, double y, int begin, int end, int radius) {
    if (x < begin || y < begin || x >= end || y >= end) return false;
    const double lo = begin + radius;
    const double hi = end - radius;
    const double dx = x < lo ? lo - x : (x > hi ? x - hi : 0);
    const double dy = y < lo ? lo - y : (y > hi ? y - hi : 0);
    return dx * dx + dy * dy <= static_cast<double>(radius) * radius;
  }

  int Size;
  std::vector<std::uint32_t> Pixels;
};

}  // namespace

TIconCellSpan IconCellSpan(int size, int index) {
  const TGeometry g(size);
  const int inner = g.Margin + g.Frame;
  const int span = size - 2 * inner - g.Gap;  // the cells and the gaps after them
  return {inner + g.Gap + index * span / 3, inner + (index + 1) * span / 3};
}

std::vector<std::uint32_t> DrawProgramIcon(int size) {
  if (size < 16) return {};
  const TGeometry g(size);
  TCanvas canvas(size);
  const int trayEnd = size - g.Margin;
  // The tray: a dark outline (from 24 pixels up), the raised rim, then the sunken well.
  const int outline = size >= 24 ? std::max(1, size / 64) : 0;
  canvas.Bevel(g.Margin, g.Margin, trayEnd, trayEnd, outline, TrayOutline, TrayOutline,
               TrayOutline);
  canvas.Bevel(g.Margin + outline, g.Margin + outline, trayEnd - outline, trayEnd - outline,
               std::max(1, (g.Frame - outline) / 2), TrayFace, TrayLight, TrayDark);
  const int inner = g.Margin + g.Frame;
  canvas.Bevel(inner, inner, size - inner, size - inner, std::max(1, g.Gap / 2), Well, WellShadow,
               Well);

  std::size_t tile = 0;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      if (row == IconEmptyRow && column == IconEmptyColumn) continue;
      const TIconCellSpan xs = IconCellSpan(size, column);
      const TIconCellSpan ys = IconCellSpan(size, row);
      const TColour colour = TileColours[tile++];
      canvas.Bevel(xs.Begin, ys.Begin, xs.End, ys.End, g.Bevel, colour, Tint(colour, 0.55),
                   Tint(colour, -0.45), size >= 32 ? 0.25 : 0);
    }
  }
  canvas.RoundCorners(g.Margin, trayEnd, g.Radius);
  return canvas.Take();
}
