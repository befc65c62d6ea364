// The toolbar's pictures as text: one character a pixel, top row first, each character
// one colour of the 16-colour palette below.
#pragma once

#include <array>
#include <span>

#include "platform/wintypes.h"

constexpr int ToolbarGlyphSize = 24;

// The palette's colours in table order, and the character that stands for each.
struct TArtColour {
  char Key;
  BYTE Red, Green, Blue;
};
constexpr std::array<TArtColour, 16> ArtPalette = {{
    {'#', 0x00, 0x00, 0x00},  // black
    {'r', 0x80, 0x00, 0x00},  // dark red
    {'g', 0x00, 0x80, 0x00},  // dark green
    {'o', 0x80, 0x80, 0x00},  // olive
    {'n', 0x00, 0x00, 0x80},  // navy
    {'p', 0x80, 0x00, 0x80},  // purple
    {'t', 0x00, 0x80, 0x80},  // teal
    {'.', 0xC0, 0xC0, 0xC0},  // silver: the button face
    {':', 0x80, 0x80, 0x80},  // grey
    {'R', 0xFF, 0x00, 0x00},  // red
    {'G', 0x00, 0xFF, 0x00},  // green
    {'Y', 0xFF, 0xFF, 0x00},  // yellow
    {'B', 0x00, 0x00, 0xFF},  // blue
    {'M', 0xFF, 0x00, 0xFF},  // magenta
    {'C', 0x00, 0xFF, 0xFF},  // cyan
    {'W', 0xFF, 0xFF, 0xFF},  // white
}};
constexpr int ArtFaceIndex = 7;

struct TToolbarArt {
  int Id;  // the bitmap resource
  const char* Name;
  std::array<const char*, ToolbarGlyphSize> Rows;
};

std::span<const TToolbarArt> ToolbarArt();
