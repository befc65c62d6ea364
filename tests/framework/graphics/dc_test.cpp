// Drawing with Windows' conventions, checked on the pixels of bitmaps and backing images.
#include <QImage>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/graphics/dc.h"
#include "framework/graphics/dc_impl.h"
#include "framework/graphics/dib.h"
#include "framework/graphics/gdi.h"
#include "framework/graphics/line_raster.h"
#include "framework/graphics/qt_bridge.h"

namespace {

constexpr COLORREF White = 0xFFFFFF;
constexpr COLORREF Black = 0x000000;
constexpr COLORREF Red = 0x0000FF;
constexpr COLORREF Blue = 0xFF0000;

// A white bitmap with a memory context drawing on it, at a screen's device-pixel ratio.
struct TCanvas {
  TBitmap Bitmap;
  TMemoryDC DC;
  TCanvas(int w, int h, double ratio = 1) : Bitmap(BitmapAt(w, h, ratio)), DC(Bitmap) {
    DC.FillRect(TRect(0, 0, w, h), TBrush(White));
  }
  const QImage& Device() const { return Bitmap.Impl().Image; }
  COLORREF At(int x, int y) const { return DC.GetPixel(x, y); }
  // The canvas as rows of characters: '.' white, '#' anything else.
  std::vector<std::string> Picture() const {
    std::vector<std::string> rows;
    for (int y = 0; y < Bitmap.Height(); ++y) {
      std::string row;
      for (int x = 0; x < Bitmap.Width(); ++x) row += At(x, y) == White ? '.' : '#';
      rows.push_back(row);
    }
    return rows;
  }
};

TEST(Lines, LeaveOutTheirEndPoint) {
  TCanvas c(8, 4);
  TPen red(Red);
  c.DC.SelectObject(red);
  c.DC.MoveTo(1, 1);
  c.DC.LineTo(5, 1);
  EXPECT_EQ(c.At(1, 1), Red);
  EXPECT_EQ(c.At(4, 1), Red);
  EXPECT_EQ(c.At(5, 1), White);
  EXPECT_EQ(c.DC.GetCurrentPosition(), TPoint(5, 1));
  // Joined lines: the corner is drawn once, by the second line.
  c.DC.LineTo(5, 3);
  EXPECT_EQ(c.At(5, 1), Red);
  EXPECT_EQ(c.At(5, 2), Red);
  EXPECT_EQ(c.At(5, 3), White);
}

TEST(Lines, FollowTheLineBothWaysAndNullPenDrawsNothing) {
  EXPECT_TRUE(LinePixels(TPoint(3, 3), TPoint(3, 3)).empty());
  const auto diagonal = LinePixels(TPoint(0, 0), TPoint(4, 2));
  ASSERT_EQ(diagonal.size(), 4u);
  EXPECT_EQ(diagonal.front(), TPoint(0, 0));
  EXPECT_EQ(diagonal.back().x, 3);
  const auto backwards = LinePixels(TPoint(4, 0), TPoint(0, 0));
  ASSERT_EQ(backwards.size(), 4u);
  EXPECT_EQ(backwards.back(), TPoint(1, 0));
  const auto steep = LinePixels(TPoint(0, 0), TPoint(1, 5));
  ASSERT_EQ(steep.size(), 5u);
  for (std::size_t i = 0; i < steep.size(); ++i) EXPECT_EQ(steep[i].y, static_cast<int>(i));

  TCanvas c(4, 4);
  c.DC.SelectNullPen();
  c.DC.MoveTo(0, 0);
  c.DC.LineTo(3, 3);
  EXPECT_EQ(c.Picture(), (std::vector<std::string>{"....", "....", "....", "...."}));
}

TEST(Shapes, PolygonFillsRightAndBottomExclusiveAndOutlinesWithThePen) {
  TCanvas c(11, 8);
  const TPoint corners[] = {{1, 1}, {9, 1}, {9, 6}, {1, 6}};
  c.DC.SelectNullPen();
  TBrush blue(Blue);
  c.DC.SelectObject(blue);
  c.DC.Polygon(corners, 4);
  EXPECT_EQ(c.At(1, 1), Blue);
  EXPECT_EQ(c.At(8, 5), Blue);
  EXPECT_EQ(c.At(9, 5), White);
  EXPECT_EQ(c.At(8, 6), White);

  TCanvas outlined(11, 8);
  TPen red(Red);
  outlined.DC.SelectObject(red);
  outlined.DC.SelectObject(blue);
  outlined.DC.Polygon(corners, 4);
  EXPECT_EQ(outlined.At(9, 6), Red);  // the outline closes through every corner
  EXPECT_EQ(outlined.At(1, 6), Red);
  EXPECT_EQ(outlined.At(4, 3), Blue);
}

TEST(Shapes, RectangleKeepsItsOutlineInsideAndNullPenFillsOneLess) {
  TCanvas c(8, 6);
  TPen black(Black);
  TBrush blue(Blue);
  c.DC.SelectObject(black);
  c.DC.SelectObject(blue);
  c.DC.Rectangle(1, 1, 6, 5);
  EXPECT_EQ(c.Picture(), (std::vector<std::string>{
                             "........",
                             ".#####..",
                             ".#####..",
                             ".#####..",
                             ".#####..",
                             "........",
                         }));
  EXPECT_EQ(c.At(1, 1), Black);
  EXPECT_EQ(c.At(5, 4), Black);
  EXPECT_EQ(c.At(6, 4), White);
  EXPECT_EQ(c.At(5, 5), White);
  EXPECT_EQ(c.At(3, 2), Blue);

  TCanvas n(8, 6);
  n.DC.SelectNullPen();
  n.DC.SelectObject(blue);
  n.DC.Rectangle(1, 1, 6, 5);
  EXPECT_EQ(n.Picture(), (std::vector<std::string>{
                             "........",
                             ".####...",
                             ".####...",
                             ".####...",
                             "........",
                             "........",
                         }));
}

TEST(Shapes, FillRectIsRightAndBottomExclusive) {
  TCanvas c(5, 4);
  c.DC.FillRect(TRect(1, 1, 3, 2), TBrush(Red));
  EXPECT_EQ(c.Picture(), (std::vector<std::string>{".....", ".##..", ".....", "....."}));
  c.DC.FillRect(TRect(3, 3, 3, 4), TBrush(Red));  // empty
  EXPECT_EQ(c.At(3, 3), White);
}

// A 4 x 4 picture of distinct colours, for following pixels through a copy.
TBitmap Checker() {
  TBitmap bitmap(4, 4);
  TMemoryDC dc(bitmap);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x)
      dc.SetPixel(x, y, RGB(static_cast<BYTE>(x * 60), static_cast<BYTE>(y * 60), 7));
  }
  return bitmap;
}

