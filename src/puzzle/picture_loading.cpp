// TPuzzle::LoadPicture: a picture file becomes the board's bitmap and palette. It is read
// whole first, so a failure is told to the player once and leaves the board as it was.
#include <cstring>
#include <memory>
#include <string>

#include "framework/text/translation.h"
#include "framework/windows/window_dc.h"
#include "media/enhanced_dib.h"
#include "media/jpeg_bitmap.h"
#include "puzzle/puzzle.h"

namespace {

constexpr const char* ClipboardName = "[clipboard]";
constexpr std::size_t MaxShownNameLength = 50;

// The first count characters of a UTF-8 name, never cutting a character in two.
std::string FirstCharacters(const char* text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t characters = 0; text[end] != '\0'; ++end) {
    const bool continuation = (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80;
    if (!continuation && characters++ == count) break;
  }
  return std::string(text, end);
}

}  // namespace

void TPuzzle::ReportOpenFailure(const char* name) {
  const std::string text = Fill(Translate(N_("Unable to open %1.")),
                                {FirstCharacters(name != nullptr ? name : "", MaxShownNameLength)});
  MessageBox(text.c_str(), "Kavro", MB_ICONSTOP | MB_OK);
}

std::optional<TLoadedPicture> TPuzzle::ReadPicture(const char* name) {
  TLoadedPicture loaded;
  if (TEnhancedDib::KindOf(name) == TEnhancedDib::TKind::Jpeg) {
    // A JPEG goes straight into the display bitmap: no DIB, no colour table, so the
    // halftone palette (none on true colour).
    loaded.Bitmap = ReadJpegBitmap(name);
    if (!loaded.Bitmap) {
      ReportOpenFailure(name);
      return std::nullopt;
    }
    return loaded;
  }

  // The DIB lives only until the bitmap is made, so the two are never held long together
  // with whatever the board does next.
  TEnhancedDib dib;
  if (!dib.Load(name)) {
    ReportOpenFailure(name);
    return std::nullopt;
  }
  if (dib.Compression() == BI_RLE8 || dib.Compression() == BI_RLE4) {
    MessageBox("This program does NOT support compressed BMP file.", "Kavro", MB_ICONSTOP | MB_OK);
    return std::nullopt;
  }
  // Pictures without a colour table share the halftone palette (none on true colour).
  try {
    loaded.Palette = std::make_unique<TPalette>(dib);
  } catch (const TXGdi&) {
    loaded.Palette.reset();
  }
  try {
    TClientDC dc(*this);
    TPalette* palette = loaded.Palette ? loaded.Palette.get() : HalftonePalette.get();
    if (PaletteDevice && palette != nullptr) {
      dc.SelectObject(*palette, true);
      dc.RealizePalette();
    }
    loaded.Bitmap = std::make_unique<TBitmap>(dc, dib);
  } catch (const TXGdi&) {
    ReportOpenFailure(name);
    return std::nullopt;
  }
  return loaded;
}

void TPuzzle::TakePicture(TLoadedPicture picture) {
  Shown.Forget();
  Picture = std::move(picture.Bitmap);
  if (picture.Palette) {
    SetOwnedPalette(std::move(picture.Palette));
  } else {
    UseHalftonePalette();
  }
}

bool TPuzzle::LoadPicture(const char* name, bool relayout) {
  // No name, or the clipboard's pseudo name: the current picture stays.
  if (name != nullptr && std::strcmp(name, ClipboardName) != 0) {
    std::optional<TLoadedPicture> loaded = ReadPicture(name);
    if (!loaded) return false;
    TakePicture(std::move(*loaded));
  }
  Idle = true;
  if (relayout) {
    Reset();
    SplitPicture();
    RedrawAll();
  }
  return true;
}
