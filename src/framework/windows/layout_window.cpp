// Edge layout of a window's children.
#include "framework/windows/layout_window.h"

#include <algorithm>

#include "framework/windows/messages.h"

// clang-format off
DEFINE_RESPONSE_TABLE1(TLayoutWindow, TWindow)
  EV_MESSAGE(WM_SIZE, &TLayoutWindow::EvSize),
  EV_MESSAGE(WM_LAYOUTCHANGED, &TLayoutWindow::EvLayoutChanged),
END_RESPONSE_TABLE;
// clang-format on

TLayoutWindow::TLayoutWindow(TWindow* parent, const char* title, TModule* module)
    : TWindow(parent, title, module) {}

void TLayoutWindow::SetChildLayout(TWindow& child, TEdge edge) {
  if (child.GetParentO() != this) child.SetParent(this);
  RemoveChildLayout(child);
  Entries.emplace_back(&child, edge);
  if (IsWindow()) {
    child.Create();
    Layout();
  }
}

bool TLayoutWindow::RemoveChildLayout(TWindow& child) {
  return std::erase_if(Entries, [&](const auto& e) { return e.first == &child; }) > 0;
}

bool TLayoutWindow::HasChildLayout(const TWindow& child) const {
  return std::any_of(Entries.begin(), Entries.end(),
                     [&](const auto& e) { return e.first == &child; });
}

void TLayoutWindow::Layout() {
  // Children deleted or given away since they were placed drop out.
  const std::vector<TWindow*>& children = GetChildren();
  std::erase_if(Entries, [&](const auto& e) {
    return std::find(children.begin(), children.end(), e.first) == children.end();
  });
  const TRect client = GetClientRect();
  if (!IsWindow()) return;
  TRect free = client;
  auto shown = [](const TWindow* w) { return (w->Attr.Style & WS_VISIBLE) != 0; };
  auto thickness = [](TWindow* w, bool vertical) {
    TSize size;
    w->GetDesiredSize(size);
    return std::max(0, vertical ? static_cast<int>(size.cy) : static_cast<int>(size.cx));
  };
  // Tops and bottoms first, across the whole width; then lefts and rights between them.
  for (const TEdge edge : {TEdge::Top, TEdge::Bottom, TEdge::Left, TEdge::Right}) {
    for (const auto& [child, where] : Entries) {
      if (where != edge || !shown(child)) continue;
      switch (edge) {
        case TEdge::Top: {
          const int h = std::min(thickness(child, true), free.Height());
          child->MoveWindow(free.left, free.top, free.Width(), h);
          free.top += h;
          break;
        }
        case TEdge::Bottom: {
          const int h = std::min(thickness(child, true), free.Height());
          child->MoveWindow(free.left, free.bottom - h, free.Width(), h);
          free.bottom -= h;
          break;
        }
        case TEdge::Left: {
          const int w = std::min(thickness(child, false), free.Width());
          child->MoveWindow(free.left, free.top, w, free.Height());
          free.left += w;
          break;
        }
        case TEdge::Right: {
          const int w = std::min(thickness(child, false), free.Width());
          child->MoveWindow(free.right - w, free.top, w, free.Height());
          free.right -= w;
          break;
        }
        default:
          break;
      }
    }
  }
  for (const auto& [child, where] : Entries) {
    if (where == TEdge::Client && shown(child)) child->MoveWindow(free);
  }
}

TResult TLayoutWindow::EvSize(TParam1, TParam2) {
  Layout();
  return DefaultProcessing();
}

TResult TLayoutWindow::EvLayoutChanged(TParam1, TParam2) {
  Layout();
  return 0;
}