TEST(Blits, StretchBltCopiesTheSourceRectangle) {
  TBitmap picture = Checker();
  TMemoryDC source(picture);
  TCanvas c(10, 10);
  c.DC.SetStretchBltMode(COLORONCOLOR);
  // 1:1 copy of the source's (1,2)-(3,4) to (5,5).
  c.DC.StretchBlt(5, 5, 2, 2, source, 1, 2, 2, 2, SRCCOPY);
  EXPECT_EQ(c.At(5, 5), RGB(60, 120, 7));
  EXPECT_EQ(c.At(6, 6), RGB(120, 180, 7));
  EXPECT_EQ(c.At(7, 7), White);
  EXPECT_EQ(c.At(4, 5), White);
  // Doubling: every source pixel becomes a 2 x 2 block.
  c.DC.StretchBlt(0, 0, 4, 4, source, 2, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(c.At(0, 0), RGB(120, 0, 7));
  EXPECT_EQ(c.At(1, 1), RGB(120, 0, 7));
  EXPECT_EQ(c.At(2, 0), RGB(180, 0, 7));
  EXPECT_EQ(c.At(3, 3), RGB(180, 60, 7));
  EXPECT_EQ(c.At(4, 4), White);
  // Halving picks one pixel of every 2 x 2 block.
  TCanvas h(4, 4);
  h.DC.StretchBlt(0, 0, 2, 2, source, 0, 0, 4, 4, SRCCOPY);
  EXPECT_NE(h.At(0, 0), White);
  EXPECT_NE(h.At(1, 1), h.At(0, 0));
  EXPECT_EQ(h.At(2, 2), White);
}

// HALFTONE shrinks a picture by averaging what each pixel covers, and copies or enlarges
// it exactly; COLORONCOLOR keeps picking single pixels. A 1:1 copy between contexts of one
// fractional ratio moves every device pixel unchanged, whatever offsets round to.
TEST(Blits, HalftoneAveragesWhatItShrinksAndKeepsWhatItDoesNot) {
  const auto picture = [](int w, int h, const std::function<COLORREF(int, int)>& colour) {
    auto bitmap = std::make_unique<TBitmap>(w, h);
    TMemoryDC dc(*bitmap);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) dc.SetPixel(x, y, colour(x, y));
    }
    return bitmap;
  };
  const auto fine = picture(24, 18, [](int x, int y) { return (x + y) % 2 != 0 ? White : Black; });
  const auto noise = picture(24, 18, [](int x, int y) {
    return RGB(static_cast<BYTE>(x * 10), static_cast<BYTE>(y * 13), static_cast<BYTE>(x * y));
  });
  const auto ramp = picture(3, 1, [](int x, int) { return RGB(x * 90, x * 90, x * 90); });
  const auto grey = [](COLORREF c) { return static_cast<int>(c & 0xFF); };
  // The destination's pixels, each checked against what the source gives it.
  const struct {
    const char* Name;
    TBitmap& Source;
    int Mode, Width, Height;
    std::function<bool(const TCanvas&, int, int)> Right;
  } cases[] = {
      {"halved squares are their mean", *fine, HALFTONE, 12, 9,
       [&](const TCanvas& c, int x, int y) { return c.At(x, y) == RGB(128, 128, 128); }},
      {"squares shrunk by 2.4 and 2.57 stay near their mean", *fine, HALFTONE, 10, 7,
       [&](const TCanvas& c, int x, int y) { return std::abs(grey(c.At(x, y)) - 128) < 45; }},
      {"COLORONCOLOR picks black or white", *fine, COLORONCOLOR, 12, 9,
       [&](const TCanvas& c, int x, int y) { return c.At(x, y) == White || c.At(x, y) == Black; }},
      {"a third of a pixel weighs a third", *ramp, HALFTONE, 2, 1,
       [&](const TCanvas& c, int x, int) { return grey(c.At(x, 0)) == (x == 0 ? 30 : 150); }},
      {"at 100 % every pixel is the source's", *noise, HALFTONE, 24, 18,
       [&](const TCanvas& c, int x, int y) {
         return c.At(x, y) == TMemoryDC(*noise).GetPixel(x, y);
       }},
      {"enlarged, every pixel a block", *noise, HALFTONE, 72, 54,
       [&](const TCanvas& c, int x, int y) {
         return c.At(x, y) == TMemoryDC(*noise).GetPixel(x / 3, y / 3);
       }},
  };
  for (const auto& c : cases) {
    TCanvas canvas(c.Width, c.Height);
    canvas.DC.SetStretchBltMode(c.Mode);
    TMemoryDC source(c.Source);
    canvas.DC.StretchBlt(0, 0, c.Width, c.Height, source, 0, 0, c.Source.Width(),
                         c.Source.Height());
    int wrong = 0;
    for (int y = 0; y < c.Height; ++y) {
      for (int x = 0; x < c.Width; ++x) wrong += !c.Right(canvas, x, y);
    }
    EXPECT_EQ(wrong, 0) << c.Name;
  }
  // Shrunk onto a place partly off the canvas: what shows is what the whole would show.
  TCanvas whole(12, 9);
  TCanvas shifted(12, 9);
  for (TCanvas* c : {&whole, &shifted}) c->DC.SetStretchBltMode(HALFTONE);
  whole.DC.StretchBlt(0, 0, 12, 9, TMemoryDC(*noise), 0, 0, 24, 18);
  shifted.DC.StretchBlt(-5, -2, 12, 9, TMemoryDC(*noise), 0, 0, 24, 18);
  EXPECT_EQ(shifted.Device().copy(0, 0, 7, 7), whole.Device().copy(5, 2, 7, 7));
  // At 1.5, three logical pixels from x = 0 cover five device pixels, from x = 1 four.
  TCanvas from(10, 10, 1.5);
  from.DC.SetStretchBltMode(COLORONCOLOR);
  from.DC.StretchBlt(0, 0, 10, 10, TMemoryDC(*noise), 0, 0, 15, 15);
  TCanvas to(10, 10, 1.5);
  to.DC.BitBlt(1, 0, 3, 3, from.DC, 0, 0);
  EXPECT_EQ(to.Device().copy(2, 0, 4, 4), from.Device().copy(0, 0, 4, 4));
}

