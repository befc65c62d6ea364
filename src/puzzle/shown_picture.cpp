#include "puzzle/shown_picture.h"

#include "platform/winconst.h"

namespace {

// Filtered copy of part of source onto place of target (HALFTONE: every pixel the mean of
// the source pixels it covers).
void Filter(TDC& target, const TRect& place, TBitmap& source, const TRect& part) {
  TMemoryDC from(target);
  from.SelectObject(source);
  target.SetStretchBltMode(HALFTONE);
  target.StretchBlt(place.left, place.top, place.Width(), place.Height(), from, part.left, part.top,
                    part.Width(), part.Height(), SRCCOPY);
}

// How many times part can be halved and still have at least the device pixels of place.
int HalvingsFor(const TRect& part, const TRect& place, int resolution) {
  const long long wide = static_cast<long long>(place.Width()) * resolution / 96 + 1;
  const long long high = static_cast<long long>(place.Height()) * resolution / 96 + 1;
  int halvings = 0;
  while (halvings < 8 && (part.Width() >> (halvings + 1)) >= wide &&
         (part.Height() >> (halvings + 1)) >= high) {
    ++halvings;
  }
  return halvings;
}

}  // namespace

TBitmap* TShownPicture::Reduced(TBitmap& picture, int halvings) {
  // One with more pixels than needed serves as well: zooming back and forth between two
  // sizes must not make it again every time.
  if (Smaller && SmallerOf == &picture && SmallerHalvings <= halvings) return Smaller.get();
  Smaller.reset();
  SmallerOf = nullptr;
  try {
    auto smaller =
        std::make_unique<TBitmap>(picture.Width() >> halvings, picture.Height() >> halvings);
    TMemoryDC target(*smaller);
    Filter(target, TRect(0, 0, smaller->Width(), smaller->Height()), picture,
           TRect(0, 0, picture.Width(), picture.Height()));
    Smaller = std::move(smaller);
  } catch (const TXGdi&) {
    return nullptr;
  }
  SmallerOf = &picture;
  SmallerHalvings = halvings;
  return Smaller.get();
}

TBitmap* TShownPicture::For(TDC& dc, TBitmap& picture, const TRect& part, const TRect& place) {
  const int resolution = dc.GetDeviceCaps(LOGPIXELSX);
  if (Copy && Picture == &picture && Part == part && Place == place && Resolution == resolution) {
    return Copy.get();
  }
  // The old copy goes before the new one is made: never two at once.
  Copy.reset();
  Picture = nullptr;
  if (place.IsEmpty() || part.IsEmpty() || place.left < 0 || place.top < 0) return nullptr;
  try {
    auto copy = std::make_unique<TBitmap>(dc, place.right, place.bottom);
    TMemoryDC target(dc);
    target.SelectObject(*copy);
    const int halvings = HalvingsFor(part, place, resolution);
    TBitmap* smaller = halvings > 0 ? Reduced(picture, halvings) : nullptr;
    if (smaller != nullptr) {
      // The part's pixels in the smaller picture, which keeps its proportions.
      const auto in = [](int v, int of, int to) {
        return static_cast<int>(static_cast<long long>(v) * to / of);
      };
      const TRect scaled(in(part.left, picture.Width(), smaller->Width()),
                         in(part.top, picture.Height(), smaller->Height()),
                         in(part.right, picture.Width(), smaller->Width()),
                         in(part.bottom, picture.Height(), smaller->Height()));
      Filter(target, place, *smaller, scaled);
    } else {
      Filter(target, place, picture, part);
    }
    Copy = std::move(copy);
  } catch (const TXGdi&) {
    return nullptr;
  }
  Picture = &picture;
  Part = part;
  Place = place;
  Resolution = resolution;
  return Copy.get();
}

void TShownPicture::Draw(TDC& dc, TBitmap& picture, const TRect& part, const TRect& place) {
  if (TBitmap* copy = For(dc, picture, part, place)) {
    TMemoryDC memory(dc);
    memory.SelectObject(*copy);
    dc.BitBlt(place.left, place.top, place.Width(), place.Height(), memory, place.left, place.top,
              SRCCOPY);
  } else {
    Filter(dc, place, picture, part);
  }
}

TPoint TShownPicture::Where(const TPoint& inPicture) const {
  if (Part.IsEmpty()) return Place.TopLeft();
  const auto along = [](int p, int from, int fromSize, int to, int toSize) {
    return to + static_cast<int>(static_cast<long long>(p - from) * toSize / fromSize);
  };
  return TPoint(along(inPicture.x, Part.left, Part.Width(), Place.left, Place.Width()),
                along(inPicture.y, Part.top, Part.Height(), Place.top, Place.Height()));
}

void TShownPicture::Forget() {
  Copy.reset();
  Picture = nullptr;
  Part = TRect();
  Place = TRect();
  Resolution = 0;
  Smaller.reset();
  SmallerOf = nullptr;
  SmallerHalvings = 0;
}
