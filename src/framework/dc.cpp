#include "framework/dc.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPolygon>
#include <QScreen>
#include <QTransform>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/dc_impl.h"
#include "framework/dib.h"
#include "framework/line_raster.h"
#include "framework/qt_bridge.h"
#include "framework/window_impl.h"

namespace {

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

QFont CurrentFont(const TDC::TImpl& d) {
  if (d.Font != nullptr) return d.Font->Impl().Get();
  // The system font: rarely drawn with, so it is made when needed.
  LOGFONT log{};
  log.lfHeight = 16;
  log.lfWeight = FW_BOLD;
  return FontFromLogFont(log);
}

// Whether drawing device pixels can change nothing: they miss the target or the region
// being painted. Qt would clip them away as well, but only after enough work that a paint
// drawing a whole board into one small invalid cell spends most of its time there.
bool OutOfSightOnDevice(const TDC::TImpl& d, const QRect& device) {
  if (d.Target == nullptr) return false;
  if (!device.intersects(d.Target->rect())) return true;
  return d.Clip && !d.Clip->boundingRect().intersects(device);
}

// The rectangle with these two corners, both inside it. (QRect::normalized would leave
// the corners out of a rectangle given right to left.)
QRect Corners(int x1, int y1, int x2, int y2) {
  return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
               QPoint(std::max(x1, x2), std::max(y1, y2)));
}

bool& DirectLinesOn() {
  static bool on = true;
  return on;
}
}  // namespace

void SetDirectLines(bool on) {
  DirectLinesOn() = on;
}

namespace {}  // namespace

bool WritesDirectly(const TDC::TImpl& d) {
  const QImage* target = d.Target;
  return DirectLinesOn() && target != nullptr && target->format() == QImage::Format_RGB32 &&
         !d.Monochrome() && target->isDetached();
}

namespace {

// Device pixels written into the target, within it and the clip region, as the painter
// would fill them.
void PutOnDevice(TDC::TImpl& d, const QRect& device, QRgb colour) {
  QImage& target = *d.Target;
  const QRect onTarget = device & target.rect();
  if (onTarget.isEmpty()) return;
  uchar* bits = target.bits();
  const qsizetype stride = target.bytesPerLine();
  const auto put = [bits, stride, colour](const QRect& r) {
    if (r.isEmpty()) return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
      std::fill(row + r.left(), row + r.right() + 1, colour);
    }
  };
  if (d.Clip) {
    for (const QRect& part : *d.Clip) put(onTarget & part);
  } else {
    put(onTarget);
  }
}

// A straight one-pixel run (logical pixels) written into the target's pixels directly.
// Bevels draw tens of thousands of such runs a paint, and the painter spends far longer
// getting ready for each than the pixels take. False leaves the run to the painter.
bool PutRun(TDC::TImpl& d, const QRect& run, const QRect& device, QRgb colour) {
  if (!WritesDirectly(d)) return false;
  PutOnDevice(d, device, colour);
  d.Touch(run);
  return true;
}

// Device pixels filled, directly where the target allows, else by the painter.
void FillOnDevice(TDC::TImpl& d, const QRect& device, QRgb colour) {
  if (WritesDirectly(d)) {
    PutOnDevice(d, device, colour);
  } else if (QPainter* p = d.Begin(TDC::TImpl::TSpace::Device)) {
    p->fillRect(device, QColor(colour));
  }
}

