// The thumbnail window: its size from the picture, its painting, and closing through the
// main window's command so that the menu's check mark and the button follow.
#include "dialogs/org_window.h"

#include <algorithm>
#include <cstdint>

#include "framework/graphics/dc.h"
#include "framework/graphics/gdi.h"
#include "framework/windows/system_metrics.h"
#include "resources/command_ids.h"

namespace {

constexpr int EmptySize = 100;
constexpr int Top = 100;
constexpr int RightMargin = 2;

}  // namespace

TSize ThumbnailSize(int width, int height, const TRect& workArea) {
  const std::int64_t w = std::max(0, width), h = std::max(0, height);
  const std::int64_t maxWidth = workArea.Width() / 2, maxHeight = workArea.Height() / 2;
  if (w == 0 || h == 0) return TSize(0, 0);
  std::int64_t cw = w / 2, ch = h / 2;
  if (maxWidth > 0 && maxHeight > 0 && (cw > maxWidth || ch > maxHeight)) {
    // The side that meets its limit first sets the scale; the other follows the shape.
    const bool wide = w * maxHeight >= h * maxWidth;
    cw = wide ? maxWidth : w * maxHeight / h;
    ch = wide ? h * maxWidth / w : maxHeight;
  }
  // A one-pixel picture still gets a window to show it in.
  return TSize(static_cast<int>(std::max<std::int64_t>(1, cw)),
               static_cast<int>(std::max<std::int64_t>(1, ch)));
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
  // A reference beside the board: the keyboard stays with the game.
  SetSideWindow(true);
  if (picture != nullptr) Picture = std::make_unique<TBitmap>(*picture);
  const TRect workArea = GetWorkArea();
  const TSize size = Picture ? ThumbnailSize(Picture->Width(), Picture->Height(), workArea)
                             : TSize(EmptySize, EmptySize);
  Attr.W = size.cx;
  Attr.H = size.cy;
  // Measured from the free area's corner: below a desktop's top bar (GNOME's), as below
  // the top of a screen that has none, it stays clear of the frame's toolbar.
  Attr.X = workArea.left + workArea.Width() - size.cx - RightMargin;
  Attr.Y = workArea.top + Top;
}

TOrgWindow::~TOrgWindow() = default;

void TOrgWindow::SetPicture(const TBitmap* picture) {
  Shown.Forget();
  Picture = picture != nullptr ? std::make_unique<TBitmap>(*picture) : nullptr;
  if (Picture) {
    const TSize size = ThumbnailSize(Picture->Width(), Picture->Height(), GetWorkArea());
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
  // Filtered once for the window's size: a repaint copies it.
  Shown.Draw(dc, *Picture, TRect(0, 0, Picture->Width(), Picture->Height()), client);
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
