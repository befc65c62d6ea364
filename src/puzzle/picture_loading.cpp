// TPuzzle::LoadPicture: a picture file becomes the board's bitmap and palette, and every
// failure is told to the player once, leaving a board that still draws.
#include <cstring>
#include <memory>
#include <string>

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
  const std::string text =
      "Unable to open " + FirstCharacters(name != nullptr ? name : "", MaxShownNameLength) + ".";
  MessageBox(text.c_str(), "Kavro", MB_ICONSTOP | MB_OK);
}

bool TPuzzle::LoadPicture(const char* name, bool relayout) {
  Idle = true;
  // No name, or the clipboard's pseudo name: the current picture stays.
  if (name != nullptr && std::strcmp(name, ClipboardName) != 0) {
    Picture.reset();
    ReleasePalette();

    // Refuses a picture with the player told; Picture and Palette are none by then.
    auto fail = [this](const char* message) {
      if (message != nullptr) {
        MessageBox(message, "Kavro", MB_ICONSTOP | MB_OK);
      }
      RedrawAll();
      Invalidate(false);
      return false;
    };

    if (TEnhancedDib::KindOf(name) == TEnhancedDib::TKind::Jpeg) {
      // A JPEG goes straight into the display bitmap: no DIB, no colour table, so the
      // halftone palette (none on true colour).
      Picture = ReadJpegBitmap(name);
      if (!Picture) {
        ReportOpenFailure(name);
        return fail(nullptr);
      }
      UseHalftonePalette();
    } else {
      // The DIB lives only until the bitmap is made, so the two are never held long
      // together with whatever the board does next.
      TEnhancedDib dib;
      if (!dib.Load(name)) {
        ReportOpenFailure(name);
        return fail(nullptr);
      }
      if (dib.Compression() == BI_RLE8 || dib.Compression() == BI_RLE4) {
        return fail("This program does NOT support compressed BMP file.");
      }

      // Pictures without a colour table share the halftone palette (none on true colour).
      try {
        SetOwnedPalette(std::make_unique<TPalette>(dib));
      } catch (const TXGdi&) {
        UseHalftonePalette();
      }

      try {
        TClientDC dc(*this);
        if (PaletteDevice && Palette != nullptr) {
          dc.SelectObject(*Palette, true);
          dc.RealizePalette();
        }
        Picture = std::make_unique<TBitmap>(dc, dib);
      } catch (const TXGdi&) {
        Picture.reset();
        ReleasePalette();
        ReportOpenFailure(name);
        return fail(nullptr);
      }
    }
  }

  if (relayout) {
    Reset();
    SplitPicture();
    RedrawAll();
  }
  return true;
}
