// The program icon's pixels, drawn once at build time (by make_icons, with the drawing in
// icon_art.h) so that starting the program does not draw it again.
#pragma once

#include <cstdint>
#include <span>

// The icon of one of ProgramIconSizes as runs of equal pixels, row after row from the top:
// a count, then the pixel (0xAARRGGBB, straight alpha). Empty for any other size.
std::span<const std::uint32_t> ProgramIconRuns(int size);
