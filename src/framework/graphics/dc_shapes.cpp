// Lines, polygons, rectangles, fills and single pixels, with Windows' pixel rules and
// onto a target's device pixels exactly where neighbouring shapes meet.
#include "framework/graphics/dc.h"

#include <QPolygon>

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/graphics/dc_impl.h"
#include "framework/graphics/line_raster.h"
#include "framework/graphics/qt_bridge.h"

namespace {

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

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