TEST(Blits, BitBltWithinOneBitmapAndMirroring) {
  TBitmap picture = Checker();
  TMemoryDC dc(picture);
  dc.BitBlt(0, 0, 2, 1, dc, 2, 3);
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(120, 180, 7));
  EXPECT_EQ(dc.GetPixel(1, 0), RGB(180, 180, 7));
  TBitmap fresh = Checker();
  TMemoryDC source(fresh);
  TCanvas c(4, 1);
  c.DC.StretchBlt(3, 0, -4, 1, source, 0, 0, 4, 1);  // negative width mirrors
  EXPECT_EQ(c.At(0, 0), RGB(180, 0, 7));
  EXPECT_EQ(c.At(3, 0), RGB(0, 0, 7));
}

TEST(Blits, ASourceReachingOutsideTheBitmapCopiesOnlyWhatIsThere) {
  TBitmap picture = Checker();
  TMemoryDC source(picture);
  TCanvas c(8, 4);
  // Source x 2..5 of a 4-wide bitmap, doubled: only columns 2 and 3 exist, landing on 0..3.
  c.DC.StretchBlt(0, 0, 8, 2, source, 2, 0, 4, 1);
  EXPECT_EQ(c.At(0, 0), RGB(120, 0, 7));
  EXPECT_EQ(c.At(3, 1), RGB(180, 0, 7));
  EXPECT_EQ(c.At(4, 0), White);
  // Mirrored, the same columns land at the far end.
  TCanvas m(8, 2);
  m.DC.StretchBlt(7, 0, -8, 2, source, 2, 0, 4, 1);
  EXPECT_EQ(m.At(7, 0), RGB(120, 0, 7));
  EXPECT_EQ(m.At(4, 0), RGB(180, 0, 7));
  EXPECT_EQ(m.At(3, 0), White);
  // A rectangle millions of pixels wide costs nothing and changes nothing.
  TCanvas huge(4, 4);
  EXPECT_TRUE(huge.DC.StretchBlt(0, 0, 4, 4, source, 30000, 30000, 30000, 30000));
  EXPECT_TRUE(huge.DC.StretchBlt(3, 0, -4, 4, source, -30000, -30000, 30000, 30000));
  EXPECT_EQ(huge.At(2, 2), White);
}

