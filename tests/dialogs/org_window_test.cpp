// The thumbnail window: its size rule, and the picture stretched over its client area.
#include "dialogs/org_window.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "framework/graphics/dc.h"
#include "framework/graphics/gdi.h"
#include "framework/windows/window_dc.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), White = RGB(255, 255, 255);

TEST(ThumbnailSize, HalfThePictureShrunkInShapeToHalfTheWorkArea) {
  struct TCase {
    int Width, Height;
    TRect Work;
    TSize Expected;
  };
  const TRect hd(0, 0, 1920, 1080);
  for (const TCase& c : {
           TCase{640, 480, hd, TSize(320, 240)}, TCase{101, 75, hd, TSize(50, 37)},
           TCase{3840, 2160, hd, TSize(960, 540)},  // twice the work area: exactly half
           TCase{3842, 2160, hd, TSize(960, 539)},  // a pixel wider: no jump
           TCase{3840, 2162, hd, TSize(959, 540)}, TCase{4000, 3000, hd, TSize(720, 540)},  // 4:3
           TCase{3000, 4000, TRect(100, 30, 900, 630), TSize(225, 300)},  // upright, panels
           TCase{20000, 100, hd, TSize(960, 4)},  // a strip: the width limits it
           TCase{1, 1, hd, TSize(1, 1)},
           TCase{4000, 3000, TRect(), TSize(2000, 1500)},  // no desktop: the plain rule
       }) {
    const TSize size = ThumbnailSize(c.Width, c.Height, c.Work);
    EXPECT_EQ(size, c.Expected) << c.Width << " x " << c.Height << ": " << size.cx << " x "
                                << size.cy;
  }
}

TEST(OrgWindow, StretchesThePictureOverItsClientAreaOrShowsWhite) {
  TBitmap picture(64, 32);  // left half red, right half blue
  TMemoryDC dc(picture);
  dc.FillRect(TRect(0, 0, 32, 32), TBrush(Red));
  dc.FillRect(TRect(32, 0, 64, 32), TBrush(Blue));
  TOrgWindow thumbnail(nullptr, "Thumbnail", &picture);
  ASSERT_TRUE(thumbnail.Create());
  thumbnail.ShowWindow(SW_SHOWNORMAL);
  auto shown = [&](int x, int y) {
    thumbnail.UpdateWindow();
    return TClientDC(thumbnail).GetPixel(x, y);
  };
  for (const TSize size : {TSize(32, 60), TSize(200, 90)}) {
    thumbnail.MoveWindow(10, 10, size.cx, size.cy);
    QCoreApplication::processEvents();
    const int w = thumbnail.GetClientRect().Width(), h = thumbnail.GetClientRect().Height();
    EXPECT_EQ(shown(0, 0), Red) << size.cx;
    EXPECT_EQ(shown(w / 2 - 2, h - 1), Red) << size.cx;
    EXPECT_EQ(shown(w / 2 + 2, 0), Blue) << size.cx;
    EXPECT_EQ(shown(w - 1, h - 1), Blue) << size.cx;
  }
  EXPECT_NE(thumbnail.SendMessage(WM_ERASEBKGND, 0, 0), 0) << "the picture covers it all";
  thumbnail.SetPicture(nullptr);
  EXPECT_EQ(shown(5, 5), White);
  thumbnail.Destroy();
}

}  // namespace
