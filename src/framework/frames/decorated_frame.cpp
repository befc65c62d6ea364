// Decorations around a frame's client, command hints and decoration toggling.
#include "framework/frames/decorated_frame.h"

#include <string>
#include <string_view>

#include "framework/bars/status_bar.h"
#include "framework/menus/menu.h"
#include "framework/resources/resources.h"
#include "framework/windows/messages.h"

TDecoratedFrame::TDecoratedFrame(TWindow* parent, const char* title, TWindow* clientWnd,
                                 bool trackMenuSelection, TModule* module)
    : TFrameWindow(parent, title, clientWnd, module), TrackMenuSelection(trackMenuSelection) {}

void TDecoratedFrame::Insert(TWindow& decoration, TEdge edge) {
  // The client's place is the frame's own business.
  SetChildLayout(decoration, edge == TEdge::Client ? TEdge::Top : edge);
}

TWindow* TDecoratedFrame::DecorationWithId(UINT id) const {
  if (id == 0) return nullptr;
  for (TWindow* child : GetChildren()) {
    if (static_cast<UINT>(child->GetId()) == id && child != GetClientWindow() &&
        HasChildLayout(*child)) {
      return child;
    }
  }
  return nullptr;
}

TStatusBar* TDecoratedFrame::GetStatusBar() const {
  for (TWindow* child : GetChildren()) {
    if (auto* bar = dynamic_cast<TStatusBar*>(child); bar != nullptr && HasChildLayout(*bar)) {
      return bar;
    }
  }
  return nullptr;
}

void TDecoratedFrame::ShowHint(int id) {
  TStatusBar* bar = GetStatusBar();
  if (bar == nullptr) return;
  if (id < 0 || static_cast<WPARAM>(id) == HintNone) {
    bar->SetHintText(nullptr);
    return;
  }
  if (const std::string* hint = TResources::FindString(static_cast<UINT>(id))) {
    bar->SetHintText(hint->c_str());
    return;
  }
  // An item with no hint of its own (a recent file) shows its whole text, which the menu
  // may show shortened, without its mnemonic number.
  char text[1024] = "";
  TMenu(GetMenu()).GetMenuString(static_cast<UINT>(id), text, sizeof text, MF_BYCOMMAND);
  std::string_view whole(text);
  if (whole.size() > 3 && whole[0] == '&' && whole[2] == ' ') whole.remove_prefix(3);
  bar->SetHintText(std::string(whole.substr(0, whole.find('\t'))).c_str());
}

TResult TDecoratedFrame::WindowProc(UINT msg, TParam1 p1, TParam2 p2) {
  switch (msg) {
    case WM_MENUSELECT:
      if (TrackMenuSelection) {
        const UINT flags = HIWORD(p1);
        if (flags == MenuClosed && p2 == 0) {
          ShowHint(-1);
        } else if ((flags & (MF_POPUP | MF_SEPARATOR)) != 0) {
          if (TStatusBar* bar = GetStatusBar()) bar->SetHintText("");
        } else {
          ShowHint(LOWORD(p1));
        }
      }
      break;
    case WM_SETHINTCOMMAND:
      ShowHint(p1 == HintNone ? -1 : static_cast<int>(p1));
      return 0;
    case WM_COMMAND:
      // Controls' notifications are not commands.
      if (p2 == 0 || HIWORD(p1) == 0) {
        if (TWindow* decoration = DecorationWithId(LOWORD(p1))) {
          const bool shown = (decoration->Attr.Style & WS_VISIBLE) != 0;
          decoration->ShowWindow(shown ? SW_HIDE : SW_SHOW);
          Layout();
          return 0;
        }
      }
      break;
    case WM_COMMAND_ENABLE:
      if (TWindow* decoration = DecorationWithId(LOWORD(p1)); decoration != nullptr && p2 != 0) {
        auto& enabler = *reinterpret_cast<TCommandEnabler*>(p2);
        enabler.Enable(true);
        enabler.SetCheck((decoration->Attr.Style & WS_VISIBLE) != 0 ? TCommandEnabler::Checked
                                                                    : TCommandEnabler::Unchecked);
        return 0;
      }
      break;
    default:
      break;
  }
  return TFrameWindow::WindowProc(msg, p1, p2);
}
