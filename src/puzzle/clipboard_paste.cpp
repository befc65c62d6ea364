// TPuzzle::PasteFromClipboard: the clipboard's picture becomes the board's bitmap and
// palette. The palette is the board's own copy, so it outlives the clipboard's data.
#include <memory>

#include "framework/clipboard/clipboard.h"
#include "puzzle/puzzle.h"

bool TPuzzle::PasteFromClipboard(TClipboard& clipboard) {
  // The picture is made whole before the board takes it: a paste that fails leaves the
  // game in progress as it was.
  TLoadedPicture loaded;
  if (clipboard.IsClipboardFormatAvailable(CF_PALETTE)) loaded.Palette = clipboard.GetPalette();
  auto fail = [this] {
    MessageBox("Unable to copy image from clipboard.", "Kavro", MB_ICONSTOP | MB_OK);
    return false;
  };

  try {
    if (clipboard.IsClipboardFormatAvailable(CF_BITMAP)) {
      const std::unique_ptr<TBitmap> source = clipboard.GetBitmap();
      if (!source) return fail();
      // A copy of the same size: monochrome stays monochrome.
      loaded.Bitmap = std::make_unique<TBitmap>(*source);
    } else if (clipboard.IsClipboardFormatAvailable(CF_DIB)) {
      // The DIB is read as a BMP file is: 12-, 40-, 108- and 124-byte headers are taken
      // and kept as the 40-byte one; any other header gives none, and so the failure.
      const std::optional<TDib> dib = clipboard.GetDib();
      if (!dib || !dib->IsOK()) return fail();
      // Without a palette of its own the DIB's colour table is the palette; a true-colour
      // DIB has none and shares the halftone palette, as a picture file does.
      if (!loaded.Palette) {
        try {
          loaded.Palette = std::make_unique<TPalette>(*dib);
        } catch (const TXGdi&) {
          loaded.Palette.reset();
        }
      }
      TScreenDC dc;
      TPalette* palette = loaded.Palette ? loaded.Palette.get() : HalftonePalette.get();
      if (palette != nullptr) {
        dc.SelectObject(*palette, false);
        dc.RealizePalette();
      }
      loaded.Bitmap = std::make_unique<TBitmap>(dc, *dib);
    }
  } catch (const TXGdi&) {
    return fail();
  }
  if (!loaded.Bitmap) return fail();

  TakePicture(std::move(loaded));
  Reset();
  SplitPicture();
  return true;
}