TEST(Blits, StretchDIBitsCountsSourceRowsFromTheBottom) {
  // 2 x 3 DIB, 24 bits: bottom row blue, middle green, top red.
  BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biWidth = 2;
  header.biHeight = 3;
  header.biPlanes = 1;
  header.biBitCount = 24;
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(header));
  const BYTE rows[3][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};  // B, G, R bytes
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 2; ++x) std::memcpy(dib.ScanLine(y) + x * 3, rows[y], 3);
  }
  TCanvas c(2, 3);
  // Source (0,0) size 2 x 1 is the bottom row.
  EXPECT_EQ(c.DC.StretchDIBits(TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), dib.GetBits(), *dib.GetInfo()),
            1);
  EXPECT_EQ(c.At(0, 0), Blue);
  EXPECT_EQ(c.At(0, 1), White);
  // The whole picture lands upright.
  EXPECT_EQ(c.DC.StretchDIBits(TRect(0, 0, 2, 3), TRect(0, 0, 2, 3), dib.GetBits(), *dib.GetInfo()),
            3);
  EXPECT_EQ(c.At(1, 0), Red);
  EXPECT_EQ(c.At(1, 1), 0x00FF00u);
  EXPECT_EQ(c.At(1, 2), Blue);
}

TEST(Bitmaps, MonochromeStaysMonochrome) {
  TBitmap mono(4, 2, 1, 1);
  EXPECT_TRUE(mono.IsMonochrome());
  {
    TMemoryDC dc(mono);
    EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 1);
    dc.FillRect(TRect(0, 0, 2, 2), TBrush(RGB(200, 200, 200)));  // light: white
    dc.FillRect(TRect(2, 0, 4, 2), TBrush(RGB(90, 20, 20)));     // dark: black
  }
  TBitmap copy(mono);
  EXPECT_TRUE(copy.IsMonochrome());
  TMemoryDC dc(copy);
  EXPECT_EQ(dc.GetPixel(0, 0), White);
  EXPECT_EQ(dc.GetPixel(3, 1), Black);
  // A bitmap compatible with a fresh memory context is monochrome too, as on Windows.
  TMemoryDC fresh;
  EXPECT_TRUE(TBitmap(fresh, 3, 3).IsMonochrome());
  TScreenDC screen;
  EXPECT_FALSE(TBitmap(screen, 3, 3).IsMonochrome());
  // Drawn in colour, a monochrome source takes the text and background colours.
  TCanvas c(4, 1);
  c.DC.SetTextColor(Red);
  c.DC.SetBkColor(Blue);
  c.DC.BitBlt(0, 0, 4, 1, dc, 0, 0);
  EXPECT_EQ(c.At(0, 0), Blue);
  EXPECT_EQ(c.At(3, 0), Red);
}

