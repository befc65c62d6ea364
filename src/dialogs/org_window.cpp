// The thumbnail window: its size from the picture, its painting, and closing through the
// main window's command so that the menu's check mark and the button follow.
#include "dialogs/org_window.h"

#include <algorithm>
#include <cstdint>

#include "framework/dc.h"
#include "framework/gdi.h"
#include "framework/system_metrics.h"
#include "resources/command_ids.h"

namespace {

constexpr int EmptySize = 100;
constexpr int Top = 100;
constexpr int RightMargin = 2;

}  // namespace

TSize ThumbnailSize(int width, int height, const TRect& workArea, int captionHeight) {
  const int areaWidth = workArea.Width();
  const int areaHeight = workArea.Height();
  const bool huge = areaWidth > 0 && areaHeight > 0 &&
                    (std::int64_t{width} > 2 * std::int64_t{areaWidth} ||
                     std::int64_t{height} > 2 * std::int64_t{areaHeight});
  if (!huge || width <= 0 || height <= 0) return TSize(width / 2, height / 2 + captionHeight);

  // The picture part of the window at the largest scale that keeps the window within half
  // the work area.
  const std::int64_t maxWidth = std::max(1, areaWidth / 2);
  const std::int64_t maxHeight = std::max(1, areaHeight / 2 - captionHeight);
  std::int64_t w = maxWidth;
  std::int64_t h = maxWidth * height / width;
  if (h > maxHeight) {
    h = maxHeight;
    w = maxHeight * width / height;
  }
  return TSize(static_cast<int>(std::max<std::int64_t>(1, w)),
               static_cast<int>(std::max<std::int64_t>(1, h)) + captionHeight);
}

// clang-format off
DEFINE_RESPONSE_TABLE1(TOrgWindow, TFrameWindow)
  EV_MESSAGE(WM_SIZE, &TOrgWindow::EvSize),
  EV_MESSAGE(WM_ERASEBKGND, &TOrgWindow::EvEraseBkgnd),
  EV_MESSAGE(WM_CLOSE, &TOrgWindow::EvClose),
END_RESPONSE_TABLE;
// clang-format on

TOrgWindow::TOrgWindow(TWindow* parent, const char* title, const TBitmap* picture)
    : TFrameWindow(parent, title) {
  Attr.Style &= ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  if (picture != nullptr) Picture = std::make_unique<TBitmap>(*picture);
  const TRect workArea = GetWorkArea();
  const TSize size = Picture ? ThumbnailSize(Picture->Width(), Picture->Height(), workArea,
                                             GetSystemMetrics(SM_CYCAPTION))
                             : TSize(EmptySize, EmptySize);
  Attr.W = size.cx;
  Attr.H = size.cy;
  Attr.X = workArea.Width() - size.cx - RightMargin;
  Attr.Y = Top;
}

TOrgWindow::~TOrgWindow() = default;

void TOrgWindow::SetPicture(const TBitmap* picture) {
  Picture = picture != nullptr ? std::make_unique<TBitmap>(*picture) : nullptr;
  if (Picture) {
    const TSize size = ThumbnailSize(Picture->Width(), Picture->Height(), GetWorkArea(),
                                     GetSystemMetrics(SM_CYCAPTION));
    SetWindowPos(0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Invalidate(false);
}

void TOrgWindow::Paint(TDC& dc, bool, TRect&) {
  const TRect client = GetClientRect();
  if (!Picture) {
    dc.FillRect(client, TBrush(RGB(255, 255, 255)));
    return;
  }
  TMemoryDC memory(dc);
  memory.SelectObject(*Picture);
  dc.SetStretchBltMode(COLORONCOLOR);
  dc.StretchBlt(client.left, client.top, client.Width(), client.Height(), memory, 0, 0,
                Picture->Width(), Picture->Height(), SRCCOPY);
  memory.RestoreBitmap();
}

TResult TOrgWindow::EvSize(TParam1 p1, TParam2 p2) {
  Invalidate(true);
  return TFrameWindow::WindowProc(WM_SIZE, p1, p2);
}

TResult TOrgWindow::EvEraseBkgnd(TParam1, TParam2) {
  // Paint covers every pixel: no background fill to flicker through.
  return 1;
}

TResult TOrgWindow::EvClose(TParam1, TParam2) {
  // The main window's toggle deletes this window; posted, so that it happens after this
  // handler has returned.
  if (TWindow* owner = GetParentO()) owner->PostMessage(WM_COMMAND, CM_THUMBNAIL, 0);
  return 0;
}
