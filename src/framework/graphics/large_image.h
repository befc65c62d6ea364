// Private to the framework: 32-bit images for whole pictures and windows, allocated so
// that filling them costs as few page faults as the system allows.
#pragma once

#include <QImage>

// A Format_RGB32 image whose pixels are undefined until written; null when the memory
// cannot be had. Large ones are mapped fresh and, where the kernel offers transparent
// huge pages, ask for them.
QImage UnfilledImage(int width, int height);

// Whether large images ask for huge pages (on by default); for measuring what they give.
void SetHugePagesForLargeImages(bool on);
