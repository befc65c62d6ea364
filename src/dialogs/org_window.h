// TOrgWindow: the thumbnail, a small window of its own beside the board that shows the
// whole picture, unscrambled, stretched to its client area, as a reference for the player.
#pragma once

#include <memory>

#include "framework/frame_window.h"
#include "framework/geometry.h"

class TBitmap;

// The thumbnail window's size for a picture of width x height: half the picture, plus a
// caption's height. A picture more than twice as wide or as tall as the work area would
// give a window that covers the screen; it gets instead the largest window of the
// picture's shape that fits within half the work area.
TSize ThumbnailSize(int width, int height, const TRect& workArea, int captionHeight);

class TOrgWindow : public TFrameWindow {
 public:
  // Sized for picture (100 x 100 without one), 100 pixels from the top, near the right
  // edge of the work area. Create and show it afterwards.
  TOrgWindow(TWindow* parent, const char* title, const TBitmap* picture);
  ~TOrgWindow() override;

  // Shows picture (or white for none); with a picture the window takes its size and stays
  // where it is.
  void SetPicture(const TBitmap* picture);
  const TBitmap* GetPicture() const { return Picture.get(); }

  void Paint(TDC& dc, bool erase, TRect& rect) override;

 protected:
  TResult EvSize(TParam1 p1, TParam2 p2);
  TResult EvEraseBkgnd(TParam1, TParam2);
  TResult EvClose(TParam1, TParam2);

 private:
  // A shallow copy of the board's picture: the board may let its own go while a message
  // box is up, and this window may have to paint in the meantime.
  std::unique_ptr<TBitmap> Picture;

  DECLARE_RESPONSE_TABLE(TOrgWindow);
};
