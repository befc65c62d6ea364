// TDecoratedFrame: a frame with decorations (bars, a harbor, a status bar) at its edges
// around the client window. With menu-selection tracking the status bar's message area
// shows the string-table entry of the highlighted command, and the text that was there
// comes back when the menu closes. A command whose id is a decoration's window id shows
// or hides that decoration, and its menu item is checked while it shows.
#pragma once

#include "framework/frames/frame_window.h"

class TStatusBar;

class TDecoratedFrame : public TFrameWindow {
 public:
  TDecoratedFrame(TWindow* parent, const char* title, TWindow* clientWnd,
                  bool trackMenuSelection = false, TModule* module = nullptr);

  // The decoration becomes a child of the frame, which deletes it with itself.
  void Insert(TWindow& decoration, TEdge edge = TEdge::Top);

  // Shows the hint of a command in the status bar's message area; HintNone puts back
  // what the message area said before.
  void ShowHint(int id);

  // The first status bar among the decorations, or null.
  TStatusBar* GetStatusBar() const;

 protected:
  TResult WindowProc(UINT msg, TParam1 p1, TParam2 p2) override;

 private:
  TWindow* DecorationWithId(UINT id) const;
  bool TrackMenuSelection;
};
