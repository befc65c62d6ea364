// THarbor and its docking strips. A strip is the band along one edge of a frame that holds
// docked bars side by side (one above the other at the left and right); the harbor is the
// top strip and makes the strips of the other edges when a bar first docks there. A bar
// docked at a point keeps that place along the edge when there is room for it.
#pragma once

#include <vector>

#include "framework/frames/dockable_bar.h"
#include "framework/windows/window.h"

class TDecoratedFrame;

class TDockStrip : public TWindow {
 public:
  TDockStrip(TWindow* parent, TDockEdge location);

  TDockEdge GetLocation() const { return Location; }
  bool IsVertical() const { return Location == DockLeft || Location == DockRight; }
  // Docked bars in their order along the edge.
  std::vector<TDockableControlBar*> GetBars() const;

  // As thick as the thickest bar; nothing when empty.
  void GetDesiredSize(TSize& size) override;

 protected:
  TResult WindowProc(UINT msg, TParam1 p1, TParam2 p2) override;

 private:
  friend class THarbor;
  // where: the bar's place along the strip in its own pixels, or null for after the last.
  void Dock(TDockableControlBar& bar, const int* where);
  void Undock(TDockableControlBar& bar);
  void LayoutBars();

  struct TEntry {
    TDockableControlBar* Bar;
    int Position;  // asked-for place along the edge, -1 for after the one before
  };
  TDockEdge Location;
  std::vector<TEntry> Bars;
  TSize LastDesired;
};

class THarbor : public TDockStrip {
 public:
  explicit THarbor(TDecoratedFrame& frame);

  // Docks a bar at an edge, at where (the frame's client coordinates) or after the bars
  // that are there; DockNone floats it with its tool window's top-left at where (screen
  // coordinates), or where it is now without a point.
  void Insert(TDockableControlBar& bar, TDockEdge location, const TPoint* where = nullptr);
  void Move(TDockableControlBar& bar, TDockEdge location, const TPoint* where = nullptr);

  // The strip of an edge, made on first use; null for DockNone.
  TDockStrip* GetStrip(TDockEdge location);

 private:
  TDecoratedFrame& Frame;
  TDockStrip* Strips[4] = {};  // bottom, left, right (top is the harbor)
};
