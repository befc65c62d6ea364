// TOrgWindow: the thumbnail, a small window of its own beside the board that shows the
// whole picture, unscrambled, stretched to its client area, as a reference for the player.
#pragma once

#include <memory>

#include "framework/frames/frame_window.h"
#include "framework/graphics/geometry.h"
#include "puzzle/shown_picture.h"

class TBitmap;

// The thumbnail's client area for a picture of width x height: half the picture, or, for a
// picture more than twice as wide or as tall as the work area, the largest area of the
// picture's shape within half the work area. The two meet where the picture is twice the
// work area, so a pixel more never makes the window jump. Without a work area: half.
TSize ThumbnailSize(int width, int height, const TRect& workArea);

class TOrgWindow : public TFrameWindow {
 public:
  // Its client area sized for picture (100 x 100 without one), 100 pixels from the top,
  // near the right edge of the work area. Owned by parent's window, it stays above it.
  // Create and show it afterwards.
  TOrgWindow(TWindow* parent, const char* title, const TBitmap* picture);
  ~TOrgWindow() override;

  // Shows picture (or white for none); with a picture the client area takes its size and
  // the window stays where it is.
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
  TShownPicture Shown;

  DECLARE_RESPONSE_TABLE(TOrgWindow);
};
