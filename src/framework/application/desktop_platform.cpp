// Choosing Qt's platform for the desktop the program runs on.
#include "framework/application/desktop_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool ListsDesktop(const std::string& list, const std::string& wanted) {
  std::istringstream names(list);
  for (std::string name; std::getline(names, name, ':');) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (name == wanted) return true;
  }
  return false;
}

}  // namespace

TDesktopSession CurrentSession() {
  return {Variable("QT_QPA_PLATFORM"), Variable("XDG_CURRENT_DESKTOP"), Variable("WAYLAND_DISPLAY"),
          Variable("DISPLAY")};
}

std::string PlatformFor(const TDesktopSession& session) {
  if (!session.Platform.empty()) return {};
  const bool gnomeOnWayland =
      ListsDesktop(session.CurrentDesktop, "GNOME") && !session.WaylandDisplay.empty();
  return gnomeOnWayland && !session.X11Display.empty() ? "xcb" : std::string();
}
