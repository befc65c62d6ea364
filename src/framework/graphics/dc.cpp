// A device context's state: its target, the objects selected into it, its modes and
// origin, what it tells of its device; and the kinds of context that draw on bitmaps.
#include "framework/graphics/dc.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPolygon>
#include <QScreen>
#include <QTransform>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/graphics/dc_impl.h"
#include "framework/graphics/dib.h"
#include "framework/graphics/line_raster.h"
#include "framework/graphics/qt_bridge.h"

// --- TImpl ---------------------------------------------------------------------------

bool TDC::TImpl::Monochrome() const {
  if (Bitmap != nullptr) return Bitmap->IsMonochrome();
  return Target == &OwnImage && OwnMonochrome;
}

QPainter* TDC::TImpl::Begin(TSpace space) {
  if (Target == nullptr || Target->isNull()) return nullptr;
  if (!Painter || !Painter->isActive()) {
    if (!Painter) Painter.emplace();
    QImage* canvas = Target;
    if (Target->devicePixelRatio() != 1) {
      // Qt's painter would take logical coordinates and round device edges its own way;
      // on a view of the same pixels at ratio 1 this context places them itself.
      DeviceView = QImage(Target->bits(), Target->width(), Target->height(), Target->bytesPerLine(),
                          Target->format());
      canvas = &DeviceView;
    }
    if (!Painter->begin(canvas)) return nullptr;
    Painter->setRenderHint(QPainter::Antialiasing, false);
    Painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    Painter->setRenderHint(QPainter::TextAntialiasing, true);
    // The clip is in device pixels of the target, so the transform comes after it.
    if (Clip) Painter->setClipRegion(*Clip);
  } else if (space == Space) {
    return &*Painter;
  }
  Space = space;
  PlaceOrigin();
  return &*Painter;
}

void TDC::TImpl::PlaceOrigin() {
  if (!Painter || !Painter->isActive()) return;
  const qreal ratio = Ratio();
  if (Space == TSpace::Device) {
    Painter->setTransform(QTransform());
  } else {
    Painter->setTransform(QTransform(ratio, 0, 0, ratio, Origin.x() * ratio, Origin.y() * ratio));
  }
}

void TDC::TImpl::End() {
  if (Painter && Painter->isActive()) Painter->end();
  DeviceView = QImage();
}

void TDC::TImpl::Finish() {
  End();
  if (Drawn.isEmpty()) return;
  if (Monochrome() && Target != nullptr) SnapToMonochrome(*Target);
  if (ShowDrawn) ShowDrawn(Drawn);
  Drawn = QRect();
}

void TDC::TImpl::SetTarget(QImage* target) {
  Finish();
  Target = target;
}

// --- TDC -------------------------------------------------------------------------------

TDC::TDC(std::unique_ptr<TImpl> impl) : Pimpl(std::move(impl)) {}

TDC::~TDC() {
  Pimpl->Finish();
}

bool TDC::IsNull() const {
  return Pimpl->Target == nullptr || Pimpl->Target->isNull();
}

void TDC::SelectObject(const TPen& pen) {
  Pimpl->Pen = &pen;
  Pimpl->NullPen = false;
}
void TDC::SelectObject(const TBrush& brush) {
  Pimpl->Brush = &brush;
  Pimpl->NullBrush = false;
}
void TDC::SelectObject(const TFont& font) {
  Pimpl->Font = &font;
}
void TDC::SelectObject(TBitmap& bitmap) {
  if (Pimpl->ShowDrawn) return;  // a window's client context holds no bitmap
  Pimpl->SetTarget(&bitmap.Impl().Image);
  Pimpl->Bitmap = &bitmap;
}
void TDC::SelectObject(const TPalette& palette, bool) {
  Pimpl->Palette = &palette;
}
void TDC::SelectNullPen() {
  Pimpl->NullPen = true;
}
void TDC::SelectNullBrush() {
  Pimpl->NullBrush = true;
}
void TDC::RestorePen() {
  Pimpl->Pen = nullptr;
  Pimpl->NullPen = false;
}
void TDC::RestoreBrush() {
  Pimpl->Brush = nullptr;
  Pimpl->NullBrush = false;
}
void TDC::RestoreFont() {
  Pimpl->Font = nullptr;
}
void TDC::RestoreBitmap() {
  if (Pimpl->Bitmap == nullptr) return;
  Pimpl->SetTarget(&Pimpl->OwnImage);
  Pimpl->Bitmap = nullptr;
}
void TDC::RestorePalette() {
  Pimpl->Palette = nullptr;
}
void TDC::RestoreObjects() {
  RestorePen();
  RestoreBrush();
  RestoreFont();
  RestoreBitmap();
  RestorePalette();
}

