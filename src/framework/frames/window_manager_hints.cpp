// The Motif window-manager hints on X11, the one way to ask for a window that cannot be
// moved: Qt writes them too, but always with moving and sizing allowed.
#include "framework/frames/window_manager_hints.h"

#include <QGuiApplication>
#include <QWidget>

#include <cstdint>

#ifdef KAVRO_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace {

// The property's five 32-bit fields and their bits, as Motif defines them.
constexpr std::uint32_t HintsFunctions = 1;
constexpr std::uint32_t HintsDecorations = 2;
constexpr std::uint32_t FuncResize = 2;
constexpr std::uint32_t FuncMove = 4;
constexpr std::uint32_t FuncMinimize = 8;
constexpr std::uint32_t FuncMaximize = 16;
constexpr std::uint32_t FuncClose = 32;
constexpr std::uint32_t DecorBorder = 2;
constexpr std::uint32_t DecorResizeHandle = 4;
constexpr std::uint32_t DecorTitle = 8;
constexpr std::uint32_t DecorMenu = 16;
constexpr std::uint32_t DecorMinimize = 32;
constexpr std::uint32_t DecorMaximize = 64;

}  // namespace

void AskWindowManager([[maybe_unused]] QWidget& top, const TWindowManagerHints& hints) {
  if (hints.AllowsAll()) return;
#ifdef KAVRO_HAVE_XCB
  auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) return;
  xcb_connection_t* connection = x11->connection();
  const auto window = static_cast<xcb_window_t>(top.winId());

  std::uint32_t functions = 0;
  std::uint32_t decorations = DecorBorder | DecorTitle | DecorMenu;
  if (hints.Move) functions |= FuncMove;
  if (hints.Size) {
    functions |= FuncResize;
    decorations |= DecorResizeHandle;
  }
  if (hints.Minimize) {
    functions |= FuncMinimize;
    decorations |= DecorMinimize;
  }
  if (hints.Maximize) {
    functions |= FuncMaximize;
    decorations |= DecorMaximize;
  }
  if (hints.Close) functions |= FuncClose;
  const std::uint32_t property[5] = {HintsFunctions | HintsDecorations, functions, decorations, 0,
                                     0};

  static constexpr char Name[] = "_MOTIF_WM_HINTS";
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, sizeof Name - 1, Name), nullptr);
  if (atom == nullptr) return;
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom->atom, atom->atom, 32, 5,
                      property);
  std::free(atom);
  xcb_flush(connection);
#endif
}