TEST(Bitmaps, ThatCannotBeMadeThrowTXGdi) {
  EXPECT_THROW(TBitmap(0, 10), TXGdi);
  EXPECT_THROW(TBitmap(10, -1), TXGdi);
  EXPECT_THROW(TBitmap(100000, 10), TXGdi);
  EXPECT_THROW(TBitmap(20000, 20000), TXGdi);  // sides fine, too many pixels
  TScreenDC screen;
  TDib empty;
  EXPECT_THROW(TBitmap(screen, empty), TXGdi);
  EXPECT_THROW(TPalette{empty}, TXGdi);
}

TEST(Palettes, ComeFromAColourTableOnly) {
  BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biWidth = 2;
  header.biHeight = 2;
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biClrUsed = 3;
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(header));
  dib.GetColors()[2] = RGBQUAD{10, 20, 30, 0};
  TPalette palette(dib);
  ASSERT_EQ(palette.GetNumEntries(), 3);
  EXPECT_EQ(palette.GetEntries()[2].peRed, 30);
  EXPECT_EQ(palette.GetEntries()[2].peBlue, 10);
  header.biBitCount = 24;
  header.biClrUsed = 0;
  TDib trueColour;
  ASSERT_TRUE(trueColour.CreateFromHeader(header));
  EXPECT_THROW(TPalette{trueColour}, TXGdi);
  EXPECT_EQ(THalftonePalette().GetNumEntries(), 256);
  TScreenDC screen;
  EXPECT_EQ(screen.GetDeviceCaps(RASTERCAPS) & RC_PALETTE, 0);
}

TEST(Text, DrawsAtTheTopLeftInTheTextColourAndOpaqueModeFillsTheCell) {
  TFont font("Arial", -20, 0, 0, 0, FW_BOLD);
  TCanvas c(80, 40);
  c.DC.SelectObject(font);
  c.DC.SetTextColor(Red);
  c.DC.SetBkMode(TRANSPARENT);
  const TSize extent = c.DC.GetTextExtent("W");
  EXPECT_GT(extent.cx, 5);
  EXPECT_GE(extent.cy, 20);
  c.DC.TextOut(10, 5, "W");
  int reds = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 80; ++x) {
      if (c.At(x, y) == Red) {
        ++reds;
        EXPECT_GE(x, 10);
        EXPECT_GE(y, 5);
        EXPECT_LT(x, 10 + extent.cx + 2);
        EXPECT_LT(y, 5 + extent.cy);
      }
    }
  }
  EXPECT_GT(reds, 20);
  c.DC.SetBkMode(OPAQUE);
  c.DC.SetBkColor(Blue);
  c.DC.TextOut(40, 5, "W");
  EXPECT_EQ(c.At(40, 5), Blue);  // top-left of the cell is background
}

