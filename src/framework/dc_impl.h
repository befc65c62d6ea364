// The Qt side of a device context (private to the framework).
#pragma once

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <cmath>
#include <optional>

#include "framework/dc.h"

class TWindow;

// Logical pixels to device pixels. An edge at logical x lies at device x * ratio rounded,
// so that neighbouring logical pixels share their edges and tile the device pixels with no
// gap; at ratio 1 every coordinate stays what it is.
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
inline QRect DeviceRect(const QRect& logical, qreal ratio) {
  if (ratio == 1) return logical;
  const int left = DeviceEdge(logical.x(), ratio);
  const int top = DeviceEdge(logical.y(), ratio);
  return QRect(left, top, DeviceEdge(logical.x() + logical.width(), ratio) - left,
               DeviceEdge(logical.y() + logical.height(), ratio) - top);
}
QRegion DeviceRegion(const QRegion& logical, qreal ratio);

struct TDC::TImpl {
  // Where drawing goes: a window's backing image, a selected bitmap, or our own image
  // (the 1 x 1 monochrome bitmap of a fresh memory context). Null draws nowhere.
  QImage* Target = nullptr;
  QImage OwnImage;
  bool OwnMonochrome = false;
  qreal OwnRatio = 1;         // of the context a memory context was made compatible with
  TBitmap* Bitmap = nullptr;  // selected into a memory context
  TWindow* Window = nullptr;  // a client context shows its drawing on this window at once
  // A paint context draws only where the window was invalid (device pixels).
  std::optional<QRegion> Clip;

  const TPen* Pen = nullptr;  // null: the default black pen
  bool NullPen = false;
  const TBrush* Brush = nullptr;  // null: the default white brush
  bool NullBrush = false;
  const TFont* Font = nullptr;  // null: the system font
  const TPalette* Palette = nullptr;

  TPoint Position;
  int MapMode = MM_TEXT;
  int BkMode = OPAQUE;
  COLORREF BkColor = 0xFFFFFF;
  COLORREF TextColor = 0x000000;
  int StretchMode = BLACKONWHITE;

  // Made when first drawn with: a memory context that only lends a picture to a blit, as
  // every piece of a board does, never needs one.
  std::optional<QPainter> Painter;
  QRect Drawn;  // what this context changed (logical pixels), to show and to snap to monochrome

  bool Monochrome() const;
  // Device pixels per logical pixel of the target: a window's screen's ratio, or the ratio
  // a bitmap was made at. Sizes and coordinates given to the context stay logical.
  qreal Ratio() const {
    if (Target == &OwnImage) return OwnRatio;
    return Target != nullptr ? Target->devicePixelRatio() : 1;
  }
  // The painter, begun on the target with Windows' aliased look; null without a target.
  // Logical: it takes the context's coordinates, and draws text and wide pens at the
  // device's resolution. Device: it takes device pixels of the target, for what must land
  // exactly on the edges DeviceEdge gives (fills, lines, polygons, blits).
  enum class TSpace { Logical, Device };
  QPainter* Begin(TSpace space = TSpace::Logical);
  void End();
  // Logical (0, 0) lands here on the target (a gadget paints in its own coordinates).
  QPoint Origin;
  void Touch(const QRect& r) { Drawn |= r.translated(Origin); }
  // A rectangle in the context's coordinates, in device pixels of the target.
  QRect OnDevice(const QRect& r) const { return DeviceRect(r.translated(Origin), Ratio()); }
  QPoint OnDevice(int x, int y) const {
    return QPoint(DeviceEdge(x + Origin.x(), Ratio()), DeviceEdge(y + Origin.y(), Ratio()));
  }
  // Ends the drawing: snaps monochrome pixels and shows what was drawn.
  void Finish();
  void SetTarget(QImage* target);
  // Puts the painter's transform right after the origin moved.
  void PlaceOrigin();

 private:
  TSpace Space = TSpace::Logical;
  // The target's pixels seen at ratio 1, which the painter draws on when the target's
  // ratio is not 1: it then places every device pixel itself.
  QImage DeviceView;
};

// Whether straight one-pixel lines and filled rectangles on plain 32-bit targets are
// written into the pixels directly (the default) or drawn by the painter like everything
// else; tests compare the two.
void SetDirectLines(bool on);

// The context Paint draws with: the window's backing image, clipped to the update region.
class TPaintDC : public TDC {
 public:
  TPaintDC(TWindow& window, const QRegion& clip);
};

// A bitmap of width x height logical pixels at ratio, all black: what a context at that
// ratio makes compatible bitmaps at. Throws TXGdi as TBitmap does.
TBitmap BitmapAt(int width, int height, qreal ratio);
