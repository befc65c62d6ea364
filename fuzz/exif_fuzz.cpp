// Fuzz target for the Exif Orientation reader: any APP1 segment's contents give one of the
// eight orientations, read only from inside the segment, and a turn only from a segment
// that says it is Exif.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "media/exif_orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const TOrientation orientation = ExifOrientation(data, size);
  const int value = static_cast<int>(orientation);
  const bool exif = size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0;
  if (exif != IsExifSegment(data, size)) {
    std::fprintf(stderr, "Exif signature misjudged in %zu bytes\n", size);
    std::abort();
  }
  if (value < 1 || value > 8 || (!exif && orientation != TOrientation::AsStored)) {
    std::fprintf(stderr, "orientation %d from a segment of %zu bytes\n", value, size);
    std::abort();
  }
  return 0;
}
