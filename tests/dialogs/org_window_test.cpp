// The thumbnail window: its size and place from the picture and the work area, the
// picture stretched over its client area, and its close box asking the owner.
#include "dialogs/org_window.h"

#include <QCoreApplication>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "framework/dc.h"
#include "framework/gdi.h"
#include "framework/system_metrics.h"
#include "resources/command_ids.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF White = RGB(255, 255, 255);

// A picture whose left half is red and right half blue.
std::unique_ptr<TBitmap> HalvesPicture(int width, int height) {
  auto picture = std::make_unique<TBitmap>(width, height);
  TMemoryDC dc(*picture);
  dc.FillRect(TRect(0, 0, width / 2, height), TBrush(Red));
  dc.FillRect(TRect(width / 2, 0, width, height), TBrush(Blue));
  return picture;
}

COLORREF Shown(TWindow& window, int x, int y) {
  window.UpdateWindow();
  return TClientDC(window).GetPixel(x, y);
}

// An owner that writes down the commands it hears.
class TOwner : public TWindow {
 public:
  TOwner() : TWindow(nullptr, "Owner") {}
  std::vector<UINT> Commands;

 protected:
  TResult WindowProc(UINT msg, TParam1 p1, TParam2 p2) override {
    if (msg == WM_COMMAND) Commands.push_back(LOWORD(p1));
    return TWindow::WindowProc(msg, p1, p2);
  }
};

TEST(ThumbnailSize, HalfThePictureUnlessItWouldOutgrowTheScreen) {
  struct TCase {
    int Width, Height;
    TRect Work;
    int Caption;
    TSize Expected;
  };
  const TRect hd(0, 0, 1920, 1080);
  const std::vector<TCase> cases = {
      {640, 480, hd, 20, TSize(320, 260)},
      {101, 75, hd, 20, TSize(50, 57)},
      // Exactly twice the work area still gets half size.
      {3840, 2160, hd, 24, TSize(1920, 1104)},
      // A 12-megapixel photo: 688 x 516 keeps 4:3 and the window (516 + 24) fits in 540.
      {4000, 3000, hd, 24, TSize(688, 540)},
      // Upright, on a panel-narrowed work area: the height limits it.
      {3000, 4000, TRect(100, 30, 900, 630), 20, TSize(210, 300)},
      // A very wide strip is limited by the width.
      {20000, 100, hd, 20, TSize(960, 24)},
      // No desktop to measure: the plain rule.
      {4000, 3000, TRect(), 20, TSize(2000, 1520)},
  };
  for (const TCase& c : cases) {
    const TSize size = ThumbnailSize(c.Width, c.Height, c.Work, c.Caption);
    EXPECT_EQ(size.cx, c.Expected.cx) << c.Width << " x " << c.Height;
    EXPECT_EQ(size.cy, c.Expected.cy) << c.Width << " x " << c.Height;
  }
}

