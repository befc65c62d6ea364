// TLayoutWindow: places its children along its edges and gives what is left to one of
// them. Windows at the top and bottom span the whole width and stack inwards in the
// order they were given; windows at the left and right fill the height between them;
// the client child takes the rest. Each edge child is as thick as its desired size;
// hidden children take no room.
#pragma once

#include <utility>
#include <vector>

#include "framework/windows/window.h"

class TLayoutWindow : public TWindow {
 public:
  enum class TEdge { Top, Left, Bottom, Right, Client };

  explicit TLayoutWindow(TWindow* parent, const char* title = nullptr, TModule* module = nullptr);

  // child becomes a child of this window if it is not one yet.
  void SetChildLayout(TWindow& child, TEdge edge);
  bool RemoveChildLayout(TWindow& child);
  bool HasChildLayout(const TWindow& child) const;
  // Places the children now.
  void Layout();

 protected:
  TResult EvSize(TParam1 p1, TParam2 p2);
  TResult EvLayoutChanged(TParam1 p1, TParam2 p2);

 private:
  std::vector<std::pair<TWindow*, TEdge>> Entries;

  DECLARE_RESPONSE_TABLE(TLayoutWindow);
};
