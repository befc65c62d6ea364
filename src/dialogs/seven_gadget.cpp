// The clock face: segment shapes in a digit cell, lit by a table of the ten digits.
#include "dialogs/seven_gadget.h"

#include <cstdio>
#include <cstring>

#include "framework/graphics/dc.h"
#include "framework/graphics/gdi.h"

namespace {

// Lit segments of each digit, in drawing order: top, lower right, upper right, bottom,
// upper left, lower left, middle.
constexpr bool Lit[10][7] = {
    {true, true, true, true, true, true, false},   {false, true, true, false, false, false, false},
    {true, false, true, true, false, true, true},  {true, true, true, true, false, false, true},
    {false, true, true, false, true, false, true}, {true, true, false, true, true, false, true},
    {true, true, false, true, true, true, true},   {true, true, true, false, false, false, false},
    {true, true, true, true, true, true, true},    {true, true, true, true, true, false, true},
};

}  // namespace

TSevenGadget::TSevenGadget(int id, TBorderStyle borderStyle, int seconds)
    : TGadget(id, borderStyle), Hours(0), Minutes(0), Seconds(0) {
  Split(seconds);
}

TSevenGadget::~TSevenGadget() = default;

void TSevenGadget::Split(int seconds) {
  Hours = seconds / 3600;
  Minutes = seconds % 3600 / 60;
  Seconds = seconds % 60;
}

void TSevenGadget::SetTime(int seconds) {
  const std::string before = GetAccessibleName();
  Split(seconds);
  Invalidate(false);
  if (GetAccessibleName() != before) TellChanged();
}

std::string TSevenGadget::GetAccessibleName() const {
  char text[40];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", Hours, Minutes, Seconds);
  return text;
}

void TSevenGadget::GetDesiredSize(TSize& size) {
  TGadget::GetDesiredSize(size);
  size = TSize(96, 28);
}

void TSevenGadget::Paint(TDC& dc) {
  TRect inner;
  GetInnerRect(inner);
  dc.FillRect(inner, TBrush(BackColor));

  char text[40];
  std::snprintf(text, sizeof text, "%02d%02d%02d", Hours, Minutes, Seconds);
  const int n = static_cast<int>(std::strlen(text));

  dc.SelectNullPen();
  const TBrush on(OnColor);
  const TBrush off(OffColor);
  const int W = SegmentWidth;
  const int G = SegmentGap;
  const int S = SeparatorWidth;
  const int V = VerticalMargin;
  const int cw = (inner.Width() - S) / 6;
  int L = inner.left + S / 2;
  int R = inner.left + cw - S / 2;
  const int T = inner.top + V;
  const int B = inner.bottom - V;
  const int M = (T + B) / 2;
  const int g = G / 2;
  const int w = W / 2;

  for (int i = 1; i <= 6; ++i) {
    const int digit = text[i - 1 + (n - 6)] - '0';
    const TPoint segments[7][6] = {
        {{L + G, T}, {L + G + W, T + W}, {R - G - W, T + W}, {R - G, T}},
        {{R, B - G}, {R - W, B - G - W}, {R - W, M + g + W}, {R, M + g}},
        {{R, M - g}, {R - W, M - g - W}, {R - W, T + G + W}, {R, T + G}},
        {{L + G, B}, {L + G + W, B - W}, {R - G - W, B - W}, {R - G, B}},
        {{L, T + G}, {L + W, T + G + W}, {L + W, M - g - W}, {L, M - g}},
        {{L, M + g}, {L + W, M + g + W}, {L + W, B - G - W}, {L, B - G}},
        {{L + G, M},
         {L + G + w, M - w},
         {R - G - w, M - w},
         {R - G, M},
         {R - G - w, M + w},
         {L + G + w, M + w}},
    };
    for (int s = 0; s < 7; ++s) {
      dc.SelectObject(digit >= 0 && digit <= 9 && Lit[digit][s] ? on : off);
      dc.Polygon(segments[s], s == 6 ? 6 : 4);
    }
    if (i == 2 || i == 4) {
      dc.SelectObject(Seconds % 2 == 0 ? on : off);
      const int left = R + (2 * S - W) / 2;
      const int right = R + (2 * S + W) / 2;
      dc.Rectangle(left, M - V - W, right, M - V);
      dc.Rectangle(left, M + V, right, M + V + W);
      L += cw + S - 1;
      R += cw + S - 1;
    } else {
      L += cw;
      R += cw;
    }
  }
  dc.RestoreBrush();
  dc.RestorePen();
}
