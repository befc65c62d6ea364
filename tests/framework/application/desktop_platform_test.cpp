// Which platform the program asks Qt for on each desktop.
#include <gtest/gtest.h>

#include "framework/application/desktop_platform.h"

TEST(DesktopPlatform, GnomeOnWaylandRunsOnItsXServerAndEverythingElseAsQtChooses) {
  const struct {
    TDesktopSession Session;
    const char* Platform;
  } cases[] = {
      {{"", "GNOME", "wayland-0", ":0"}, "xcb"},
      {{"", "ubuntu:GNOME", "wayland-0", ":0"}, "xcb"},
      {{"", "gnome-classic:gnome", "wayland-0", ":0"}, "xcb"},
      {{"wayland", "GNOME", "wayland-0", ":0"}, ""},  // the player's choice
      {{"", "GNOME", "wayland-0", ""}, ""},           // no X server to run on
      {{"", "GNOME", "", ":0"}, ""},                  // GNOME on X11 already
      {{"", "KDE", "wayland-0", ":0"}, ""},
      {{"", "sway", "wayland-1", ""}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlatformFor(c.Session), c.Platform) << c.Session.CurrentDesktop;
  }
}
