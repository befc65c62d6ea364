// Copies and stretches between contexts: a blit's logical rectangles turned into device
// pixels of both images, then the pixels moved by the raster operation and stretch mode.
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "framework/graphics/area_filter.h"
#include "framework/graphics/dc.h"
#include "framework/graphics/dc_impl.h"
#include "framework/graphics/dib.h"
#include "framework/graphics/qt_bridge.h"

namespace {

QPainter::CompositionMode CompositionFor(DWORD rop) {
  switch (rop) {
    case SRCPAINT:
      return QPainter::RasterOp_SourceOrDestination;
    case SRCAND:
      return QPainter::RasterOp_SourceAndDestination;
    case SRCINVERT:
      return QPainter::RasterOp_SourceXorDestination;
    case NOTSRCCOPY:
      return QPainter::RasterOp_NotSource;
    default:
      return QPainter::CompositionMode_Source;
  }
}

// A monochrome source drawn in colour takes the text colour for black, the background
// colour for white.
QImage ColourizeMonochrome(const QImage& mono, COLORREF text, COLORREF back) {
  QImage out = mono.convertToFormat(QImage::Format_RGB32);
  const QRgb fore = ToQRgb(text);
  const QRgb bk = ToQRgb(back);
  for (int y = 0; y < out.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) row[x] = qGray(row[x]) >= 128 ? bk : fore;
  }
  return out;
}

// The image with the pixels of the key colour made transparent.
QImage KeyedOut(const QImage& image, QRgb key) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF)) row[x] = 0;
    }
  }
  return out;
}

// The pixels an origin and a signed extent cover: a negative extent runs back from the
// origin, which it includes (x = 3, width -4 covers 0..3).
QRect Span(const QRect& r) {
  const int left = r.width() < 0 ? r.x() + r.width() + 1 : r.x();
  const int top = r.height() < 0 ? r.y() + r.height() + 1 : r.y();
  return QRect(left, top, std::abs(r.width()), std::abs(r.height()));
}

// How a copy fills the device pixels of its destination from the source's pixels.
enum class TStretch {
  AsMode,   // by the stretch mode: nearest pixel, or smoothed in HALFTONE
  Magnify,  // a small bitmap shown at a screen's ratio: pixels repeated a whole number of
            // times, then smoothed down to a ratio in between (crisp, with soft steps)
};

// A blit in device pixels: the destination's rectangle on the target, the source's in its
// image, and whether the copy mirrors either way.
struct TDeviceCopy {
  QRect Dest;
  QRect From;
  bool MirrorX = false;
  bool MirrorY = false;
};

// Logical rectangles (extents signed: either side may be mirrored) in device pixels. A 1:1
// copy between images of the same ratio gives both rectangles the destination's device
// size, so that each device pixel lands on one, whatever offsets round to.
TDeviceCopy ToDevice(const TDC::TImpl& d, const QRect& dest, const QImage& source,
                     const QRect& from) {
  TDeviceCopy copy;
  copy.MirrorX = (dest.width() < 0) != (from.width() < 0);
  copy.MirrorY = (dest.height() < 0) != (from.height() < 0);
  const QRect to = Span(dest).translated(d.Origin);
  const QRect of = Span(from);
  const qreal ratio = d.Ratio();
  copy.Dest = DeviceRect(to, ratio);
  const bool exact = source.devicePixelRatio() == ratio && to.size() == of.size();
  copy.From = exact ? DeviceRectSizedAs(of, to, ratio) : DeviceRect(of, source.devicePixelRatio());
  return copy;
}

// Only the part of the source inside the image is copied, onto the matching part of the
// destination: a source rectangle reaching far outside must not cost memory for it. False
// when nothing is left to copy.
bool ClipToSource(TDeviceCopy& copy, const QRect& image) {
  QRect& dest = copy.Dest;
  QRect& from = copy.From;
  if (dest.isEmpty() || from.isEmpty()) return false;
  const QRect inside = from & image;
  if (inside.isEmpty()) return false;
  if (inside == from) return true;
  const auto scale = [](int offset, int to, int of) {
    return static_cast<int>(static_cast<long long>(offset) * to / of);
  };
  const int fromRight = from.x() + from.width();
  const int insideRight = inside.x() + inside.width();
  const int fromBottom = from.y() + from.height();
  const int insideBottom = inside.y() + inside.height();
  const int left = copy.MirrorX ? scale(fromRight - insideRight, dest.width(), from.width())
                                : scale(inside.x() - from.x(), dest.width(), from.width());
  const int right = copy.MirrorX ? scale(fromRight - inside.x(), dest.width(), from.width())
                                 : scale(insideRight - from.x(), dest.width(), from.width());
  const int top = copy.MirrorY ? scale(fromBottom - insideBottom, dest.height(), from.height())
                               : scale(inside.y() - from.y(), dest.height(), from.height());
  const int bottom = copy.MirrorY ? scale(fromBottom - inside.y(), dest.height(), from.height())
                                  : scale(insideBottom - from.y(), dest.height(), from.height());
  dest = QRect(dest.x() + left, dest.y() + top, right - left, bottom - top);
  from = inside;
  return !dest.isEmpty();
}

