// A JPEG file decoded straight into a display bitmap, for pictures that go on the board
// and need no DIB on the way.
#pragma once

#include <memory>

#include "framework/graphics/gdi.h"

// The picture of a JPEG file as a 32-bit colour bitmap, turned as its Exif Orientation tag
// asks, with the same pixels, messages and refusals as TEnhancedDib::ReadJpeg followed by
// making a bitmap of the DIB, but without the DIB. Null when the file cannot be opened or
// decoded, or the picture is too large for the limits or for the memory to be had.
std::unique_ptr<TBitmap> ReadJpegBitmap(const char* path);
