// Docking strips along a frame's edges and the harbor that manages them.
#include "framework/frames/harbor.h"

#include <algorithm>

#include "framework/frames/decorated_frame.h"
#include "framework/graphics/sys_colors.h"
#include "framework/windows/messages.h"

// --- TDockStrip ---------------------------------------------------------------------------

TDockStrip::TDockStrip(TWindow* parent, TDockEdge location) : TWindow(parent), Location(location) {
  SetBkgndColor(ColorFace());
}

std::vector<TDockableControlBar*> TDockStrip::GetBars() const {
  std::vector<TDockableControlBar*> bars;
  for (const TEntry& e : Bars) bars.push_back(e.Bar);
  return bars;
}

void TDockStrip::GetDesiredSize(TSize& size) {
  int thickness = 0;
  for (const TEntry& e : Bars) {
    if ((e.Bar->Attr.Style & WS_VISIBLE) == 0) continue;
    TSize s;
    e.Bar->GetDesiredSize(s);
    thickness = std::max<int>(thickness, IsVertical() ? s.cx : s.cy);
  }
  size = IsVertical() ? TSize(thickness, 0) : TSize(0, thickness);
}

void TDockStrip::Dock(TDockableControlBar& bar, const int* where) {
  std::erase_if(Bars, [&](const TEntry& e) { return e.Bar == &bar; });
  auto at = Bars.end();
  if (where != nullptr) {
    // Before the first bar that starts at or past the asked-for place.
    at = std::find_if(Bars.begin(), Bars.end(), [&](const TEntry& e) {
      const TRect r = e.Bar->GetWindowRect();
      TPoint start(r.left, r.top);
      ScreenToClient(start);
      return (IsVertical() ? start.y : start.x) >= *where;
    });
  }
  Bars.insert(at, TEntry{&bar, where != nullptr ? std::max(0, *where) : -1});
  bar.Dock(*this);
  if (IsWindow() && !bar.IsWindow()) bar.Create();
  LayoutBars();
}

void TDockStrip::Undock(TDockableControlBar& bar) {
  if (std::erase_if(Bars, [&](const TEntry& e) { return e.Bar == &bar; }) > 0) LayoutBars();
}

void TDockStrip::LayoutBars() {
  // Bars deleted since they docked drop out.
  const std::vector<TWindow*>& children = GetChildren();
  std::erase_if(Bars, [&](const TEntry& e) {
    return std::find(children.begin(), children.end(), e.Bar) == children.end();
  });
  const TRect client = GetClientRect();
  const int length = IsVertical() ? client.Height() : client.Width();
  int pos = 0;
  for (const TEntry& e : Bars) {
    TSize s;
    e.Bar->GetDesiredSize(s);
    const int along = IsVertical() ? s.cy : s.cx;
    const int across = IsVertical() ? s.cx : s.cy;
    int start = std::max(pos, e.Position);
    // A bar asked for too far along moves back so it stays whole, but not over others.
    if (IsWindow() && length > 0 && start + along > length) start = std::max(pos, length - along);
    if (IsVertical()) {
      e.Bar->MoveWindow(0, start, across, along);
    } else {
      e.Bar->MoveWindow(start, 0, along, across);
    }
    pos = start + along;
  }
  TSize desired;
  GetDesiredSize(desired);
  if (desired == LastDesired) return;
  LastDesired = desired;
  if (GetParentO() != nullptr) GetParentO()->HandleMessage(WM_LAYOUTCHANGED, 0, 0);
}

TResult TDockStrip::WindowProc(UINT msg, TParam1 p1, TParam2 p2) {
  if (msg == WM_LAYOUTCHANGED) {
    LayoutBars();
    return 0;
  }
  if (msg == WM_SIZE) LayoutBars();
  return TWindow::WindowProc(msg, p1, p2);
}

// --- THarbor ----------------------------------------------------------------------------------

THarbor::THarbor(TDecoratedFrame& frame) : TDockStrip(&frame, DockTop), Frame(frame) {}

TDockStrip* THarbor::GetStrip(TDockEdge location) {
  switch (location) {
    case DockTop:
      if (!Frame.HasChildLayout(*this)) Frame.Insert(*this, TLayoutWindow::TEdge::Top);
      return this;
    case DockNone:
      return nullptr;
    default:
      break;
  }
  const int index = location == DockBottom ? 0 : location == DockLeft ? 1 : 2;
  if (Strips[index] == nullptr) {
    // A child of the frame, which deletes it.
    Strips[index] = new TDockStrip(&Frame, location);
    Frame.Insert(*Strips[index], location == DockBottom ? TLayoutWindow::TEdge::Bottom
                                 : location == DockLeft ? TLayoutWindow::TEdge::Left
                                                        : TLayoutWindow::TEdge::Right);
  }
  return Strips[index];
}

void THarbor::Insert(TDockableControlBar& bar, TDockEdge location, const TPoint* where) {
  Move(bar, location, where);
}

void THarbor::Move(TDockableControlBar& bar, TDockEdge location, const TPoint* where) {
  TDockStrip* strip = GetStrip(location);
  for (TDockStrip* other : {static_cast<TDockStrip*>(this), Strips[0], Strips[1], Strips[2]}) {
    if (other != nullptr && other != strip) other->Undock(bar);
  }
  if (strip == nullptr) {
    // Floating, the bar still belongs to a strip of this harbor.
    if (dynamic_cast<TDockStrip*>(bar.GetParentO()) == nullptr) bar.SetParent(this);
    bar.Float(where);
    return;
  }
  if (where == nullptr) {
    strip->Dock(bar, nullptr);
    return;
  }
  // From the frame's client area to the strip's.
  TPoint point = *where;
  if (Frame.IsWindow() && strip->IsWindow()) {
    Frame.ClientToScreen(point);
    strip->ScreenToClient(point);
  }
  const int along = strip->IsVertical() ? point.y : point.x;
  strip->Dock(bar, &along);
}
