// One piece: its number and how it draws itself as a bevelled tile or a piece of picture.
#include <initializer_list>

#include "framework/windows/window_dc.h"
#include "puzzle/labels.h"
#include "puzzle/puzzle.h"

namespace {

constexpr COLORREF PressedShadow = 0x000000;
constexpr COLORREF DeepBevel = 0x202020;
constexpr COLORREF MarkYellow = 0x00FFFF;
constexpr COLORREF MarkRed = 0x0000FF;

// Lines from point to point, each leaving out its end point.
void Lines(TDC& dc, const TPen& pen, std::initializer_list<TPoint> points) {
  dc.SelectObject(pen);
  const TPoint* p = points.begin();
  dc.MoveTo(*p);
  for (++p; p != points.end(); ++p) dc.LineTo(*p);
}

}  // namespace

TTombol::TTombol(TPuzzle* puzzle, int number, int left, int top, int width, int height, int x,
                 int y)
    : Puzzle(puzzle),
      Number(number),
      HomeX(x),
      HomeY(y),
      X(x),
      Y(y),
      Left(left),
      Top(top),
      Width(width),
      Height(height),
      Visible(true),
      Color(0xC0C0C0) {}

void TTombol::SetNumber(int number, bool redraw) {
  Number = number;
  if (!redraw) return;
  if (number != 0) {
    Visible = true;
    // A hidden board is painted whole when it shows; drawing now would be thrown away.
    if (!Puzzle->IsWindowVisible()) {
      Puzzle->InvalidateRect(GetRect(), true);
    } else {
      TClientDC dc(*Puzzle);
      Draw(dc, X == Puzzle->ActiveX && Y == Puzzle->ActiveY, true);
    }
  } else {
    Visible = false;
    Puzzle->InvalidateRect(GetRect(), true);
  }
  Puzzle->TellPieceChanged(*this);
}

void TTombol::Draw(TDC& dc, bool pressed, bool fill) {
  // A board whose window was never created has nowhere to draw.
  if (!Visible || dc.IsNull()) return;
  DrawFace(dc, pressed, fill);
  if (Puzzle->CursorShown && X == Puzzle->CursorX && Y == Puzzle->CursorY) DrawCursor(dc);
}

void TTombol::DrawCursor(TDC& dc) const {
  // Black, white and black rings inside the bevel: seen on any picture and any tile colour.
  const TPen black(0x000000);
  const TPen white(0xFFFFFF);
  for (int inset = 3; inset <= 5; ++inset) {
    const int l = Left + inset;
    const int t = Top + inset;
    const int r = Left + Width - 1 - inset;
    const int b = Top + Height - 1 - inset;
    if (r <= l || b <= t) break;
    Lines(dc, inset == 4 ? white : black, {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}});
  }
  dc.RestoreObjects();
}

