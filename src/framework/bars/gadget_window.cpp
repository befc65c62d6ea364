// Gadget windows: layout in a row or column, painting, pointer tracking, enabling.
#include "framework/bars/gadget_window.h"

#include <algorithm>
#include <utility>

#include "framework/bars/accessible_gadgets.h"
#include "framework/graphics/dc.h"
#include "framework/graphics/desktop_text.h"
#include "framework/graphics/sys_colors.h"
#include "framework/text/text_units.h"
#include "framework/windows/messages.h"

TGadgetWindowFont::TGadgetWindowFont(int pointSize, bool bold, bool italic)
    : TFont(nullptr, -static_cast<int>(PointsToPixels(pointSize) * DesktopTextScale() + 0.5), 0, 0,
            0, bold ? FW_BOLD : FW_NORMAL, DEFAULT_PITCH | FF_SWISS, italic ? 1 : 0) {}

TGadgetWindow::TGadgetWindow(TWindow* parent, TDirection direction, std::unique_ptr<TFont> font,
                             TModule* module)
    : TWindow(parent, nullptr, module),
      Font(font != nullptr ? std::move(font) : std::make_unique<TGadgetWindowFont>()),
      Direction(direction) {
  SetBkgndColor(ColorFace());
  InstallBarAccessibility();
}

TGadgetWindow::~TGadgetWindow() {
  // Gadgets may ask their window things while they go.
  Captured = AtMouse = nullptr;
  while (!Gadgets.empty()) Gadgets.pop_back();
}

void TGadgetWindow::InsertGadget(std::unique_ptr<TGadget> gadget, TGadget* before) {
  if (gadget == nullptr) return;
  gadget->Window = this;
  const auto at = std::find_if(Gadgets.begin(), Gadgets.end(),
                               [&](const auto& g) { return g.get() == before; });
  Gadgets.insert(before != nullptr ? at : Gadgets.end(), std::move(gadget));
  Relayout();
}

std::unique_ptr<TGadget> TGadgetWindow::Remove(TGadget& gadget) {
  const auto at = std::find_if(Gadgets.begin(), Gadgets.end(),
                               [&](const auto& g) { return g.get() == &gadget; });
  if (at == Gadgets.end()) return nullptr;
  gadget.Invalidate(true);
  if (Captured == &gadget) Captured = nullptr;
  if (AtMouse == &gadget) AtMouse = nullptr;
  std::unique_ptr<TGadget> removed = std::move(*at);
  Gadgets.erase(at);
  removed->Window = nullptr;
  Relayout();
  return removed;
}

TGadget* TGadgetWindow::GetGadget(int position) const {
  if (position < 0 || position >= GadgetCount()) return nullptr;
  return Gadgets[static_cast<std::size_t>(position)].get();
}

int TGadgetWindow::PositionOf(const TGadget& gadget) const {
  for (int i = 0; i < GadgetCount(); ++i) {
    if (Gadgets[static_cast<std::size_t>(i)].get() == &gadget) return i;
  }
  return -1;
}

TGadget* TGadgetWindow::FindGadget(int id) const {
  for (const auto& g : Gadgets) {
    if (g->GetId() == id) return g.get();
  }
  return nullptr;
}

TGadget* TGadgetWindow::GadgetAt(const TPoint& point) const {
  for (const auto& g : Gadgets) {
    if (g->GetBounds().Contains(point)) return g.get();
  }
  return nullptr;
}

void TGadgetWindow::SetDirection(TDirection direction) {
  if (direction == Direction) return;
  Direction = direction;
  Relayout();
}

void TGadgetWindow::ShowHint(int id) {
  HandleMessage(WM_SETHINTCOMMAND, id < 0 ? HintNone : static_cast<WPARAM>(id), 0);
}

TSize TGadgetWindow::GetFontCharSize() const {
  TScreenDC dc;
  dc.SelectObject(*Font);
  return dc.GetAverageCharSize();
}

void TGadgetWindow::GetDesiredSize(TSize& size) {
  const bool horizontal = Direction == Horizontal;
  int along = 0;
  int across = 0;
  for (const auto& g : Gadgets) {
    TSize s;
    g->GetDesiredSize(s);
    along += horizontal ? s.cx : s.cy;
    across = std::max<int>(across, horizontal ? s.cy : s.cx);
  }
  if (!Gadgets.empty()) along += Spacing * (GadgetCount() - 1);
  if (horizontal) {
    size = TSize(Margins.Left + along + Margins.Right, Margins.Top + across + Margins.Bottom);
  } else {
    size = TSize(Margins.Left + across + Margins.Right, Margins.Top + along + Margins.Bottom);
  }
}

