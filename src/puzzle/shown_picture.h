// A picture as the screen shows it: resized once to the place it fills, at the screen's
// resolution, and kept until the picture, the place or the screen changes. Drawing its
// parts then copies pixels 1:1, however large the picture is.
#pragma once

#include <memory>

#include "framework/graphics/dc.h"
#include "framework/graphics/gdi.h"
#include "framework/graphics/geometry.h"

class TShownPicture {
 public:
  // The copy for drawing on dc: part of the picture filtered down (or enlarged) to fill
  // place. The copy's coordinates are dc's, from (0, 0) to place's far corner, so that
  // a rectangle of place is copied from where it lies. Null when the copy cannot be made.
  TBitmap* For(TDC& dc, TBitmap& picture, const TRect& part, const TRect& place);
  // Draws part of the picture filling place on dc: from the copy, or filtered from the
  // picture itself when no copy can be made.
  void Draw(TDC& dc, TBitmap& picture, const TRect& part, const TRect& place);
  // Where a point of the picture lies in the copy last made.
  TPoint Where(const TPoint& inPicture) const;
  // Drops the copy: the picture it was made from is going.
  void Forget();

 private:
  // The picture halved `halvings` times (or fewer), made once from the picture and kept: a
  // photo of many megapixels is then filtered to each new size from a fraction of its
  // pixels, not from all of them again. Null when it cannot be made.
  TBitmap* Reduced(TBitmap& picture, int halvings);

  std::unique_ptr<TBitmap> Copy;
  const TBitmap* Picture = nullptr;
  TRect Part;
  TRect Place;
  int Resolution = 0;
  std::unique_ptr<TBitmap> Smaller;
  const TBitmap* SmallerOf = nullptr;
  int SmallerHalvings = 0;
};
