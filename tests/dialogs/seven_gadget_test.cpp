// The clock face on pixels: the timer bar's instance with the worked geometry.
#include "dialogs/seven_gadget.h"

#include <gtest/gtest.h>

#include "framework/graphics/dc.h"
#include "framework/graphics/gdi.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Grey = RGB(64, 64, 64);
constexpr COLORREF Black = RGB(0, 0, 0);

// The timer bar's clock: segments 3 wide, gap 1, recessed border, 96 x 28.
struct TFace {
  explicit TFace(int seconds) : Clock(0, TGadget::None, seconds), Picture(96, 28), DC(Picture) {
    Clock.SegmentWidth = 3;
    Clock.SegmentGap = 1;
    Clock.SetBorderStyle(TGadget::Recessed);
    TSize size;
    Clock.GetDesiredSize(size);
    Clock.SetBounds(TRect(0, 0, size.cx, size.cy));
    DC.FillRect(TRect(0, 0, 96, 28), TBrush(RGB(255, 255, 255)));
    Clock.Paint(DC);
  }
  COLORREF At(int x, int y) const { return DC.GetPixel(x, y); }

  TSevenGadget Clock;
  TBitmap Picture;
  TMemoryDC DC;
};

// Pixels well inside each segment of a cell whose left edge is L (cells 14 wide, rows
// 3..25, middle line 14): top, lower right, upper right, bottom, upper left, lower left,
// middle.
struct TProbe {
  int Dx;
  int Y;
};
constexpr TProbe Segments[7] = {{7, 4}, {12, 20}, {12, 8}, {7, 24}, {1, 8}, {1, 20}, {7, 14}};
constexpr int CellLeft[6] = {2, 17, 34, 49, 66, 81};

std::string Shown(const TFace& face) {
  // Reads each cell's segments back and names the digit they make.
  static const char* const Patterns[10] = {"1111110", "0110000", "1011011", "1111001", "0110101",
                                           "1101101", "1101111", "1110000", "1111111", "1111101"};
  std::string digits;
  for (int left : CellLeft) {
    std::string lit;
    for (const TProbe& p : Segments) {
      const COLORREF c = face.At(left + p.Dx, p.Y);
      lit += c == Red ? '1' : c == Grey ? '0' : '?';
    }
    char digit = '?';
    for (int d = 0; d < 10; ++d)
      if (lit == Patterns[d]) digit = static_cast<char>('0' + d);
    digits += digit;
  }
  return digits;
}

}  // namespace

TEST(SevenGadget, WorkedGeometryHoldsOnPixels) {
  const TFace face(0);
  EXPECT_EQ(face.Clock.GetBounds(), TRect(0, 0, 96, 28));
  // First top segment (3,3) (6,6) (11,6) (14,3): filled at its long edge, not above it.
  EXPECT_EQ(face.At(8, 3), Red);
  EXPECT_EQ(face.At(8, 2), Black);
  EXPECT_EQ(face.At(8, 6), Black) << "the short edge is the polygon's exclusive side";
  // First middle segment (3,14) (4,13) (13,13) (14,14) (13,15) (4,15): unlit for a 0.
  EXPECT_EQ(face.At(8, 13), Grey);
  EXPECT_EQ(face.At(8, 14), Grey);
  EXPECT_EQ(face.At(8, 12), Black);
  // Colon dots span x 31..34, y 9..12 and 16..19 as passed to Rectangle without a pen.
  for (int y : {9, 10, 16, 17}) {
    EXPECT_EQ(face.At(31, y), Red) << y;
    EXPECT_EQ(face.At(32, y), Red) << y;
  }
  EXPECT_EQ(face.At(33, 9), Black);
  EXPECT_EQ(face.At(31, 11), Black);
  EXPECT_EQ(face.At(31, 14), Black);
  // Cells stand 14 apart with the colon's room after the second and fourth.
  EXPECT_EQ(face.At(17 + 7, 4), Red);
  EXPECT_EQ(face.At(34 + 7, 4), Red);
  EXPECT_EQ(face.At(81 + 7, 4), Red);
  EXPECT_EQ(face.At(1, 1), Black) << "the face fills the inner rectangle";
  EXPECT_EQ(face.At(94, 26), Black);
  EXPECT_EQ(face.At(95, 14), RGB(255, 255, 255)) << "the border is left to the window";
  EXPECT_EQ(face.At(0, 0), RGB(255, 255, 255));
}

TEST(SevenGadget, ShowsTheLastSixDigitsAndBlinksTheColon) {
  struct TCase {
    int Seconds;
    const char* Digits;
    bool ColonLit;
  };
  const TCase cases[] = {
      {0, "000000", true},
      {3600 + 2 * 60 + 3, "010203", false},
      {123 * 3600 + 45 * 60 + 6, "234506", true},
      {59 * 60 + 59 + 3600 * 98, "985959", false},
      {7 * 3600 + 8 * 60 + 46, "070846", true},
  };
  for (const TCase& c : cases) {
    const TFace face(c.Seconds);
    EXPECT_EQ(Shown(face), c.Digits) << c.Seconds;
    EXPECT_EQ(face.At(31, 9), c.ColonLit ? Red : Grey) << c.Seconds;
    EXPECT_EQ(face.At(63, 17), c.ColonLit ? Red : Grey) << c.Seconds;
  }
}

TEST(SevenGadget, SetTimeSplitsTheSeconds) {
  TSevenGadget clock(0, TGadget::None, 3725);
  EXPECT_EQ(clock.Hours, 1);
  EXPECT_EQ(clock.Minutes, 2);
  EXPECT_EQ(clock.Seconds, 5);
  clock.SetTime(360000 + 59);
  EXPECT_EQ(clock.Hours, 100);
  EXPECT_EQ(clock.Minutes, 0);
  EXPECT_EQ(clock.Seconds, 59);
}
