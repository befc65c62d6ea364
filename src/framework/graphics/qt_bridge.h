// Private to the framework (and its tests): the Qt side of the framework's objects.
// Game code never includes this header.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

#include <optional>

#include "framework/graphics/dib.h"
#include "framework/graphics/gdi.h"
#include "framework/graphics/geometry.h"

struct TBitmap::TImpl {
  QImage Image;  // always Format_RGB32
  bool Monochrome = false;
};

struct TFont::TImpl {
  LOGFONT Log{};
  // Made on first use: a QFont needs the application's font database.
  mutable std::optional<QFont> Realized;
  const QFont& Get() const;
};

// The font a logical font stands for (face, pixel height of the cell or of the
// characters, average width, weight, italic, underline, strike-out).
QFont FontFromLogFont(const LOGFONT& log);

inline QRgb ToQRgb(COLORREF c) {
  return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline COLORREF ToColorRef(QRgb c) {
  return RGB(static_cast<BYTE>(qRed(c)), static_cast<BYTE>(qGreen(c)), static_cast<BYTE>(qBlue(c)));
}
inline QRect ToQRect(const TRect& r) {
  return QRect(r.left, r.top, r.Width(), r.Height());
}
inline TRect ToTRect(const QRect& r) {
  return TRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
}

// A font's average character width (the letters A to Z and a to z, halved and rounded)
// and its height, as dialog units and text gadgets measure them.
TSize AverageCharSize(const QFont& font);

// The DIB's pixels as a top-down Format_RGB32 image; a null image for DIBs that cannot
// be shown (compressed, empty or inconsistent).
QImage DibToImage(const TDib& dib);
// An icon's image: as DibToImage, but a 32-bit DIB whose fourth bytes are not all zero
// keeps them as its alpha (Format_ARGB32). Pictures never do, where that byte is unused.
QImage IconToImage(const TDib& dib);

// Snaps every pixel to black or white, as drawing on a monochrome bitmap does.
void SnapToMonochrome(QImage& image);
