// TEnhancedDib::Load: the reader is chosen by the text after the path's last dot.
#include "media/enhanced_dib.h"

#include <cstring>

namespace {

bool EqualsIgnoringCase(const char* text, const char* upper) {
  for (; *text != '\0' && *upper != '\0'; ++text, ++upper) {
    const char c = *text >= 'a' && *text <= 'z' ? static_cast<char>(*text - 'a' + 'A') : *text;
    if (c != *upper) return false;
  }
  return *text == '\0' && *upper == '\0';
}

}  // namespace

TEnhancedDib::TKind TEnhancedDib::KindOf(const char* path) {
  if (path == nullptr) return TKind::None;
  // The last dot may sit in a directory name; the text after it is then no extension we
  // know, and the name is refused like any other.
  const char* dot = std::strrchr(path, '.');
  if (dot == nullptr) return TKind::None;
  if (EqualsIgnoringCase(dot, ".BMP")) return TKind::Bmp;
  if (EqualsIgnoringCase(dot, ".JPG")) return TKind::Jpeg;
  return TKind::None;
}

bool TEnhancedDib::Load(const char* path, int leastSide) {
  Release();
  switch (KindOf(path)) {
    case TKind::Bmp:
      return ReadBmp(path);
    case TKind::Jpeg:
      return ReadJpeg(path, leastSide);
    case TKind::None:
      break;
  }
  return false;
}