void TGadgetWindow::PositionGadgets() {
  const bool horizontal = Direction == Horizontal;
  std::vector<TSize> sizes(Gadgets.size());
  int along = 0;
  int across = 0;
  for (std::size_t i = 0; i < Gadgets.size(); ++i) {
    Gadgets[i]->GetDesiredSize(sizes[i]);
    along += horizontal ? sizes[i].cx : sizes[i].cy;
    across = std::max<int>(across, horizontal ? sizes[i].cy : sizes[i].cx);
  }
  if (!Gadgets.empty()) along += Spacing * (GadgetCount() - 1);
  // What the row leaves goes to the gadgets that take as much as they can.
  const TRect client = GetClientRect();
  const int room = horizontal ? client.Width() - Margins.Left - Margins.Right
                              : client.Height() - Margins.Top - Margins.Bottom;
  const auto wide =
      std::count_if(Gadgets.begin(), Gadgets.end(), [](const auto& g) { return g->FillsRow; });
  const int extra = wide > 0 && IsWindow() ? std::max(0, room - along) / static_cast<int>(wide) : 0;
  int pos = horizontal ? Margins.Left : Margins.Top;
  for (std::size_t i = 0; i < Gadgets.size(); ++i) {
    TGadget& g = *Gadgets[i];
    int length = horizontal ? sizes[i].cx : sizes[i].cy;
    if (g.FillsRow) length += extra;
    const TRect bounds = horizontal ? TRect(pos, Margins.Top, pos + length, Margins.Top + across)
                                    : TRect(Margins.Left, pos, Margins.Left + across, pos + length);
    g.SetBounds(bounds);
    pos += length + Spacing;
  }
}

void TGadgetWindow::Relayout() {
  TSize desired;
  GetDesiredSize(desired);
  PositionGadgets();
  Invalidate(true);
  if (desired == LastDesired) return;
  LastDesired = desired;
  if (GetParentO() != nullptr) GetParentO()->HandleMessage(WM_LAYOUTCHANGED, 0, 0);
}

void TGadgetWindow::Paint(TDC& dc, bool, TRect& rect) {
  const TPoint origin = dc.GetViewportOrg();
  for (const auto& g : Gadgets) {
    if ((g->GetBounds() & rect).IsEmpty()) continue;
    dc.SetViewportOrg(origin.OffsetBy(g->GetBounds().left, g->GetBounds().top));
    g->PaintBorder(dc);
    g->Paint(dc);
    dc.RestoreObjects();
  }
  dc.SetViewportOrg(origin);
}

bool TGadgetWindow::IdleAction(long idleCount) {
  for (int i = 0; i < GadgetCount(); ++i) Gadgets[static_cast<std::size_t>(i)]->UpdateEnabling();
  return TWindow::IdleAction(idleCount);
}

TPoint TGadgetWindow::ToGadget(const TGadget& gadget, LPARAM point) const {
  return TPoint(GET_X_LPARAM(point) - gadget.GetBounds().left,
                GET_Y_LPARAM(point) - gadget.GetBounds().top);
}

TResult TGadgetWindow::WindowProc(UINT msg, TParam1 p1, TParam2 p2) {
  const UINT keys = static_cast<UINT>(p1);
  switch (msg) {
    case WM_SIZE:
      PositionGadgets();
      Invalidate(true);
      return TWindow::WindowProc(msg, p1, p2);
    case WM_MOUSEMOVE: {
      if (Captured != nullptr) {
        Captured->MouseMove(keys, ToGadget(*Captured, p2));
        return 0;
      }
      TGadget* under = GadgetAt(TPoint(GET_X_LPARAM(p2), GET_Y_LPARAM(p2)));
      if (under != AtMouse) {
        if (AtMouse != nullptr) AtMouse->MouseLeave(keys, ToGadget(*AtMouse, p2));
        AtMouse = under;
        if (under != nullptr) under->MouseEnter(keys, ToGadget(*under, p2));
      }
      if (under != nullptr) under->MouseMove(keys, ToGadget(*under, p2));
      return 0;
    }
    case WM_MOUSELEAVE:
      if (Captured == nullptr && AtMouse != nullptr) {
        TGadget* left = std::exchange(AtMouse, nullptr);
        left->MouseLeave(0, TPoint(-1, -1));
      }
      return 0;
    case WM_LBUTTONDOWN: {
      TGadget* under = GadgetAt(TPoint(GET_X_LPARAM(p2), GET_Y_LPARAM(p2)));
      if (under == nullptr || !under->GetEnabled()) return 0;
      Captured = under;
      SetCapture();
      under->LButtonDown(keys, ToGadget(*under, p2));
      return 0;
    }
    case WM_LBUTTONUP: {
      if (Captured == nullptr) return 0;
      TGadget* held = std::exchange(Captured, nullptr);
      ReleaseCapture();
      held->LButtonUp(keys, ToGadget(*held, p2));
      return 0;
    }
    default:
      return TWindow::WindowProc(msg, p1, p2);
  }
}