// The source filtered down to the destination (HALFTONE): only the part that can show is
// made, since a board zoomed past its window must not cost memory for what is off it.
// False when the memory for it cannot be had.
bool DrawFiltered(TDC::TImpl& d, QPainter& painter, const TDeviceCopy& copy, const QImage& source) {
  const QRect& dest = copy.Dest;
  QRect shown = dest & d.Target->rect();
  if (d.Clip) shown &= d.Clip->boundingRect();
  if (shown.isEmpty()) return true;
  // Where that part lies in the unmirrored result.
  QRect part = shown.translated(-dest.topLeft());
  if (copy.MirrorX) part.moveLeft(dest.width() - part.x() - part.width());
  if (copy.MirrorY) part.moveTop(dest.height() - part.y() - part.height());
  QImage& target = *d.Target;
  const bool whole =
      !d.Clip || (d.Clip->rectCount() == 1 && d.Clip->boundingRect().contains(shown));
  if (whole && !copy.MirrorX && !copy.MirrorY &&
      painter.compositionMode() == QPainter::CompositionMode_Source &&
      target.format() == QImage::Format_RGB32 && target.isDetached() && !d.Monochrome() &&
      target.constBits() != source.constBits()) {
    // Straight into the target's pixels: no second image of the board's size.
    const qsizetype stride = target.bytesPerLine();
    uchar* bits = target.bits() + shown.y() * stride + shown.x() * qsizetype(sizeof(QRgb));
    return AreaResample(source, copy.From, dest.size(), part, bits, stride);
  }
  QImage reduced = AreaResampled(source, copy.From, dest.size(), part);
  if (reduced.isNull()) return false;
  if (copy.MirrorX || copy.MirrorY) reduced = reduced.mirrored(copy.MirrorX, copy.MirrorY);
  painter.drawImage(shown.topLeft(), reduced);
  return true;
}

// A 1:1 copy of plain pixels, row by row into the target: a board's paint copies hundreds of
// pieces, and the painter takes longer to get ready for each than the copy. False leaves
// the copy to the painter.
bool CopyDirectly(TDC::TImpl& d, const TDeviceCopy& copy, const QImage& source, DWORD rop) {
  if (rop != SRCCOPY || copy.Dest.size() != copy.From.size() || copy.MirrorX || copy.MirrorY ||
      source.format() != QImage::Format_RGB32 || !WritesDirectly(d) ||
      d.Target->constBits() == source.constBits()) {
    return false;
  }
  QImage& target = *d.Target;
  const QPoint offset = copy.From.topLeft() - copy.Dest.topLeft();
  uchar* bits = target.bits();
  const qsizetype stride = target.bytesPerLine();
  const auto put = [&](const QRect& r) {
    if (r.isEmpty()) return;
    const auto bytes = static_cast<std::size_t>(r.width()) * sizeof(QRgb);
    const uchar* from = source.constBits() + (r.top() + offset.y()) * source.bytesPerLine() +
                        (r.left() + offset.x()) * qsizetype(sizeof(QRgb));
    uchar* to = bits + r.top() * stride + r.left() * qsizetype(sizeof(QRgb));
    constexpr int Ahead = 4;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      // Short rows far apart: the hardware sees no stream to fetch ahead of.
      for (std::size_t line = 0; line < bytes; line += 64) {
        __builtin_prefetch(from + Ahead * source.bytesPerLine() + line);
        __builtin_prefetch(to + Ahead * stride + line, 1);
      }
      std::memcpy(to, from, bytes);
      from += source.bytesPerLine();
      to += stride;
    }
  };
  const QRect onTarget = copy.Dest & target.rect();
  if (d.Clip) {
    for (const QRect& part : *d.Clip) put(onTarget & part);
  } else {
    put(onTarget);
  }
  return true;
}