void DrawLine(TDC::TImpl& d, TPoint from, TPoint to) {
  if (d.NullPen) return;
  static const TPen blackPen(0x000000);
  const TPen& pen = d.Pen != nullptr ? *d.Pen : blackPen;
  if (pen.GetStyle() == PS_NULL) return;
  const QColor colour(ToQRgb(pen.GetColor()));
  const QRect span = Corners(from.x, from.y, to.x, to.y);
  if (pen.GetWidth() <= 1) {
    if (from.x == to.x && from.y == to.y) return;  // no pixels without the end point
    if (from.x == to.x || from.y == to.y) {
      // A straight run is one rectangle, one pixel short of the end point: filling it
      // costs a fraction of plotting its points, and bevels and frames are all such runs.
      const int sx = (to.x > from.x) - (to.x < from.x);
      const int sy = (to.y > from.y) - (to.y < from.y);
      const QRect run = Corners(from.x, from.y, to.x - sx, to.y - sy);
      const QRect device = d.OnDevice(run);
      if (OutOfSightOnDevice(d, device) || PutRun(d, run, device, colour.rgb())) return;
      QPainter* p = d.Begin(TDC::TImpl::TSpace::Device);
      if (p == nullptr) return;
      p->fillRect(device, colour);
      d.Touch(run);
      return;
    }
    if (OutOfSight(d, span)) return;
    if (d.Ratio() != 1) {
      // Slanted, at the device's resolution: a line as many device pixels thick as a
      // logical pixel is wide, rather than a staircase of magnified pixels.
      if (d.Target == nullptr || d.Target->isNull()) return;
      const QPoint a = d.OnDevice(from.x, from.y);
      const QPoint b = d.OnDevice(to.x, to.y);
      const int width = std::max(1, qRound(d.Ratio()));
      for (const TRect& run : WideLinePixels(TPoint(a.x(), a.y()), TPoint(b.x(), b.y()), width)) {
        FillOnDevice(d, ToQRect(run), colour.rgb());
      }
      d.Touch(span);
      return;
    }
    QPainter* p = d.Begin();
    if (p == nullptr) return;
    const std::vector<TPoint> pixels = LinePixels(from, to);
    QPolygon points(static_cast<int>(pixels.size()));
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      points.setPoint(static_cast<int>(i), pixels[i].x, pixels[i].y);
    }
    p->setPen(QPen(colour, 0));
    p->drawPoints(points);
    d.Touch(points.boundingRect());
  } else {
    const int w = pen.GetWidth();
    const QRect reach = span.adjusted(-w, -w, w, w);
    if (OutOfSight(d, reach)) return;
    QPainter* p = d.Begin();
    if (p == nullptr) return;
    p->setPen(QPen(colour, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p->drawLine(from.x, from.y, to.x, to.y);
    d.Touch(reach);
  }
}

}  // namespace

bool OutOfSight(const TDC::TImpl& d, const QRect& r) {
  return OutOfSightOnDevice(d, d.OnDevice(r));
}

void Fill(TDC::TImpl& d, const QRect& r, COLORREF colour) {
  if (r.isEmpty()) return;
  const QRect device = d.OnDevice(r);
  if (OutOfSightOnDevice(d, device)) return;
  // Small fills (single pixels, bevel edges) go straight into plain 32-bit targets; the
  // painter costs more to get ready than they take, but fills large areas faster.
  constexpr int SmallFill = 256;
  if (r.width() * r.height() <= SmallFill && PutRun(d, r, device, ToQRgb(colour))) return;
  QPainter* p = d.Begin(TDC::TImpl::TSpace::Device);
  if (p == nullptr) return;
  p->fillRect(device, QColor(ToQRgb(colour)));
  d.Touch(r);
}

namespace {
COLORREF BrushColour(const TDC::TImpl& d) {
  return d.Brush != nullptr ? d.Brush->GetColor() : 0xFFFFFF;
}
}  // namespace

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
  if (Window != nullptr && Window->Impl() != nullptr) Window->Impl()->Show(Drawn);
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
  if (Pimpl->Window != nullptr) return;  // only memory contexts hold bitmaps
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

bool TDC::MoveTo(int x, int y) {
  Pimpl->Position = TPoint(x, y);
  return true;
}

bool TDC::LineTo(int x, int y) {
  const TPoint from = std::exchange(Pimpl->Position, TPoint(x, y));
  DrawLine(*Pimpl, from, TPoint(x, y));
  return true;
}

