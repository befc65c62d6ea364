// Graphics objects: pens, brushes, fonts, bitmaps and palettes. Each owns its system
// resource and releases it when destroyed; a device context only borrows them.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "framework/graphics/exceptions.h"
#include "platform/winconst.h"
#include "platform/wintypes.h"

class TDC;
class TDib;

class TPen {
 public:
  explicit TPen(COLORREF color, int width = 1, int style = PS_SOLID)
      : Color(color), Width(width), Style(style) {}
  COLORREF GetColor() const { return Color; }
  int GetWidth() const { return Width; }
  int GetStyle() const { return Style; }

 private:
  COLORREF Color;
  int Width;
  int Style;
};

class TBrush {
 public:
  explicit TBrush(COLORREF color) : Color(color) {}
  COLORREF GetColor() const { return Color; }

 private:
  COLORREF Color;
};

// Puts a UTF-8 face name into a logical font, cut to fit without splitting a character.
void SetFaceName(LOGFONT& log, const char* face);

class TFont {
 public:
  // The fields of a logical font, in LOGFONT's order of meaning.
  explicit TFont(const char* facename = nullptr, int height = 0, int width = 0, int escapement = 0,
                 int orientation = 0, int weight = FW_NORMAL,
                 BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE, BYTE italic = 0,
                 BYTE underline = 0, BYTE strikeout = 0, BYTE charSet = DEFAULT_CHARSET,
                 BYTE outputPrecision = OUT_DEFAULT_PRECIS,
                 BYTE clipPrecision = CLIP_DEFAULT_PRECIS, BYTE quality = DEFAULT_QUALITY);
  explicit TFont(const LOGFONT& logFont);
  TFont(const TFont& other);
  TFont& operator=(const TFont&) = delete;
  ~TFont();

  // The logical font this font was made from.
  bool GetObject(LOGFONT& logFont) const;
  const LOGFONT& GetLogFont() const;

  struct TImpl;
  const TImpl& Impl() const { return *Pimpl; }

 private:
  std::unique_ptr<TImpl> Pimpl;
};

// A device-dependent bitmap in the display's format (or monochrome).
class TBitmap {
 public:
  // A blank (black) bitmap; planes x bitCount of 1 makes it monochrome.
  TBitmap(int width, int height, int planes = 1, int bitCount = 32);
  // A bitmap compatible with dc: monochrome when dc draws on a monochrome bitmap, and as
  // many device pixels to each of its pixels as dc has, so that what is drawn on it and
  // copied to dc stays sharp.
  TBitmap(const TDC& dc, int width, int height);
  // The picture of dib in dc's format (CreateDIBitmap with CBM_INIT), one pixel for each
  // of the picture's. Throws TXGdi when the DIB is empty, of a kind that cannot be shown,
  // or too large to make.
  TBitmap(const TDC& dc, const TDib& dib);
  // A colour bitmap for the caller to fill row by row through ScanLine, as the bits of a
  // DIB section but top row first; its pixels are undefined until written. Throws TXGdi
  // as the blank bitmap does.
  struct TUnfilled {};
  TBitmap(int width, int height, TUnfilled);
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap&) = delete;
  ~TBitmap();

  // In logical pixels, as a context draws on it.
  int Width() const;
  int Height() const;
  bool IsMonochrome() const;
  // Row y of its device pixels (the bitmap's own pixels, unless it was made compatible
  // with a denser screen) counted from the top, of BytesPerLine bytes: one 32-bit word a pixel in
  // the machine's byte order, 0xFFRRGGBB (in memory blue, green, red, 0xFF on a little-endian
  // machine). Null when y is out of range or the bitmap is monochrome.
  BYTE* ScanLine(int y);
  std::size_t BytesPerLine() const;

  struct TImpl;
  TImpl& Impl() { return *Pimpl; }
  const TImpl& Impl() const { return *Pimpl; }

 private:
  std::unique_ptr<TImpl> Pimpl;
};

// A logical palette. True-colour displays do not use it; it stays as data.
class TPalette {
 public:
  TPalette(const PALETTEENTRY* entries, int count);
  // From the DIB's colour table; throws TXGdi when the DIB has none.
  explicit TPalette(const TDib& dib);
  virtual ~TPalette() = default;

  int GetNumEntries() const { return static_cast<int>(Entries.size()); }
  const PALETTEENTRY* GetEntries() const { return Entries.data(); }

 protected:
  TPalette() = default;
  std::vector<PALETTEENTRY> Entries;
};

// The standard halftone palette: a 6 x 6 x 6 colour cube and a grey ramp.
class THalftonePalette : public TPalette {
 public:
  THalftonePalette();
};
