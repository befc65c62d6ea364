#include "framework/graphics/gdi.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "framework/graphics/dc.h"
#include "framework/graphics/dc_impl.h"
#include "framework/graphics/dib.h"
#include "framework/graphics/large_image.h"
#include "framework/graphics/qt_bridge.h"
#include "platform/utf8.h"

namespace {

// Largest bitmap side we make; beyond it a bitmap cannot be made, as on any real device.
constexpr int MaxBitmapSide = 32767;
// And at most 2^28 pixels (1 GiB of image), whatever the sides.
constexpr long long MaxBitmapPixels = 1LL << 28;
constexpr int DefaultFontHeight = 16;

void CheckBitmapSize(long long width, long long height) {
  if (width <= 0 || height <= 0 || width > MaxBitmapSide || height > MaxBitmapSide ||
      width * height > MaxBitmapPixels) {
    throw TXGdi("Unable to make a bitmap of this size.");
  }
}

QImage Unfilled(int width, int height) {
  CheckBitmapSize(width, height);
  QImage image = UnfilledImage(width, height);
  if (image.isNull()) throw TXGdi("Not enough memory for the bitmap.");
  return image;
}

QImage BlankImage(int width, int height, qreal ratio = 1) {
  CheckBitmapSize(width, height);
  QImage image = ratio == 1 ? Unfilled(width, height)
                            : Unfilled(DeviceEdge(width, ratio), DeviceEdge(height, ratio));
  image.fill(Qt::black);
  image.setDevicePixelRatio(ratio);
  return image;
}

// A length in logical pixels of an image made at its ratio with DeviceEdge.
int Logical(int device, qreal ratio) {
  return ratio == 1 ? device : qRound(device / ratio);
}

}  // namespace

// --- TFont -----------------------------------------------------------------------------

void SetFaceName(LOGFONT& log, const char* face) {
  const std::string_view name(face, strnlen(face, LF_FACESIZE));
  const std::size_t length = Utf8CutLength(name, LF_FACESIZE - 1);
  std::memmove(log.lfFaceName, name.data(), length);
  std::memset(log.lfFaceName + length, 0, LF_FACESIZE - length);
}

QFont FontFromLogFont(const LOGFONT& log) {
  QFont font;
  const std::size_t faceLength = strnlen(log.lfFaceName, LF_FACESIZE);
  if (faceLength > 0) font.setFamily(QString::fromUtf8(log.lfFaceName, qsizetype(faceLength)));
  font.setWeight(log.lfWeight == FW_DONTCARE
                     ? QFont::Normal
                     : static_cast<QFont::Weight>(std::clamp<int>(log.lfWeight, 100, 900)));
  font.setItalic(log.lfItalic != 0);
  font.setUnderline(log.lfUnderline != 0);
  font.setStrikeOut(log.lfStrikeOut != 0);
  font.setStyleStrategy(QFont::PreferDefault);
  // A negative height is the characters' height, a positive one the whole cell's.
  const int height = log.lfHeight == 0 ? DefaultFontHeight : std::abs(log.lfHeight);
  font.setPixelSize(std::max(1, height));
  if (log.lfHeight > 0) {
    const int cell = QFontMetrics(font).height();
    if (cell > 0 && cell != height) {
      font.setPixelSize(std::max(1, static_cast<int>(std::lround(double(height) * height / cell))));
    }
  }
  if (log.lfWidth > 0) {
    const int natural = QFontMetrics(font).averageCharWidth();
    if (natural > 0) {
      font.setStretch(
          std::clamp(static_cast<int>(std::lround(100.0 * log.lfWidth / natural)), 1, 4000));
    }
  }
  return font;
}

const QFont& TFont::TImpl::Get() const {
  if (!Realized) Realized = FontFromLogFont(Log);
  return *Realized;
}

TFont::TFont(const char* facename, int height, int width, int escapement, int orientation,
             int weight, BYTE pitchAndFamily, BYTE italic, BYTE underline, BYTE strikeout,
             BYTE charSet, BYTE outputPrecision, BYTE clipPrecision, BYTE quality)
    : Pimpl(std::make_unique<TImpl>()) {
  LOGFONT& log = Pimpl->Log;
  log.lfHeight = height;
  log.lfWidth = width;
  log.lfEscapement = escapement;
  log.lfOrientation = orientation;
  log.lfWeight = weight;
  log.lfItalic = italic;
  log.lfUnderline = underline;
  log.lfStrikeOut = strikeout;
  log.lfCharSet = charSet;
  log.lfOutPrecision = outputPrecision;
  log.lfClipPrecision = clipPrecision;
  log.lfQuality = quality;
  log.lfPitchAndFamily = pitchAndFamily;
  if (facename != nullptr) SetFaceName(log, facename);
}

