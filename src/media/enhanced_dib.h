// TEnhancedDib: a DIB read from a picture file, BMP or JPEG by the file's extension. It
// lives for one load or one preview and needs no window system.
#pragma once

#include "framework/graphics/dib.h"

class TEnhancedDib : public TDib {
 public:
  // The reader a path's extension chooses: the text after its last dot.
  enum class TKind { None, Bmp, Jpeg };
  static TKind KindOf(const char* path);

  TEnhancedDib() = default;

  // Reads a ".BMP" or ".JPG" file (any letter case); any other name is not a picture.
  // With leastSide, a JPEG may come out reduced by a power of two as long as both its
  // sides keep at least that many pixels: what a small preview needs, at a fraction of the
  // time and memory. False leaves the DIB empty.
  bool Load(const char* path, int leastSide = 0);
  // Decodes a JPEG file through libjpeg into a 24-bit DIB, turned as its Exif Orientation
  // tag asks. The library's errors are shown in a "JPEG Library Error" box; a picture too
  // large to hold is refused before decoding. False leaves the DIB empty.
  bool ReadJpeg(const char* path, int leastSide = 0);
};