TEST(Text, FontKeepsItsLogicalFontAndHeightsMeanCellOrCharacters) {
  LOGFONT log{};
  log.lfHeight = 30;
  log.lfWidth = 7;
  log.lfWeight = FW_BOLD;
  log.lfItalic = 1;
  std::strcpy(log.lfFaceName, "Arial");
  TFont font(log);
  LOGFONT back{};
  ASSERT_TRUE(font.GetObject(back));
  EXPECT_EQ(std::memcmp(&back, &log, sizeof log), 0);
  TFont copy(font);
  EXPECT_EQ(copy.GetLogFont().lfHeight, 30);

  // A positive height is the whole cell, a negative one the characters alone.
  TCanvas c(10, 10);
  TFont cell("Arial", 30);
  c.DC.SelectObject(cell);
  EXPECT_NEAR(c.DC.GetTextExtent("Ag").cy, 30, 2);
  TFont characters("Arial", -30);
  c.DC.SelectObject(characters);
  EXPECT_GT(c.DC.GetTextExtent("Ag").cy, 31);
  // A width asks for narrower or wider characters.
  TFont narrow("Arial", -30, 4);
  TFont wide("Arial", -30, 20);
  c.DC.SelectObject(narrow);
  const int narrowWidth = c.DC.GetTextExtent("MMMM").cx;
  c.DC.SelectObject(wide);
  EXPECT_GT(c.DC.GetTextExtent("MMMM").cx, narrowWidth * 2);
}

// On a denser screen logical pixel x covers device pixels round(x * ratio) up to
// round((x + 1) * ratio): shapes keep their logical look without gaps, while text, slanted
// edges and shrunk pictures use every device pixel.
int Edge(int x, double ratio) {
  return static_cast<int>(std::floor(x * ratio + 0.5));
}
bool Magnifies(const QImage& device, const QImage& logical, double ratio) {
  for (int y = 0, ly = 0; y < device.height(); ++y) {
    ly += Edge(ly + 1, ratio) <= y;
    for (int x = 0, lx = 0; x < device.width(); ++x) {
      lx += Edge(lx + 1, ratio) <= x;
      if (device.pixel(x, y) != logical.pixel(lx, ly)) return false;
    }
  }
  return true;
}