void TTombol::DrawFace(TDC& dc, bool pressed, bool fill) {
  const TPuzzle& board = *Puzzle;
  const bool picture = board.ContentKind == TContentKind::Picture;
  dc.SetMapMode(MM_TEXT);
  int l = Left;
  int t = Top;
  int r = Left + Width;
  int b = Top + Height;
  // A raised letter is drawn on a fresh face: drawing its shadow in the tile's colour over a
  // pressed look's smoothed edges would leave faint marks of it.
  if (!picture && (fill || !pressed)) dc.FillRect(GetRect(), TBrush(Color));

  const TPen& light = *board.LightPen;
  const TPen& shadow = *board.ShadowPen;
  // Pens made for this one drawing; they outlive every selection below.
  const TPen deep(DeepBevel);
  const TPen yellow(MarkYellow);
  const TPen red(MarkRed);
  if (board.Effect3D) {
    if (!pressed) {
      Lines(dc, light, {{r - 1, t}, {l, t}, {l, b - 1}});
      Lines(dc, light, {{r - 2, t + 1}, {l + 1, t + 1}, {l + 1, b - 2}});
      Lines(dc, shadow, {{l, b - 1}, {r - 1, b - 1}, {r - 1, t}});
      Lines(dc, shadow, {{l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t + 1}});
    } else {
      Lines(dc, light, {{l, b - 1}, {r - 1, b - 1}, {r - 1, t}});
      if (!picture) Lines(dc, light, {{l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t + 1}});
      Lines(dc, shadow, {{r - 1, t}, {l, t}, {l, b - 1}});
      Lines(dc, shadow, {{r - 2, t + 1}, {l + 1, t + 1}, {l + 1, b - 2}});
      if (picture) Lines(dc, deep, {{r - 3, t + 2}, {l + 2, t + 2}, {l + 2, b - 3}});
    }
  }

  if (!picture) {
    // Should the label font be missing, a bold Arial of three quarters of the tile.
    TFont fallback("Arial", Height * 3 / 4, 0, 0, 0, FW_BOLD);
    dc.SelectObject(board.LabelFont ? *board.LabelFont : fallback);
    dc.SetBkMode(TRANSPARENT);
    const std::string label = LabelText(board.ContentKind, Number);
    const TSize extent = dc.GetTextExtent(label.c_str());
    const int x = l + (Width - extent.cx) / 2;
    const int y = t + (Height - extent.cy) / 2;
    if (board.Effect3D) {
      // Drawn in the tile colour, the raised look's shadow does not show.
      dc.SetTextColor(pressed ? PressedShadow : Color);
      for (int offset = 1; offset <= (pressed ? 2 : 3); ++offset) {
        dc.TextOut(x + offset, y + offset, label.c_str());
      }
    }
    dc.SetTextColor(board.LabelColor);
    dc.TextOut(x, y, label.c_str());
    dc.RestoreObjects();
    return;
  }

  if (board.Picture) {
    // Inside the bevel in 3D; a pressed piece's picture moves with it.
    const int insetX = board.Effect3D ? 2 : 0;
    const int insetY = board.Effect3D ? 1 : 0;
    l += insetX, r -= insetX, t += insetY, b -= insetY;
    if (board.Effect3D && pressed) l += 1, r += 1, t += 1, b += 1;
    if (board.Palette != nullptr) {
      dc.SelectObject(*board.Palette, false);
      dc.RealizePalette();
    }
    TMemoryDC memory(dc);
    if (TBitmap* shown = Puzzle->ShownPicture(dc)) {
      // The piece's part of the picture as the board shows it, copied 1:1.
      memory.SelectObject(*shown);
      const TPoint at = Puzzle->ShownAt(Source.TopLeft());
      dc.BitBlt(l, t, r - l, b - t, memory, at.x + insetX, at.y + insetY, SRCCOPY);
    } else {
      // No memory for the board's copy: each piece filtered from the picture itself.
      TRect source = Source;
      if (board.Effect3D) source.Inflate(-1, -1);
      memory.SelectObject(*board.Picture);
      dc.SetStretchBltMode(HALFTONE);
      dc.StretchBlt(l, t, r - l, b - t, memory, source.left, source.top, source.Width(),
                    source.Height(), SRCCOPY);
    }
    if (board.ShowFalse && !IsCorrect()) {
      Lines(dc, yellow, {{l + 1, t + 1}, {r - 2, b - 1}});
      Lines(dc, yellow, {{l + 1, b - 1}, {r - 2, t + 1}});
      Lines(dc, red, {{l + 2, t + 1}, {r - 1, b - 1}});
      Lines(dc, red, {{l + 2, b - 1}, {r - 1, t + 1}});
    }
    if (!board.Effect3D && board.GameType == TGameType::Jigsaw && pressed) {
      const int mx = l + (r - l) / 2;
      const int my = t + (b - t) / 2;
      Lines(dc, light, {{mx, t}, {mx, b}});
      Lines(dc, light, {{l, my}, {r, my}});
      Lines(dc, shadow, {{mx + 1, t}, {mx + 1, b}});
      Lines(dc, shadow, {{l, my + 1}, {r, my + 1}});
    }
  }
  dc.RestoreObjects();
}
