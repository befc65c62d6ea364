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

QPainter::CompositionMode CompositionFor(DWORD rop) {
  switch (rop) {
    case SRCPAINT:
      return QPainter::RasterOp_SourceOrDestination;
    case SRCAND:
      return QPainter::RasterOp_SourceAndDestination;
    case SRCINVERT:
      return QPainter::RasterOp_SourceXorDestination;
    case NOTSRCCOPY:
      return QPainter::RasterOp_NotSource;
    default:
      return QPainter::CompositionMode_Source;
  }
}

// A monochrome source drawn in colour takes the text colour for black, the background
// colour for white.
QImage ColourizeMonochrome(const QImage& mono, COLORREF text, COLORREF back) {
  QImage out = mono.convertToFormat(QImage::Format_RGB32);
  const QRgb fore = ToQRgb(text);
  const QRgb bk = ToQRgb(back);
  for (int y = 0; y < out.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) row[x] = qGray(row[x]) >= 128 ? bk : fore;
  }
  return out;
}

// Whether drawing r (logical pixels) can change nothing: it misses the target or the
// region being painted. Qt would clip it away as well, but only after enough work that a
// paint drawing a whole board into one small invalid cell spends most of its time there.
bool OutOfSight(const TDC::TImpl& d, const QRect& r) {
  if (d.Target == nullptr) return false;
  const QRect onTarget = r.translated(d.Origin);
  if (!onTarget.intersects(d.Target->rect())) return true;
  return d.Clip && !d.Clip->boundingRect().intersects(onTarget);
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

namespace {

// A straight one-pixel run written into the target's pixels, through the origin and
// within the target and the clip region, as the painter would fill it. Bevels draw tens
// of thousands of such runs a paint, and the painter spends far longer getting ready for
// each than the pixels take. False leaves the run to the painter: a target that is not
// plain 32-bit colour, or whose pixels are shared (the painter copies them first).
bool PutRun(TDC::TImpl& d, const QRect& run, QRgb colour) {
  QImage* target = d.Target;
  if (!DirectLinesOn() || target == nullptr || target->format() != QImage::Format_RGB32 ||
      d.Monochrome() || !target->isDetached()) {
    return false;
  }
  const QRect onTarget = run.translated(d.Origin) & target->rect();
  if (!onTarget.isEmpty()) {
    uchar* bits = target->bits();
    const qsizetype stride = target->bytesPerLine();
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
  d.Touch(run);
  return true;
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
    if (OutOfSight(d, span)) return;
    if (from.x == to.x || from.y == to.y) {
      // A straight run is one rectangle, one pixel short of the end point: filling it
      // costs a fraction of plotting its points, and bevels and frames are all such runs.
      const int sx = (to.x > from.x) - (to.x < from.x);
      const int sy = (to.y > from.y) - (to.y < from.y);
      const QRect run = Corners(from.x, from.y, to.x - sx, to.y - sy);
      if (PutRun(d, run, colour.rgb())) return;
      QPainter* p = d.Begin();
      if (p == nullptr) return;
      p->fillRect(run, colour);
      d.Touch(run);
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

void Fill(TDC::TImpl& d, const QRect& r, COLORREF colour) {
  if (r.isEmpty() || OutOfSight(d, r)) return;
  // Small fills (single pixels, bevel edges) go straight into plain 32-bit targets; the
  // painter costs more to get ready than they take, but fills large areas faster.
  constexpr int SmallFill = 256;
  if (r.width() * r.height() <= SmallFill && PutRun(d, r, ToQRgb(colour))) return;
  QPainter* p = d.Begin();
  if (p == nullptr) return;
  p->fillRect(r, QColor(ToQRgb(colour)));
  d.Touch(r);
}

COLORREF BrushColour(const TDC::TImpl& d) {
  return d.Brush != nullptr ? d.Brush->GetColor() : 0xFFFFFF;
}

// The pixels an origin and a signed extent cover: a negative extent runs back from the
// origin, which it includes (x = 3, width -4 covers 0..3).
QRect Span(const QRect& r) {
  const int left = r.width() < 0 ? r.x() + r.width() + 1 : r.x();
  const int top = r.height() < 0 ? r.y() + r.height() + 1 : r.y();
  return QRect(left, top, std::abs(r.width()), std::abs(r.height()));
}

// Copies source pixels (image coordinates, either side may be mirrored by a negative
// extent) onto the destination rectangle.
bool Blit(TDC::TImpl& d, QRect dest, const QImage& source, QRect from, bool sourceMonochrome,
          DWORD rop) {
  QPainter* p = d.Begin();
  if (p == nullptr) return false;
  if (dest.width() == 0 || dest.height() == 0 || from.width() == 0 || from.height() == 0) {
    return true;
  }
  const bool mirrorX = (dest.width() < 0) != (from.width() < 0);
  const bool mirrorY = (dest.height() < 0) != (from.height() < 0);
  dest = Span(dest);
  from = Span(from);
  if (OutOfSight(d, dest)) return true;
  if (rop == BLACKNESS || rop == WHITENESS) {
    Fill(d, dest, rop == BLACKNESS ? 0x000000 : 0xFFFFFF);
    return true;
  }
  // Only the part of the source inside the image is copied, onto the matching part of the
  // destination: a source rectangle reaching far outside must not cost memory for it.
  const QRect inside = from & source.rect();
  if (inside.isEmpty()) return true;
  if (inside != from) {
    const auto scale = [](int offset, int to, int of) {
      return static_cast<int>(static_cast<long long>(offset) * to / of);
    };
    const int fromRight = from.x() + from.width();
    const int insideRight = inside.x() + inside.width();
    const int fromBottom = from.y() + from.height();
    const int insideBottom = inside.y() + inside.height();
    const int left = mirrorX ? scale(fromRight - insideRight, dest.width(), from.width())
                             : scale(inside.x() - from.x(), dest.width(), from.width());
    const int right = mirrorX ? scale(fromRight - inside.x(), dest.width(), from.width())
                              : scale(insideRight - from.x(), dest.width(), from.width());
    const int top = mirrorY ? scale(fromBottom - insideBottom, dest.height(), from.height())
                            : scale(inside.y() - from.y(), dest.height(), from.height());
    const int bottom = mirrorY ? scale(fromBottom - inside.y(), dest.height(), from.height())
                               : scale(insideBottom - from.y(), dest.height(), from.height());
    dest = QRect(dest.x() + left, dest.y() + top, right - left, bottom - top);
    from = inside;
    if (dest.isEmpty()) return true;
  }
  p->setCompositionMode(CompositionFor(rop));
  p->setRenderHint(QPainter::SmoothPixmapTransform, d.StretchMode == HALFTONE);
  const bool sameImage = d.Target == &source || d.Target->constBits() == source.constBits();
  if (!mirrorX && !mirrorY && !sourceMonochrome && !sameImage) {
    p->drawImage(dest, source, from);
  } else {
    QImage piece = source.copy(from);
    if (mirrorX || mirrorY) piece = piece.mirrored(mirrorX, mirrorY);
    if (sourceMonochrome && !d.Monochrome())
      piece = ColourizeMonochrome(piece, d.TextColor, d.BkColor);
    p->drawImage(dest, piece);
  }
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  d.Touch(dest);
  return true;
}

}  // namespace

// --- TImpl ---------------------------------------------------------------------------

bool TDC::TImpl::Monochrome() const {
  if (Bitmap != nullptr) return Bitmap->IsMonochrome();
  return Target == &OwnImage && OwnMonochrome;
}

QPainter* TDC::TImpl::Begin() {
  if (Target == nullptr || Target->isNull()) return nullptr;
  if (!Painter.isActive()) {
    if (!Painter.begin(Target)) return nullptr;
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    Painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (Clip) Painter.setClipRegion(*Clip);
    // The clip is in target pixels, so the origin comes after it.
    Painter.setTransform(QTransform::fromTranslate(Origin.x(), Origin.y()));
  }
  return &Painter;
}

void TDC::TImpl::End() {
  if (Painter.isActive()) Painter.end();
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
    if (QPainter* p = Pimpl->Begin()) {
      QPolygon polygon(count);
      for (int i = 0; i < count; ++i) polygon.setPoint(i, points[i].x, points[i].y);
      p->setPen(Qt::NoPen);
      p->setBrush(QColor(ToQRgb(BrushColour(*Pimpl))));
      p->drawPolygon(polygon);
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

COLORREF TDC::GetPixel(int x, int y) const {
  const QImage* image = Pimpl->Target;
  const QPoint at = QPoint(x, y) + Pimpl->Origin;
  if (image == nullptr || !image->valid(at)) return CLR_INVALID;
  return ToColorRef(image->pixel(at));
}

COLORREF TDC::SetPixel(int x, int y, COLORREF color) {
  if (Pimpl->Target == nullptr || !Pimpl->Target->valid(QPoint(x, y) + Pimpl->Origin)) {
    return CLR_INVALID;
  }
  Fill(*Pimpl, QRect(x, y, 1, 1), color);
  return color;
}

TPoint TDC::SetViewportOrg(const TPoint& origin) {
  const TPoint old(Pimpl->Origin.x(), Pimpl->Origin.y());
  Pimpl->Origin = QPoint(origin.x, origin.y);
  if (Pimpl->Painter.isActive()) {
    Pimpl->Painter.setTransform(QTransform::fromTranslate(origin.x, origin.y));
  }
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
  if (Pimpl->BkMode == OPAQUE) p->fillRect(cell, QColor(ToQRgb(Pimpl->BkColor)));
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

bool TDC::BitBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy,
                 DWORD rop) {
  return StretchBlt(x, y, width, height, source, sx, sy, width, height, rop);
}

bool TDC::StretchBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy,
                     int sWidth, int sHeight, DWORD rop) {
  const TImpl& s = *source.Pimpl;
  if (s.Target == nullptr || s.Target->isNull()) return false;
  return Blit(*Pimpl, QRect(x, y, width, height), *s.Target, QRect(sx, sy, sWidth, sHeight),
              s.Monochrome(), rop);
}

int TDC::StretchDIBits(const TRect& dest, const TRect& source, const void* bits,
                       const BITMAPINFO& info, UINT usage, DWORD rop) {
  if (bits == nullptr || usage != DIB_RGB_COLORS) return 0;
  TDib dib;
  if (!dib.CreateFromHeader(info.bmiHeader)) return 0;
  // Masks and colour table follow the header in the caller's block, as in ours.
  const auto* tables = reinterpret_cast<const BYTE*>(&info) + sizeof(BITMAPINFOHEADER);
  if (DWORD* masks = dib.GetMasks()) std::memcpy(masks, tables, 3 * sizeof(DWORD));
  if (RGBQUAD* colours = dib.GetColors()) {
    const std::size_t maskBytes = dib.GetMasks() != nullptr ? 3 * sizeof(DWORD) : 0;
    std::memcpy(colours, tables + maskBytes, sizeof(RGBQUAD) * dib.NumColors());
  }
  std::memcpy(dib.GetBits(), bits, dib.SizeImage());
  const QImage image = DibToImage(dib);
  if (image.isNull()) return 0;
  // The source origin of a bottom-up DIB is its lower-left corner.
  const QRect from(source.left, image.height() - source.top - source.Height(), source.Width(),
                   source.Height());
  if (!Blit(*Pimpl, ToQRect(dest), image, from, false, rop)) return 0;
  return std::abs(source.Height());
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
      return 96;
    case HORZRES:
    case VERTRES: {
      QSize size = image != nullptr ? image->size() : QSize();
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

std::unique_ptr<TDC::TImpl> OwnImageImpl(bool monochrome) {
  auto impl = std::make_unique<TDC::TImpl>();
  impl->OwnImage = FreshImage(monochrome);
  impl->OwnMonochrome = monochrome;
  impl->Target = &impl->OwnImage;
  return impl;
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

TMemoryDC::TMemoryDC(const TDC&) : TDC(OwnImageImpl(true)) {}

TMemoryDC::TMemoryDC(TBitmap& bitmap) : TDC(OwnImageImpl(true)) {
  SelectObject(bitmap);
}

TScreenDC::TScreenDC() : TDC(OwnImageImpl(false)) {}

TPaintDC::TPaintDC(TWindow& window, const QRegion& clip) : TDC(WindowImpl(window, false)) {
  Impl().Clip = clip;
}
