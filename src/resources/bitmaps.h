// The toolbar bitmaps (24 x 24, 16 colours) and the program icon (icon 3, one image of each
// size in ProgramIconSizes, 32 bits with alpha).
#pragma once

constexpr int IconProgram = 3;

// Adds every toolbar bitmap and the program icon to the framework's resources.
void AddBitmapResources();
