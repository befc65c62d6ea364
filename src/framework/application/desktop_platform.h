// Which of Qt's platforms the program asks for on the player's desktop (private to the
// framework).
#pragma once

#include <string>

struct TDesktopSession {
  std::string Platform;        // QT_QPA_PLATFORM: the player's own choice wins
  std::string CurrentDesktop;  // XDG_CURRENT_DESKTOP, a colon-separated list
  std::string WaylandDisplay;  // WAYLAND_DISPLAY
  std::string X11Display;      // DISPLAY
};

// The session the program was started in, read from its environment.
TDesktopSession CurrentSession();

// The platform to ask Qt for, or empty for Qt's own choice. On GNOME's Wayland, Qt 6.4 can
// neither place a dialog over its owner, nor learn the work area, nor leave the maximise
// button off a window (it draws the title bars itself there); on GNOME's X server mutter
// does all three as on any X11 desktop, and in GNOME's default layout mode it draws X11
// windows at the screen's own resolution, as sharp as Wayland ones.
std::string PlatformFor(const TDesktopSession& session);