TEST(DeviceRatio, DrawingLandsOnTheDevicePixelsItMust) {
  const TPoint square[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
  const TPoint segment[] = {{1, 1}, {3, 3}, {7, 3}, {9, 1}};  // of the clock
  TBitmap glyph = Checker();
  TBitmap picture(20, 14);  // shrunk onto the canvas: every device pixel its own
  for (int y = 0; y < 14; ++y) {
    for (int x = 0; x < 20; ++x) TMemoryDC(picture).SetPixel(x, y, RGB(x * 12, y * 18, 1));
  }
  TPen blue(Blue);
  TBrush red(Red);
  const struct {
    const char* Name;
    bool Magnified, WholeRatiosOnly, Distinct;
    std::function<void(TDC&)> Draw;
  } cases[] = {
      {"Shapes", true, false, false,
       [&](TDC& dc) {
         dc.FillRect(TRect(0, 5, 3, 7), TBrush(Red)), dc.SetPixel(9, 6, Blue);
         dc.SelectObject(blue), dc.SelectObject(red), dc.Rectangle(1, 1, 6, 5);
         dc.MoveTo(4, 6), dc.LineTo(8, 6), dc.LineTo(8, 0);
         dc.SelectNullPen(), dc.Rectangle(7, 1, 9, 4), dc.Polygon(square, 4);
       }},
      {"CompatibleBitmap", true, false, false,
       [](TDC& dc) {
         TMemoryDC memory(dc);
         TBitmap label(memory, 4, 3);
         memory.SelectObject(label), memory.FillRect(TRect(1, 1, 3, 2), TBrush(Red));
         dc.BitBlt(2, 1, 4, 3, memory, 0, 0), memory.RestoreBitmap();
       }},
      {"Glyph", true, true, false,
       [&](TDC& dc) {
         TMemoryDC source(glyph);
         dc.BitBlt(1, 1, 4, 4, source, 0, 0);
         dc.TransparentBlt(6, 1, 4, 4, source, 0, 0, 4, 4, RGB(0, 0, 7));
       }},
      {"Text", false, false, false,
       [](TDC& dc) {
         TFont font("DejaVu Sans", -9, 0, 0, 0, FW_BOLD);
         dc.SelectObject(font), dc.SetBkMode(TRANSPARENT), dc.TextOut(1, 0, "W"), dc.RestoreFont();
       }},
      {"Slanted", false, false, false,
       [&](TDC& dc) {
         dc.SelectObject(red), dc.SelectNullPen(), dc.Polygon(segment, 4), dc.RestoreObjects();
       }},
      {"Picture", false, false, true,
       [&](TDC& dc) {
         dc.SetStretchBltMode(COLORONCOLOR),
             dc.StretchBlt(0, 0, 10, 7, TMemoryDC(picture), 0, 0, 20, 14);
       }},
  };
  // An image's pixels that are not white, and its distinct colours.
  const auto tally = [](const QImage& image) {
    int ink = 0;
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        ink += (image.pixel(x, y) & 0xFFFFFF) != White;
        colours.insert(image.pixel(x, y));
      }
    }
    return std::pair(ink, colours.size());
  };
  for (const auto& c : cases) {
    TCanvas logical(10, 7);
    c.Draw(logical.DC);
    for (const double ratio : {1.0, 1.5, 2.0}) {
      if (c.WholeRatiosOnly && ratio != std::floor(ratio)) continue;
      TCanvas canvas(10, 7, ratio);
      c.Draw(canvas.DC);
      const QImage& device = canvas.Device();
      ASSERT_EQ(device.size(), QSize(Edge(10, ratio), Edge(7, ratio)));
      EXPECT_EQ(canvas.Bitmap.Width(), 10);
      EXPECT_EQ(Magnifies(device, logical.Device(), ratio), c.Magnified || ratio == 1)
          << c.Name << " at " << ratio;
      // As much ink on the device as the logical drawing has, in device pixels.
      const auto [ink, colours] = tally(device);
      const double logicalInk = tally(logical.Device()).first * ratio * ratio;
      EXPECT_NEAR(ink, logicalInk, logicalInk / 5 + 1) << c.Name << " at " << ratio;
      EXPECT_EQ(colours == std::size_t(device.width() * device.height()), c.Distinct);
    }
  }
  // A slanted line at 2: two device pixels thick, stepping by device pixels.
  TCanvas line(4, 2, 2);
  line.DC.MoveTo(0, 0), line.DC.LineTo(3, 1);
  std::string rows;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) rows += (line.Device().pixel(x, y) & 0xFFFFFF) == White ? '.' : '#';
  }
  EXPECT_EQ(rows,
            "##......"
            "#####..."
            "..####.."
            ".....#..");
}

TEST(Text, FaceNamesAreUtf8AndCutBetweenCharacters) {
  // Each name, and what the 32-byte face name keeps of it.
  const std::pair<std::string, std::string> names[] = {
      {"DejaVu Sans", "DejaVu Sans"},
      {std::string(40, 'x'), std::string(31, 'x')},
      {"\xC3\x84rial", "\xC3\x84rial"},                               // Ärial
      {std::string(30, 'x') + "\xC3\x84", std::string(30, 'x')},      // Ä would end past 31
      {std::string(29, 'x') + "\xE2\x82\xAC", std::string(29, 'x')},  // and so would €
  };
  for (const auto& [name, kept] : names) {
    const TFont font(name.c_str(), 12);
    EXPECT_EQ(font.GetLogFont().lfFaceName, kept) << name;
    EXPECT_EQ(FontFromLogFont(font.GetLogFont()).family().toStdString(), kept) << name;
  }
}

}  // namespace