TEST(OrgWindow, StartsNearTheTopRightAndKeepsItsPlaceForANewPicture) {
  const TRect work = GetWorkArea();
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  const auto picture = HalvesPicture(640, 480);
  TOrgWindow thumbnail(nullptr, "Thumbnail", picture.get());
  ASSERT_TRUE(thumbnail.Create());
  thumbnail.ShowWindow(SW_SHOWNORMAL);
  QCoreApplication::processEvents();
  EXPECT_EQ(thumbnail.GetCaption(), "Thumbnail");
  EXPECT_EQ(thumbnail.GetWindowRect().TopLeft(), TPoint(work.Width() - 320 - 2, 100));
  EXPECT_EQ(thumbnail.GetClientRect().Size(), TSize(320, 240 + caption));

  // Where the player put it.
  thumbnail.MoveWindow(30, 40, 300, 200);
  const TPoint moved = thumbnail.GetWindowRect().TopLeft();
  const auto small = HalvesPicture(101, 75);
  thumbnail.SetPicture(small.get());
  QCoreApplication::processEvents();
  EXPECT_EQ(thumbnail.GetWindowRect().TopLeft(), moved);
  EXPECT_EQ(thumbnail.GetClientRect().Size(), TSize(50, 37 + caption));

  // A photo far larger than the screen stays within half the work area, in shape.
  const auto photo = std::make_unique<TBitmap>(4000, 3000);
  thumbnail.SetPicture(photo.get());
  EXPECT_EQ(thumbnail.GetWindowRect().TopLeft(), moved);
  const TSize size = thumbnail.GetClientRect().Size();
  EXPECT_LE(size.cx, work.Width() / 2);
  EXPECT_LE(size.cy, work.Height() / 2);
  EXPECT_GE(size.cx, work.Width() / 2 - 2 * caption) << "as large as fits";
  EXPECT_NEAR(static_cast<double>(size.cx) / (size.cy - caption), 4.0 / 3.0, 0.01);

  // Without a picture the size stays and the window shows white.
  thumbnail.SetPicture(nullptr);
  EXPECT_EQ(thumbnail.GetClientRect().Size(), size);
  EXPECT_EQ(Shown(thumbnail, 5, 5), White);
  thumbnail.Destroy();
}

TEST(OrgWindow, StretchesThePictureOverWhateverClientAreaItHas) {
  const auto picture = HalvesPicture(64, 32);
  TOrgWindow thumbnail(nullptr, "Thumbnail", picture.get());
  ASSERT_TRUE(thumbnail.Create());
  thumbnail.ShowWindow(SW_SHOWNORMAL);
  for (const TSize size : {TSize(32, 60), TSize(200, 90)}) {
    thumbnail.MoveWindow(10, 10, size.cx, size.cy);
    QCoreApplication::processEvents();
    const TRect client = thumbnail.GetClientRect();
    ASSERT_GT(client.Width(), 8);
    EXPECT_EQ(Shown(thumbnail, 1, 1), Red) << size.cx;
    EXPECT_EQ(Shown(thumbnail, client.Width() / 2 - 2, client.Height() - 1), Red) << size.cx;
    EXPECT_EQ(Shown(thumbnail, client.Width() / 2 + 2, 0), Blue) << size.cx;
    EXPECT_EQ(Shown(thumbnail, client.Width() - 1, client.Height() - 1), Blue) << size.cx;
  }
  // The background is never filled on its own: the picture covers it.
  EXPECT_NE(thumbnail.SendMessage(WM_ERASEBKGND, 0, 0), 0);
  thumbnail.Destroy();
}

TEST(OrgWindow, WithoutAPictureIsASmallWhiteSquare) {
  TOrgWindow thumbnail(nullptr, "Thumbnail", nullptr);
  EXPECT_EQ(thumbnail.Attr.W, 100);
  EXPECT_EQ(thumbnail.Attr.H, 100);
  ASSERT_TRUE(thumbnail.Create());
  EXPECT_EQ(Shown(thumbnail, 50, 50), White);
  thumbnail.Destroy();
}

TEST(OrgWindow, CloseBoxAsksTheOwnerAndStaysUntilTheOwnerActs) {
  TOwner owner;
  ASSERT_TRUE(owner.Create());
  auto* thumbnail = new TOrgWindow(&owner, "Thumbnail", nullptr);  // owned by owner
  ASSERT_TRUE(thumbnail->Create());
  thumbnail->ShowWindow(SW_SHOWNORMAL);
  thumbnail->HandleMessage(WM_CLOSE, 0, 0);
  EXPECT_TRUE(owner.Commands.empty()) << "posted, not sent from inside the close";
  QCoreApplication::processEvents();
  EXPECT_EQ(owner.Commands, std::vector<UINT>{CM_THUMBNAIL});
  EXPECT_TRUE(thumbnail->IsWindow());
  owner.Destroy();
}

}  // namespace
