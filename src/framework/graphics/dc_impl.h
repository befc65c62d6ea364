// The Qt side of a device context (private to the framework).
#pragma once

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <functional>
#include <optional>

#include "framework/graphics/dc.h"
#include "framework/graphics/device_pixels.h"

struct TDC::TImpl {
  // Where drawing goes: a window's backing image, a selected bitmap, or our own image
  // (the 1 x 1 monochrome bitmap of a fresh memory context). Null draws nowhere.
  QImage* Target = nullptr;
  QImage OwnImage;
  bool OwnMonochrome = false;
  qreal OwnRatio = 1;         // of the context a memory context was made compatible with
  TBitmap* Bitmap = nullptr;  // selected into a memory context
  // A window's client context shows what it drew at once, through this.
  std::function<void(const QRect& drawn)> ShowDrawn;
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

// Whether drawing these logical pixels can change nothing: they miss the target or the
// region being painted.
bool OutOfSight(const TDC::TImpl& d, const QRect& r);
// Logical pixels filled with one colour, as FillRect fills them.
void Fill(TDC::TImpl& d, const QRect& r, COLORREF colour);

// Whether pixels can be written into the target directly: plain 32-bit colour whose pixels
// are its own (the painter would copy shared ones first), unless tests turned that off.
bool WritesDirectly(const TDC::TImpl& d);

// Whether straight one-pixel lines and filled rectangles on plain 32-bit targets are
// written into the pixels directly (the default) or drawn by the painter like everything
// else; tests compare the two.
void SetDirectLines(bool on);

// A bitmap of width x height logical pixels at ratio, all black: what a context at that
// ratio makes compatible bitmaps at. Throws TXGdi as TBitmap does.
TBitmap BitmapAt(int width, int height, qreal ratio);