// True-colour displays have no system palette to map into.
UINT TDC::RealizePalette() {
  return 0;
}
bool TDC::UpdateColors() {
  return true;
}

int TDC::SetMapMode(int mode) {
  return std::exchange(Pimpl->MapMode, mode);
}
int TDC::SetBkMode(int mode) {
  return std::exchange(Pimpl->BkMode, mode);
}
COLORREF TDC::SetBkColor(COLORREF color) {
  return std::exchange(Pimpl->BkColor, color);
}
COLORREF TDC::SetTextColor(COLORREF color) {
  return std::exchange(Pimpl->TextColor, color);
}
int TDC::SetStretchBltMode(int mode) {
  return std::exchange(Pimpl->StretchMode, mode);
}
int TDC::GetStretchBltMode() const {
  return Pimpl->StretchMode;
}

TPoint TDC::SetViewportOrg(const TPoint& origin) {
  const TPoint old(Pimpl->Origin.x(), Pimpl->Origin.y());
  Pimpl->Origin = QPoint(origin.x, origin.y);
  Pimpl->PlaceOrigin();
  return old;
}

TPoint TDC::GetViewportOrg() const {
  return TPoint(Pimpl->Origin.x(), Pimpl->Origin.y());
}

int TDC::GetDeviceCaps(int index) const {
  const QImage* image = Pimpl->Target;
  switch (index) {
    case RASTERCAPS:
      return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case BITSPIXEL:
      return Pimpl->Monochrome() ? 1 : 32;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return -1;
    case SIZEPALETTE:
      return 0;
    case LOGPIXELSX:
    case LOGPIXELSY:
      // As the desktop's scale sets it: 120 at 1.25, 192 at 2.
      return qRound(96 * Pimpl->Ratio());
    case HORZRES:
    case VERTRES: {
      QSize size = image != nullptr ? image->deviceIndependentSize().toSize() : QSize();
      if (Pimpl->Target == &Pimpl->OwnImage && !Pimpl->OwnMonochrome &&
          QGuiApplication::primaryScreen() != nullptr) {
        size = QGuiApplication::primaryScreen()->size();
      }
      return index == HORZRES ? size.width() : size.height();
    }
    default:
      return 0;
  }
}

// --- The kinds of context -------------------------------------------------------------

namespace {
// The 1 x 1 bitmap a fresh context holds, shared by every context until one draws on it:
// a memory context that only lends a picture to a blit makes no image of its own.
const QImage& FreshImage(bool monochrome) {
  static const auto make = [](Qt::GlobalColor colour) {
    QImage image(1, 1, QImage::Format_RGB32);
    image.fill(colour);
    return image;
  };
  static const QImage black = make(Qt::black);
  static const QImage white = make(Qt::white);
  return monochrome ? black : white;
}

// ratio: what the bitmaps made compatible with the context are made at.
std::unique_ptr<TDC::TImpl> OwnImageImpl(bool monochrome, qreal ratio = 1) {
  auto impl = std::make_unique<TDC::TImpl>();
  impl->OwnImage = FreshImage(monochrome);
  impl->OwnRatio = ratio;
  impl->OwnMonochrome = monochrome;
  impl->Target = &impl->OwnImage;
  return impl;
}

qreal ScreenRatio() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->devicePixelRatio() : 1;
}

}  // namespace

TMemoryDC::TMemoryDC() : TDC(OwnImageImpl(true)) {}

TMemoryDC::TMemoryDC(const TDC& compatible) : TDC(OwnImageImpl(true, compatible.Impl().Ratio())) {}

TMemoryDC::TMemoryDC(TBitmap& bitmap) : TDC(OwnImageImpl(true)) {
  SelectObject(bitmap);
}

TScreenDC::TScreenDC() : TDC(OwnImageImpl(false, ScreenRatio())) {}
