// Private to the framework: a picture resampled to another size the way a photo viewer
// shows it.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

// The pixels of `from` (pixels of source) resampled to an image of `size`, of which only
// the pixels of `part` (within 0, 0, size) are made. Along an axis that shrinks, each pixel
// is the average of the source pixels it covers, weighted by how much of each it covers:
// detail finer than the result can hold turns to its mean colour instead of breaking into
// false patterns. Along an axis kept or enlarged each pixel takes the source pixel under
// its centre, so a 1:1 copy is exact and an enlarged pixel stays a sharp block. The
// result is 32-bit colour; a null image when the memory cannot be had.
QImage AreaResampled(const QImage& source, const QRect& from, const QSize& size, const QRect& part);
// The same written into 32-bit pixels (part.height() rows of stride bytes) that the caller
// holds; false, with nothing written, when the arguments do not fit or memory is short.
bool AreaResample(const QImage& source, const QRect& from, const QSize& size, const QRect& part,
                  uchar* bits, qsizetype stride);
