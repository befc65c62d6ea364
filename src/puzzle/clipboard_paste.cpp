// TPuzzle::PasteFromClipboard: the clipboard's picture becomes the board's bitmap and
// palette. The palette is the board's own copy, so it outlives the clipboard's data.
#include <memory>

#include "framework/clipboard.h"
#include "puzzle/puzzle.h"

bool TPuzzle::PasteFromClipboard(TClipboard& clipboard) {
  Idle = true;
  Picture.reset();
  ReleasePalette();

  if (clipboard.IsClipboardFormatAvailable(CF_PALETTE)) {
    std::unique_ptr<TPalette> palette = clipboard.GetPalette();
    if (palette) {
      SetOwnedPalette(std::move(palette));
    } else {
      UseHalftonePalette();
    }
    TClientDC dc(*this);
    if (PaletteDevice && Palette != nullptr) {
      dc.SelectObject(*Palette, true);
      dc.RealizePalette();
    }
  }

  auto fail = [this] {
    Picture.reset();
    MessageBox("Unable to copy image from clipboard.", "Kavro", MB_ICONSTOP | MB_OK);
    RedrawAll();
    Invalidate(false);
    return false;
  };

  try {
    if (clipboard.IsClipboardFormatAvailable(CF_BITMAP)) {
      const std::unique_ptr<TBitmap> source = clipboard.GetBitmap();
      if (!source) return fail();
      // A copy of the same size: monochrome stays monochrome.
      Picture = std::make_unique<TBitmap>(*source);
    } else if (clipboard.IsClipboardFormatAvailable(CF_DIB)) {
      // The DIB is read as a BMP file is: 12-, 40-, 108- and 124-byte headers are taken
      // and kept as the 40-byte one; any other header gives none, and so the failure.
      const std::optional<TDib> dib = clipboard.GetDib();
      if (!dib || !dib->IsOK()) return fail();
      // Without a palette of its own the DIB's colour table is the palette; a DIB
      // without one cannot give it.
      if (Palette == nullptr) SetOwnedPalette(std::make_unique<TPalette>(*dib));
      TScreenDC dc;
      dc.SelectObject(*Palette, false);
      dc.RealizePalette();
      Picture = std::make_unique<TBitmap>(dc, *dib);
    }
  } catch (const TXGdi&) {
    return fail();
  }

  Reset();
  SplitPicture();
  return true;
}
