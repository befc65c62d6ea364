// Private to the framework: where logical pixels fall on a screen's device pixels.
//
// An edge at logical x lies at device x * ratio rounded, so that neighbouring logical
// pixels share their edges and tile the device pixels with no gap; at ratio 1 every
// coordinate stays what it is.
#pragma once

#include <QRect>
#include <QRegion>

#include <cmath>

inline int DeviceEdge(int logical, qreal ratio) {
  if (ratio == 1) return logical;
  // floor(v) without a call into the maths library: this runs for every line and fill.
  const double v = logical * ratio + 0.5;
  const int truncated = static_cast<int>(v);
  return truncated - (v < truncated ? 1 : 0);
}

// The logical pixel whose device pixels [DeviceEdge(x), DeviceEdge(x + 1)) hold a point at
// logical position p (p * ratio in device pixels): where a click lands is what was drawn
// there, never the neighbour that rounding to the nearest logical pixel can give.
inline int LogicalPixelAt(double position, qreal ratio) {
  if (ratio == 1) return static_cast<int>(std::floor(position));
  // Device positions arrive as whole pixels divided by the ratio: undo that first.
  const double device = std::floor(position * ratio + 1e-6);
  return static_cast<int>(std::ceil((device + 0.5) / ratio)) - 1;
}

// The device pixels of a logical rectangle: from the edge of its first pixel to the edge
// after its last.
inline QRect DeviceRect(const QRect& logical, qreal ratio) {
  if (ratio == 1) return logical;
  const int left = DeviceEdge(logical.x(), ratio);
  const int top = DeviceEdge(logical.y(), ratio);
  return QRect(left, top, DeviceEdge(logical.x() + logical.width(), ratio) - left,
               DeviceEdge(logical.y() + logical.height(), ratio) - top);
}

// A logical rectangle of another image at the same ratio, as device pixels as many as a
// rectangle of its size covers at `like`: at a fractional ratio two rectangles of one
// logical size can round to sizes a device pixel apart, and a copy between them must
// still move each device pixel to one.
inline QRect DeviceRectSizedAs(const QRect& logical, const QRect& like, qreal ratio) {
  return QRect(QPoint(DeviceEdge(logical.x(), ratio), DeviceEdge(logical.y(), ratio)),
               DeviceRect(like, ratio).size());
}

QRegion DeviceRegion(const QRegion& logical, qreal ratio);
