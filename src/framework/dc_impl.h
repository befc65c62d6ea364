// The Qt side of a device context (private to the framework).
#pragma once

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <optional>

#include "framework/dc.h"

class TWindow;

struct TDC::TImpl {
  // Where drawing goes: a window's backing image, a selected bitmap, or our own image
  // (the 1 x 1 monochrome bitmap of a fresh memory context). Null draws nowhere.
  QImage* Target = nullptr;
  QImage OwnImage;
  bool OwnMonochrome = false;
  TBitmap* Bitmap = nullptr;    // selected into a memory context
  TWindow* Window = nullptr;    // a client context shows its drawing on this window at once
  std::optional<QRegion> Clip;  // a paint context draws only where the window was invalid

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

  QPainter Painter;
  QRect Drawn;  // what this context changed, to show and to snap to monochrome

  bool Monochrome() const;
  // The painter, begun on the target with Windows' aliased look; null without a target.
  QPainter* Begin();
  void End();
  // Logical (0, 0) lands here on the target (a gadget paints in its own coordinates).
  QPoint Origin;
  void Touch(const QRect& r) { Drawn |= r.translated(Origin); }
  // Ends the drawing: snaps monochrome pixels and shows what was drawn.
  void Finish();
  void SetTarget(QImage* target);
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
