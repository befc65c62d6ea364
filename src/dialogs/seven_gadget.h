// TSevenGadget: the game clock's face, six seven-segment digits (hours, minutes, seconds)
// with blinking colons, drawn with filled polygons and rectangles only.
#pragma once

#include <string>

#include "framework/bars/gadgets.h"
#include "platform/wintypes.h"

class TSevenGadget : public TGadget {
 public:
  TSevenGadget(int id, TBorderStyle borderStyle, int seconds);
  ~TSevenGadget() override;

  // Shows a new elapsed time in whole seconds; repaints without erasing.
  void SetTime(int seconds);

  void GetDesiredSize(TSize& size) override;
  void Paint(TDC& dc) override;
  // A screen reader reads the time shown, as the best-times lists write it.
  TAccessibleRole GetAccessibleRole() const override { return TAccessibleRole::Label; }
  std::string GetAccessibleName() const override;

  int Hours;
  int Minutes;
  int Seconds;
  int SegmentWidth = 3;
  int SegmentGap = 2;
  int SeparatorWidth = 3;
  int VerticalMargin = 2;
  COLORREF BackColor = RGB(0, 0, 0);
  COLORREF OnColor = RGB(255, 0, 0);
  COLORREF OffColor = RGB(64, 64, 64);

 private:
  void Split(int seconds);
};
