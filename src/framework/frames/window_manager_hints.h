// What a top-level window asks of the desktop's window manager (private to the
// framework): which of moving, sizing, minimizing, maximizing and closing it allows. Qt's
// window flags carry the buttons; on X11 the Motif hints carry the rest, which Qt always
// sets to allow moving and sizing.
#pragma once

class QWidget;

struct TWindowManagerHints {
  bool Move = true;
  bool Size = true;
  bool Minimize = true;
  bool Maximize = true;
  bool Close = true;

  bool AllowsAll() const { return Move && Size && Minimize && Maximize && Close; }
};

// Sets the hints on the native window of top, which must exist and not yet be mapped for
// a window manager to read them at once (it also hears later changes). Does nothing off
// X11 or when everything is allowed.
void AskWindowManager(QWidget& top, const TWindowManagerHints& hints);