TPoint TDC::GetCurrentPosition() const {
  return Pimpl->Position;
}

bool TDC::Polygon(const TPoint* points, int count) {
  if (points == nullptr || count < 2) return false;
  if (!Pimpl->NullBrush) {
    // Corners on device edges: a side that runs along a logical edge meets the fills and
    // lines beside it, and slanted sides are cut at the device's resolution.
    if (QPainter* p = Pimpl->Begin(TImpl::TSpace::Device)) {
      QPolygon polygon(count);
      QPolygon device(count);
      for (int i = 0; i < count; ++i) {
        polygon.setPoint(i, points[i].x, points[i].y);
        device.setPoint(i, Pimpl->OnDevice(points[i].x, points[i].y));
      }
      p->setPen(Qt::NoPen);
      p->setBrush(QColor(ToQRgb(BrushColour(*Pimpl))));
      p->drawPolygon(device);
      p->setBrush(Qt::NoBrush);
      Pimpl->Touch(polygon.boundingRect());
    }
  }
  for (int i = 0; i < count; ++i) DrawLine(*Pimpl, points[i], points[(i + 1) % count]);
  return true;
}

bool TDC::Rectangle(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const bool outline =
      !Pimpl->NullPen && (Pimpl->Pen == nullptr || Pimpl->Pen->GetStyle() != PS_NULL);
  if (!outline) {
    if (!Pimpl->NullBrush) {
      Fill(*Pimpl, QRect(left, top, right - left - 1, bottom - top - 1), BrushColour(*Pimpl));
    }
    return true;
  }
  if (!Pimpl->NullBrush) {
    Fill(*Pimpl, QRect(left, top, right - left, bottom - top), BrushColour(*Pimpl));
  }
  const TPoint corners[] = {
      {left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
  for (int i = 0; i < 4; ++i) DrawLine(*Pimpl, corners[i], corners[(i + 1) % 4]);
  return true;
}

bool TDC::FillRect(const TRect& rect, const TBrush& brush) {
  Fill(*Pimpl, ToQRect(rect), brush.GetColor());
  return true;
}

// A logical pixel is read at the first of its device pixels.
COLORREF TDC::GetPixel(int x, int y) const {
  const QImage* image = Pimpl->Target;
  if (image == nullptr) return CLR_INVALID;
  const QPoint at = Pimpl->OnDevice(x, y);
  if (!image->valid(at)) return CLR_INVALID;
  return ToColorRef(image->pixel(at));
}

COLORREF TDC::SetPixel(int x, int y, COLORREF color) {
  if (Pimpl->Target == nullptr || !Pimpl->Target->valid(Pimpl->OnDevice(x, y))) {
    return CLR_INVALID;
  }
  Fill(*Pimpl, QRect(x, y, 1, 1), color);
  return color;
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

bool TDC::TextOut(int x, int y, const char* text, int count) {
  if (text == nullptr) return false;
  QPainter* p = Pimpl->Begin();
  if (p == nullptr) return false;
  const QString s = QString::fromUtf8(text, count < 0 ? qsizetype(std::strlen(text)) : count);
  const QFont font = CurrentFont(*Pimpl);
  const QFontMetrics metrics(font);
  const QRect cell(x, y, metrics.horizontalAdvance(s), metrics.height());
  if (Pimpl->BkMode == OPAQUE) {
    Fill(*Pimpl, cell, Pimpl->BkColor);
    p = Pimpl->Begin();
  }
  p->setFont(font);
  p->setPen(QColor(ToQRgb(Pimpl->TextColor)));
  p->drawText(QPoint(x, y + metrics.ascent()), s);
  // Italic and antialiased glyphs may reach a little past their cell.
  Pimpl->Touch(cell.adjusted(-2, -1, 2 + metrics.height() / 4, 1));
  return true;
}

TSize AverageCharSize(const QFont& font) {
  // Bars and dialogs ask again for the same few fonts at every layout, and measuring means
  // shaping the alphabet: remember the answers.
  static std::vector<std::pair<QFont, TSize>> known;
  const auto hit = std::find_if(known.begin(), known.end(),
                                [&font](const auto& entry) { return entry.first == font; });
  if (hit != known.end()) return hit->second;
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const TSize size((letters / 26 + 1) / 2, metrics.height());
  known.emplace_back(font, size);
  return size;
}

TSize TDC::GetAverageCharSize() const {
  return AverageCharSize(CurrentFont(*Pimpl));
}

int TDC::DrawText(const char* text, int count, const TRect& rect, UINT format) {
  if (text == nullptr) return 0;
  QPainter* p = Pimpl->Begin();
  if (p == nullptr) return 0;
  const QString s = QString::fromUtf8(text, count < 0 ? qsizetype(std::strlen(text)) : count);
  int flags = Qt::TextSingleLine;
  flags |= (format & DT_NOPREFIX) != 0 ? 0 : Qt::TextShowMnemonic;
  if ((format & DT_CENTER) != 0) {
    flags |= Qt::AlignHCenter;
  } else if ((format & DT_RIGHT) != 0) {
    flags |= Qt::AlignRight;
  } else {
    flags |= Qt::AlignLeft;
  }
  const bool single = (format & DT_SINGLELINE) != 0;
  if (single && (format & DT_VCENTER) != 0) {
    flags |= Qt::AlignVCenter;
  } else if (single && (format & DT_BOTTOM) != 0) {
    flags |= Qt::AlignBottom;
  } else {
    flags |= Qt::AlignTop;
  }
  const QRect box = ToQRect(rect);
  const QFont font = CurrentFont(*Pimpl);
  p->save();
  if ((format & DT_NOCLIP) == 0) p->setClipRect(box, Qt::IntersectClip);
  p->setFont(font);
  const QRect cell = p->boundingRect(box, flags, s);
  if (Pimpl->BkMode == OPAQUE) p->fillRect(cell, QColor(ToQRgb(Pimpl->BkColor)));
  p->setPen(QColor(ToQRgb(Pimpl->TextColor)));
  p->drawText(box, flags, s);
  p->restore();
  Pimpl->Touch((format & DT_NOCLIP) != 0 ? cell.adjusted(-2, -1, 2, 1) : box);
  return cell.height();
}

TSize TDC::GetTextExtent(const char* text, int count) const {
  if (text == nullptr) return TSize();
  const QString s = QString::fromUtf8(text, count < 0 ? qsizetype(std::strlen(text)) : count);
  const QFontMetrics metrics(CurrentFont(*Pimpl));
  return TSize(metrics.horizontalAdvance(s), metrics.height());
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

std::unique_ptr<TDC::TImpl> WindowImpl(TWindow& window, bool showAtOnce) {
  auto impl = std::make_unique<TDC::TImpl>();
  TWindow::TImpl* w = window.Impl();
  if (w != nullptr && w->Widget != nullptr) {
    w->MakeBacking(window.GetBkgndColor());
    impl->Target = &w->Backing;
  }
  if (showAtOnce) impl->Window = &window;
  return impl;
}
}  // namespace

TClientDC::TClientDC(TWindow& window) : TDC(WindowImpl(window, true)) {}

TMemoryDC::TMemoryDC() : TDC(OwnImageImpl(true)) {}

TMemoryDC::TMemoryDC(const TDC& compatible) : TDC(OwnImageImpl(true, compatible.Impl().Ratio())) {}

TMemoryDC::TMemoryDC(TBitmap& bitmap) : TDC(OwnImageImpl(true)) {
  SelectObject(bitmap);
}

TScreenDC::TScreenDC() : TDC(OwnImageImpl(false, ScreenRatio())) {}

TPaintDC::TPaintDC(TWindow& window, const QRegion& clip) : TDC(WindowImpl(window, false)) {
  Impl().Clip = DeviceRegion(clip, Impl().Ratio());
}
