// Where the board and its pieces sit in the client area, zoom, and painting.
#include "puzzle/puzzle.h"

#include <algorithm>

#include "framework/windows/window_dc.h"

namespace {
// The smallest scale a picture is shown at: zoom never reaches zero or below.
constexpr int MinZoomStep = -9;

float Scale(int zoomStep) {
  return 1.0f + 0.1f * static_cast<float>(zoomStep);
}
}  // namespace

void TPuzzle::Layout() {
  const TRect client = GetClientRect();
  const int cw = client.Width();
  const int ch = client.Height();
  const bool fill = !Picture || FitInWindow;
  if (fill) BoardRect = client;
  int w = BoardRect.Width() / Columns;
  int h = BoardRect.Height() / Rows;
  const int cycle = fill ? GetDevicePixelCycle() : 1;
  if (fill) {
    // At a fractional scale a board that fills the window puts its pieces on whole cycles
    // of the device pixels, so that every piece, its bevels and the gaps between pieces
    // cover alike many device pixels. At whole scales the cycle is one pixel.
    w = std::max(w - w % cycle, std::min(w, cycle));
    h = std::max(h - h % cycle, std::min(h, cycle));
    BoardRect.left = (cw - w * Columns) / 2 + 1;
    BoardRect.top = (ch - h * Rows) / 2 + 1;
    BoardRect.left -= BoardRect.left % cycle;
    BoardRect.top -= BoardRect.top % cycle;
  } else {
    BoardRect.left = 1;
    BoardRect.top = 1;
  }
  if (Picture) {
    BoardRect.right = w * Columns + BoardRect.left;
    BoardRect.bottom = h * Rows + BoardRect.top;
  }

  LOGFONT log = LabelFont->GetLogFont();
  log.lfHeight = h * 3 / 4;
  log.lfWidth = w / 5;
  LabelFont = std::make_unique<TFont>(log);

  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) {
      TTombol& piece = *Pieces[y][x];
      piece.Left = x * w + BoardRect.left;
      piece.Top = y * h + BoardRect.top;
      // One-pixel gaps of background between pieces, none at the outer edge; at a
      // fractional scale the outer pieces keep the gap too, and so the same device pixels.
      piece.Width = ShowGrid && (x < Columns - 1 || cycle > 1) ? w - 1 : w;
      piece.Height = ShowGrid && (y < Rows - 1 || cycle > 1) ? h - 1 : h;
    }
  }
  Invalidate(true);
}

TBitmap* TPuzzle::ShownPicture(TDC& dc) {
  if (!Picture || Columns <= 0 || Rows <= 0) return nullptr;
  // The pieces' whole area: what a picture leaves over a whole number of pieces is not
  // shown, and the pieces' cells cover the board.
  const TRect part(0, 0, Picture->Width() / Columns * Columns, Picture->Height() / Rows * Rows);
  const int w = BoardRect.Width() / Columns;
  const int h = BoardRect.Height() / Rows;
  const TRect place(BoardRect.left, BoardRect.top, BoardRect.left + w * Columns,
                    BoardRect.top + h * Rows);
  return Shown.For(dc, *Picture, part, place);
}

TResult TPuzzle::EvSize(TParam1, TParam2) {
  DefaultProcessing();
  Layout();
  return 0;
}

void TPuzzle::Zoom(int direction) {
  if (!Picture) return;
  const int previous = ZoomStep;
  const TRect client = GetClientRect();
  const int cw = client.Width();
  const int ch = client.Height();
  const int pw = Picture->Width();
  const int ph = Picture->Height();
  if (direction == 0) ZoomStep = 0;
  float f = Scale(ZoomStep);
  if (direction > 0) {
    if (!(cw > pw * f && ch > ph * f)) return;
    ++ZoomStep;
  } else if (direction < 0) {
    if (!(pw * f > 100 && ph * f > 100) || ZoomStep <= MinZoomStep) return;
    --ZoomStep;
  } else {
    // The largest scale of 1 - 0.1 k that fits; a tiny or empty window stops at the
    // smallest scale instead of making the picture vanish.
    while (cw < pw * f && ZoomStep > MinZoomStep) f = Scale(--ZoomStep);
    while (ch < ph * f && ZoomStep > MinZoomStep) f = Scale(--ZoomStep);
  }
  f = Scale(ZoomStep);
  BoardRect.right = static_cast<int>(pw * f) + BoardRect.left;
  BoardRect.bottom = static_cast<int>(ph * f) + BoardRect.top;
  if (ZoomStep != previous) Layout();
}

void TPuzzle::SetFitInWindow(bool on) {
  FitInWindow = on;
  Zoom(0);
  Layout();
  Invalidate(true);
}

void TPuzzle::SetPiecesColor(COLORREF color) {
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) Pieces[y][x]->Color = color;
  }
  Invalidate(true);
}

void TPuzzle::SetLabelFont(const LOGFONT& logFont, COLORREF color) {
  const TRect client = GetClientRect();
  LOGFONT log = logFont;
  log.lfWidth = (client.Width() / Columns) / 5;
  log.lfHeight = (client.Height() / Rows) * 3 / 4;
  LabelColor = color;
  LabelFont = std::make_unique<TFont>(log);
  Invalidate(true);
}

void TPuzzle::Paint(TDC& dc, bool, TRect& rect) {
  if (ContentKind == TContentKind::Picture) {
    // A dark frame one pixel outside the pieces.
    dc.SelectObject(*ShadowPen);
    dc.MoveTo(BoardRect.left - 1, BoardRect.top - 1);
    dc.LineTo(BoardRect.right, BoardRect.top - 1);
    dc.LineTo(BoardRect.right, BoardRect.bottom);
    dc.LineTo(BoardRect.left - 1, BoardRect.bottom);
    dc.LineTo(BoardRect.left - 1, BoardRect.top - 1);
    dc.RestorePen();
  }
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) {
      // Painting is clipped to what was invalid: a piece wholly outside it (with a pixel
      // to spare for the pressed shift) would draw nothing, so skip its work.
      if ((Pieces[y][x]->GetRect().InflatedBy(1, 1) & rect).IsEmpty()) continue;
      const bool selected = GameType == TGameType::Jigsaw && x == ActiveX && y == ActiveY;
      Pieces[y][x]->Draw(dc, selected, true);
    }
  }
}

TResult TPuzzle::EvQueryNewPalette(TParam1, TParam2) {
  if (Palette == nullptr) return 0;
  TClientDC dc(*this);
  dc.SelectObject(*Palette, false);
  const UINT changed = dc.RealizePalette();
  Invalidate(true);
  return changed != 0 ? 1 : 0;
}

TResult TPuzzle::EvPaletteChanged(TParam1, TParam2) {
  if (Palette == nullptr) return 0;
  TClientDC dc(*this);
  dc.SelectObject(*Palette, false);
  dc.RealizePalette();
  dc.UpdateColors();
  dc.RestorePalette();
  return 0;
}
