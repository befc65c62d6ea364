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

bool TEnhancedDib::Load(const char* path) {
  Release();
  if (path == nullptr) return false;
  // The last dot may sit in a directory name; the text after it is then no extension we
  // know, and the name is refused like any other.
  const char* dot = std::strrchr(path, '.');
  if (dot == nullptr) return false;
  if (EqualsIgnoringCase(dot, ".BMP")) return ReadBmp(path);
  if (EqualsIgnoringCase(dot, ".JPG")) return ReadJpeg(path);
  return false;
}
