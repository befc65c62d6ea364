// Handing an address to the desktop, with a seam so tests see what would be opened.
#pragma once

#include <functional>
#include <string>

// Receives a fully encoded URL ("https://...", "mailto:...", "file:///...") and returns
// whether the desktop took it.
using TDesktopOpener = std::function<bool(const std::string& url)>;

// Replaces the desktop (QDesktopServices) with opener; an empty opener restores it.
void SetDesktopOpener(TDesktopOpener opener);

// Opens url with the desktop or with the opener set above.
bool OpenWithDesktop(const std::string& url);