TFont::TFont(const LOGFONT& logFont) : Pimpl(std::make_unique<TImpl>()) {
  Pimpl->Log = logFont;
  SetFaceName(Pimpl->Log, logFont.lfFaceName);
}

TFont::TFont(const TFont& other) : Pimpl(std::make_unique<TImpl>()) {
  Pimpl->Log = other.Pimpl->Log;
}

TFont::~TFont() = default;

bool TFont::GetObject(LOGFONT& logFont) const {
  logFont = Pimpl->Log;
  return true;
}

const LOGFONT& TFont::GetLogFont() const {
  return Pimpl->Log;
}

// --- TBitmap ---------------------------------------------------------------------------

TBitmap::TBitmap(int width, int height, int planes, int bitCount)
    : Pimpl(std::make_unique<TImpl>()) {
  Pimpl->Image = BlankImage(width, height);
  Pimpl->Monochrome = planes * bitCount == 1;
}

TBitmap::TBitmap(const TDC& dc, int width, int height) : Pimpl(std::make_unique<TImpl>()) {
  Pimpl->Image = BlankImage(width, height, dc.Impl().Ratio());
  Pimpl->Monochrome = dc.Impl().Monochrome();
}

TBitmap::TBitmap(const TDC& dc, const TDib& dib) : Pimpl(std::make_unique<TImpl>()) {
  if (!dib.IsOK()) throw TXGdi("The picture is empty.");
  CheckBitmapSize(dib.Width(), dib.Height());
  Pimpl->Image = DibToImage(dib);
  if (Pimpl->Image.isNull()) throw TXGdi("Unable to make a bitmap from the picture.");
  Pimpl->Monochrome = dc.Impl().Monochrome();
  if (Pimpl->Monochrome) SnapToMonochrome(Pimpl->Image);
}

TBitmap::TBitmap(int width, int height, TUnfilled) : Pimpl(std::make_unique<TImpl>()) {
  Pimpl->Image = Unfilled(width, height);
}

TBitmap::TBitmap(const TBitmap& other) : Pimpl(std::make_unique<TImpl>(*other.Pimpl)) {}

TBitmap::~TBitmap() = default;

int TBitmap::Width() const {
  return Logical(Pimpl->Image.width(), Pimpl->Image.devicePixelRatio());
}
int TBitmap::Height() const {
  return Logical(Pimpl->Image.height(), Pimpl->Image.devicePixelRatio());
}

TBitmap BitmapAt(int width, int height, qreal ratio) {
  TBitmap bitmap(1, 1);
  bitmap.Impl().Image = BlankImage(width, height, ratio);
  return bitmap;
}
bool TBitmap::IsMonochrome() const {
  return Pimpl->Monochrome;
}
BYTE* TBitmap::ScanLine(int y) {
  QImage& image = Pimpl->Image;
  if (Pimpl->Monochrome || y < 0 || y >= image.height()) return nullptr;
  return image.scanLine(y);
}
std::size_t TBitmap::BytesPerLine() const {
  return static_cast<std::size_t>(Pimpl->Image.bytesPerLine());
}

// --- Palettes --------------------------------------------------------------------------

TPalette::TPalette(const PALETTEENTRY* entries, int count) {
  if (entries == nullptr || count <= 0 || count > 256) throw TXGdi("Unable to make the palette.");
  Entries.assign(entries, entries + count);
}

TPalette::TPalette(const TDib& dib) {
  const RGBQUAD* colours = dib.GetColors();
  const int count = dib.NumColors();
  if (colours == nullptr || count <= 0) throw TXGdi("The picture has no colour table.");
  Entries.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    Entries.push_back({colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue, 0});
  }
}

THalftonePalette::THalftonePalette() {
  // 216 colours of the 6 x 6 x 6 cube, then a ramp of the greys between them.
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) {
        Entries.push_back(
            {static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(b * 51), 0});
      }
    }
  }
  for (int i = 1; Entries.size() < 256; ++i) {
    const auto grey = static_cast<BYTE>(i * 255 / 41);
    Entries.push_back({grey, grey, grey, 0});
  }
}
