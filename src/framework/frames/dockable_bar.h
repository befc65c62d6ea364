// TDockableControlBar: a bar of gadgets that a harbor docks at an edge of a frame or
// floats in a small tool window showing the bar's caption. Docked at the left or right it
// lays its gadgets out in a column, elsewhere in a row.
#pragma once

#include "framework/bars/gadget_window.h"

class TDockStrip;
class THarbor;

enum TDockEdge { DockNone, DockTop, DockBottom, DockLeft, DockRight };

class TDockableControlBar : public TGadgetWindow {
 public:
  explicit TDockableControlBar(TWindow* parent = nullptr, TDirection direction = Horizontal,
                               std::unique_ptr<TFont> font = nullptr, TModule* module = nullptr);

  // The edge the bar is docked at, DockNone while it floats (or before a harbor has it).
  TDockEdge GetLocation() const { return Location; }
  bool IsFloating() const { return Floating; }

  void Relayout() override;

 protected:
  void SetupWindow() override;
  TResult WindowProc(UINT msg, TParam1 p1, TParam2 p2) override;

 private:
  friend class THarbor;
  friend class TDockStrip;
  // Puts the bar in its tool window with the window's top-left at screenPoint (null: where
  // the bar is now), its frame's corner once the desktop has framed it. The window is wide
  // enough for the desktop to show its caption.
  void Float(const TPoint* screenPoint);
  // Takes the bar out of its tool window into the strip.
  void Dock(TDockStrip& strip);
  void FitFloatingWindow();
  // Puts the floating window's top left at a point of the screen.
  void MoveFloatingWindow(const TPoint& screenPoint);

  TDockEdge Location = DockNone;
  bool Floating = false;
  bool PendingFloat = false;  // floated before the window existed
  bool HasFloatPoint = false;
  TPoint FloatPoint;
};
