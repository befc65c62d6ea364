// The program icon, drawn at any size: a 3 x 3 sliding board in a bevelled tray, eight
// coloured tiles and the empty cell at the bottom right. Plain C++, so that the build-time
// PNG writer and the program draw the very same pixels.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The sizes desktops ask for, smallest first.
constexpr std::array<int, 7> ProgramIconSizes = {16, 24, 32, 48, 64, 128, 256};

// Where the empty cell lies, counted from the top left.
constexpr int IconEmptyColumn = 2;
constexpr int IconEmptyRow = 2;

// A cell's pixel span on the board of an icon of the given size: [Begin, End) on both axes
// (the board is square and its cells are too).
struct TIconCellSpan {
  int Begin;
  int End;
};
TIconCellSpan IconCellSpan(int size, int index);

// size x size pixels, top row first, each 0xAARRGGBB with straight (not premultiplied)
// alpha. Pixels outside the board are transparent and carry the button-face grey, so a
// reader that ignores alpha still shows a plain square.
std::vector<std::uint32_t> DrawProgramIcon(int size);
