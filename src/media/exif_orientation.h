// The Orientation tag of a JPEG's Exif segment: how the stored picture is to be turned so
// that it shows as it was taken. Phones often store a portrait photo sideways with this
// tag rather than turn the pixels.
#pragma once

#include <cstddef>
#include <cstdint>

// The tag's values: the stored picture as it is, mirrored left to right, turned half a
// turn, mirrored top to bottom, mirrored about its main diagonal, turned a quarter turn
// clockwise, mirrored about its other diagonal, turned a quarter turn anticlockwise.
enum class TOrientation : std::uint8_t {
  AsStored = 1,
  Mirrored = 2,
  HalfTurn = 3,
  Flipped = 4,
  Transposed = 5,
  QuarterTurn = 6,
  Transversed = 7,
  ThreeQuarterTurn = 8,
};

// Whether an APP1 segment's contents (the bytes after its length field) are Exif data.
bool IsExifSegment(const std::uint8_t* data, std::size_t size);

// The orientation an APP1 segment's contents (the bytes after its length field) ask for:
// the Orientation entry of IFD0 of an "Exif" segment, in either byte order. Anything else,
// a segment of another kind, a damaged one, or an offset or value out of range, gives
// AsStored: a bad tag never stops a picture from showing.
TOrientation ExifOrientation(const std::uint8_t* data, std::size_t size);

// Whether the orientation swaps the picture's width and height.
constexpr bool SwapsSides(TOrientation orientation) {
  return orientation >= TOrientation::Transposed;
}
