// Points, sizes and rectangles; rectangles keep right and bottom exclusive.
#pragma once

#include <algorithm>

#include "platform/wintypes.h"

class TPoint : public POINT {
 public:
  constexpr TPoint() : POINT{0, 0} {}
  constexpr TPoint(int px, int py) : POINT{px, py} {}
  constexpr TPoint OffsetBy(int dx, int dy) const { return TPoint(x + dx, y + dy); }
  friend constexpr bool operator==(const TPoint& a, const TPoint& b) {
    return a.x == b.x && a.y == b.y;
  }
};

class TSize : public SIZE {
 public:
  constexpr TSize() : SIZE{0, 0} {}
  constexpr TSize(int w, int h) : SIZE{w, h} {}
  friend constexpr bool operator==(const TSize& a, const TSize& b) {
    return a.cx == b.cx && a.cy == b.cy;
  }
};

class TRect : public RECT {
 public:
  constexpr TRect() : RECT{0, 0, 0, 0} {}
  constexpr TRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  constexpr TRect(const TPoint& origin, const TSize& extent)
      : RECT{origin.x, origin.y, origin.x + extent.cx, origin.y + extent.cy} {}

  constexpr int Left() const { return left; }
  constexpr int Top() const { return top; }
  constexpr int Right() const { return right; }
  constexpr int Bottom() const { return bottom; }
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr TSize Size() const { return TSize(Width(), Height()); }
  constexpr TPoint TopLeft() const { return TPoint(left, top); }
  constexpr TPoint BottomRight() const { return TPoint(right, bottom); }

  constexpr bool IsEmpty() const { return left >= right || top >= bottom; }
  constexpr bool Contains(const TPoint& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }

  constexpr TRect& Offset(int dx, int dy) {
    left += dx, right += dx, top += dy, bottom += dy;
    return *this;
  }
  constexpr TRect& Inflate(int dx, int dy) {
    left -= dx, right += dx, top -= dy, bottom += dy;
    return *this;
  }
  constexpr TRect OffsetBy(int dx, int dy) const { return TRect(*this).Offset(dx, dy); }
  constexpr TRect InflatedBy(int dx, int dy) const { return TRect(*this).Inflate(dx, dy); }

  // Intersection; empty rectangles come out as all zeros.
  constexpr TRect operator&(const TRect& o) const {
    TRect r(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom));
    return r.IsEmpty() ? TRect() : r;
  }
  // Smallest rectangle holding both; an empty side does not count.
  constexpr TRect operator|(const TRect& o) const {
    if (IsEmpty()) return o;
    if (o.IsEmpty()) return *this;
    return TRect(std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                 std::max(bottom, o.bottom));
  }
  friend constexpr bool operator==(const TRect& a, const TRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
};