// Moves the pixels of a copy already in device pixels.
void Draw(TDC::TImpl& d, QPainter& p, const TDeviceCopy& copy, const QImage& source,
          bool sourceMonochrome, DWORD rop, TStretch stretch, std::optional<QRgb> key) {
  const QRect& dest = copy.Dest;
  const QRect& from = copy.From;
  if (!key && !sourceMonochrome && CopyDirectly(d, copy, source, rop)) return;
  p.setCompositionMode(key ? QPainter::CompositionMode_SourceOver : CompositionFor(rop));
  // Enlarged pixels stay sharp blocks in every mode.
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const bool shrinks = dest.width() < from.width() || dest.height() < from.height();
  if (d.StretchMode == HALFTONE && stretch == TStretch::AsMode && shrinks && !sourceMonochrome &&
      !key && DrawFiltered(d, p, copy, source)) {
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    return;
  }
  const bool mirror = copy.MirrorX || copy.MirrorY;
  const bool sameImage = d.Target == &source || d.Target->constBits() == source.constBits();
  // A magnification by a whole number repeats pixels, as the nearest pixel does; one in
  // between goes through the next whole number.
  const bool magnify = stretch == TStretch::Magnify && dest.size() != from.size() &&
                       (dest.width() % from.width() != 0 || dest.height() % from.height() != 0);
  if (!mirror && !sourceMonochrome && !sameImage && !magnify && !key) {
    p.drawImage(dest, source, from);
  } else {
    QImage piece = source.copy(from);
    piece.setDevicePixelRatio(1);
    if (mirror) piece = piece.mirrored(copy.MirrorX, copy.MirrorY);
    if (sourceMonochrome && !d.Monochrome())
      piece = ColourizeMonochrome(piece, d.TextColor, d.BkColor);
    if (key) piece = KeyedOut(piece, *key);
    if (magnify) {
      const int times = std::max((dest.width() + from.width() - 1) / from.width(),
                                 (dest.height() + from.height() - 1) / from.height());
      piece = piece.scaled(piece.size() * times, Qt::IgnoreAspectRatio, Qt::FastTransformation);
      p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    }
    p.drawImage(dest, piece);
  }
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// Copies source pixels (logical coordinates of the source, either side may be mirrored by a
// negative extent) onto the destination rectangle (logical coordinates of the context);
// with a key colour, the source's pixels of that colour leave the destination as it was.
bool Blit(TDC::TImpl& d, const QRect& dest, const QImage& source, const QRect& from,
          bool sourceMonochrome, DWORD rop, TStretch stretch = TStretch::AsMode,
          std::optional<QRgb> key = {}) {
  QPainter* p = d.Begin(TDC::TImpl::TSpace::Device);
  if (p == nullptr) return false;
  if (dest.width() == 0 || dest.height() == 0 || from.width() == 0 || from.height() == 0) {
    return true;
  }
  const QRect touched = Span(dest);
  if (OutOfSight(d, touched)) return true;
  if (rop == BLACKNESS || rop == WHITENESS) {
    Fill(d, touched, rop == BLACKNESS ? 0x000000 : 0xFFFFFF);
    return true;
  }
  TDeviceCopy copy = ToDevice(d, dest, source, from);
  if (!ClipToSource(copy, source.rect())) return true;
  Draw(d, *p, copy, source, sourceMonochrome, rop, stretch, key);
  d.Touch(touched);
  return true;
}

}  // namespace

bool TDC::BitBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy,
                 DWORD rop) {
  // Equal logical sizes: a bitmap at a lower ratio than the target (a button's glyph) is
  // magnified crisply, whatever the stretch mode.
  const TImpl& s = *source.Pimpl;
  if (s.Target == nullptr || s.Target->isNull()) return false;
  return Blit(*Pimpl, QRect(x, y, width, height), *s.Target, QRect(sx, sy, width, height),
              s.Monochrome(), rop, TStretch::Magnify);
}

bool TDC::TransparentBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy,
                         int sWidth, int sHeight, COLORREF transparent) {
  const TImpl& s = *source.Pimpl;
  if (s.Target == nullptr || s.Target->isNull()) return false;
  const bool sameSize = width == sWidth && height == sHeight;
  return Blit(*Pimpl, QRect(x, y, width, height), *s.Target, QRect(sx, sy, sWidth, sHeight),
              s.Monochrome(), SRCCOPY, sameSize ? TStretch::Magnify : TStretch::AsMode,
              ToQRgb(transparent));
}

bool TDC::StretchBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy,
                     int sWidth, int sHeight, DWORD rop) {
  const TImpl& s = *source.Pimpl;
  if (s.Target == nullptr || s.Target->isNull()) return false;
  return Blit(*Pimpl, QRect(x, y, width, height), *s.Target, QRect(sx, sy, sWidth, sHeight),
              s.Monochrome(), rop);
}

int TDC::StretchDIBits(const TRect& dest, const TRect& source, const void* bits,
                       const BITMAPINFO& info, UINT usage, DWORD rop) {
  if (bits == nullptr || usage != DIB_RGB_COLORS) return 0;
  TDib dib;
  if (!dib.CreateFromHeader(info.bmiHeader)) return 0;
  // Masks and colour table follow the header in the caller's block, as in ours.
  const auto* tables = reinterpret_cast<const BYTE*>(&info) + sizeof(BITMAPINFOHEADER);
  if (DWORD* masks = dib.GetMasks()) std::memcpy(masks, tables, 3 * sizeof(DWORD));
  if (RGBQUAD* colours = dib.GetColors()) {
    const std::size_t maskBytes = dib.GetMasks() != nullptr ? 3 * sizeof(DWORD) : 0;
    std::memcpy(colours, tables + maskBytes, sizeof(RGBQUAD) * dib.NumColors());
  }
  std::memcpy(dib.GetBits(), bits, dib.SizeImage());
  const QImage image = DibToImage(dib);
  if (image.isNull()) return 0;
  // The source origin of a bottom-up DIB is its lower-left corner.
  const QRect from(source.left, image.height() - source.top - source.Height(), source.Width(),
                   source.Height());
  if (!Blit(*Pimpl, ToQRect(dest), image, from, false, rop)) return 0;
  return std::abs(source.Height());
}
