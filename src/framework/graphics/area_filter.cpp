#include "framework/graphics/area_filter.h"

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

// How the pixels of one axis of the result take the source's: pixel i of the result sums
// Weight[Offset[i] + k] times source pixel First[i] + k, and Total is what every pixel's
// weights add up to.
struct TAxis {
  std::vector<int> First;
  std::vector<int> Offset;  // one more than there are pixels: the last ends the weights
  std::vector<std::uint32_t> Weight;
  std::uint32_t Total = 1;
  std::uint32_t Full = 1;  // the weight of a source pixel wholly covered

  int Count(int i) const { return Offset[i + 1] - Offset[i]; }
};

// Pixels begin .. end - 1 of an axis of `to` pixels made from `from` pixels.
TAxis AxisFor(int from, int to, int begin, int end) {
  TAxis axis;
  axis.Offset.push_back(0);
  if (to >= from) {
    // The source pixel under each pixel's centre.
    for (int i = begin; i < end; ++i) {
      axis.First.push_back(static_cast<int>((2LL * i + 1) * from / (2LL * to)));
      axis.Weight.push_back(1);
      axis.Offset.push_back(static_cast<int>(axis.Weight.size()));
    }
    return axis;
  }
  // Measured in 1/to of a source pixel, result pixel i spans [i * from, (i + 1) * from)
  // and source pixel j spans [j * to, (j + 1) * to): the weights are whole numbers and
  // every pixel's add up to `from`.
  axis.Total = static_cast<std::uint32_t>(from);
  axis.Full = static_cast<std::uint32_t>(to);
  for (int i = begin; i < end; ++i) {
    const long long start = static_cast<long long>(i) * from;
    const long long stop = start + from;
    const int first = static_cast<int>(start / to);
    axis.First.push_back(first);
    for (long long j = first; j * to < stop; ++j) {
      const long long w = std::min(stop, (j + 1) * to) - std::max(start, j * to);
      axis.Weight.push_back(static_cast<std::uint32_t>(w));
    }
    axis.Offset.push_back(static_cast<int>(axis.Weight.size()));
  }
  return axis;
}

// Rows first .. last - 1 of the result (out: its pixels, stride bytes a row). Each sums its
// source rows down every source column, then those sums across into its own columns.
void MakeRows(const QImage& source, const QRect& from, const TAxis& columns, const TAxis& rows,
              uchar* out, qsizetype stride, int firstRow, int lastRow) {
  const int width = from.width();
  const auto line = [&](int row) {
    return reinterpret_cast<const QRgb*>(source.constScanLine(from.y() + row)) + from.x();
  };
  // The rows wholly covered, summed plain: red and blue side by side in one word, green
  // and alpha in another, while 16 bits hold the sums of at most 257 rows. The compiler
  // does this loop many pixels at a time.
  std::vector<std::uint32_t> redBlue(width);
  std::vector<std::uint32_t> greenAlpha(width);
  // Blue, green and red of each source column summed down the result's row, weighted: at
  // most 255 times rows.Total each.
  std::vector<std::uint32_t> down(static_cast<std::size_t>(width) * 3);
  const double scale = 1.0 / (static_cast<double>(rows.Total) * columns.Total);
  for (int y = firstRow; y < lastRow; ++y) {
    const int first = rows.First[y];
    const int last = rows.Count(y) - 1;
    const std::uint32_t* weight = rows.Weight.data() + rows.Offset[y];
    std::fill(down.begin(), down.end(), 0);
    constexpr int Chunk = 257;
    for (int k = 1; k < last; k += Chunk) {
      std::fill(redBlue.begin(), redBlue.end(), 0);
      std::fill(greenAlpha.begin(), greenAlpha.end(), 0);
      for (int row = k; row < std::min(last, k + Chunk); ++row) {
        const QRgb* p = line(first + row);
        for (int x = 0; x < width; ++x) {
          redBlue[x] += p[x] & 0xFF00FF;
          greenAlpha[x] += (p[x] >> 8) & 0xFF00FF;
        }
      }
      for (int x = 0; x < width; ++x) {
        down[x * 3] += (redBlue[x] & 0xFFFF) * rows.Full;
        down[x * 3 + 1] += (greenAlpha[x] & 0xFFFF) * rows.Full;
        down[x * 3 + 2] += (redBlue[x] >> 16) * rows.Full;
      }
    }
    // The first and last rows, partly covered (or the one row under an enlarged one's
    // centre).
    for (int k = 0; k <= last; k += std::max(last, 1)) {
      const QRgb* p = line(first + k);
      const std::uint32_t w = weight[k];
      for (int x = 0; x < width; ++x) {
        down[x * 3] += w * (p[x] & 0xFF);
        down[x * 3 + 1] += w * ((p[x] >> 8) & 0xFF);
        down[x * 3 + 2] += w * ((p[x] >> 16) & 0xFF);
      }
    }
    auto* target = reinterpret_cast<QRgb*>(out + y * stride);
    for (int x = 0; x < static_cast<int>(columns.First.size()); ++x) {
      std::uint64_t b = 0;
      std::uint64_t g = 0;
      std::uint64_t r = 0;
      const std::uint32_t* sum = down.data() + static_cast<std::size_t>(columns.First[x]) * 3;
      for (int k = 0; k < columns.Count(x); ++k, sum += 3) {
        const std::uint64_t w = columns.Weight[columns.Offset[x] + k];
        b += w * sum[0];
        g += w * sum[1];
        r += w * sum[2];
      }
      const auto channel = [scale](std::uint64_t v) {
        return static_cast<QRgb>(static_cast<double>(v) * scale + 0.5);
      };
      target[x] = 0xFF000000 | channel(r) << 16 | channel(g) << 8 | channel(b);
    }
  }
}

// Below this many source pixels a second thread costs more than it saves.
constexpr long long ThreadedPixels = 1 << 20;

}  // namespace

bool AreaResample(const QImage& source, const QRect& from, const QSize& size, const QRect& part,
                  uchar* bits, qsizetype stride) {
  if (part.isEmpty() || !QRect(QPoint(0, 0), size).contains(part) ||
      !source.rect().contains(from) || from.isEmpty()) {
    return false;
  }
  // Pictures are 32-bit; any other source is converted a region at a time.
  if (source.format() != QImage::Format_RGB32 && source.format() != QImage::Format_ARGB32) {
    const QImage converted = source.copy(from).convertToFormat(QImage::Format_RGB32);
    return !converted.isNull() &&
           AreaResample(converted, converted.rect(), size, part, bits, stride);
  }
  const TAxis columns = AxisFor(from.width(), size.width(), part.left(), part.right() + 1);
  const TAxis rows = AxisFor(from.height(), size.height(), part.top(), part.bottom() + 1);
  const int height = part.height();
  const long long work = static_cast<long long>(from.width()) * from.height();
  if (work < ThreadedPixels || height < 2) {
    MakeRows(source, from, columns, rows, bits, stride, 0, height);
    return true;
  }
  // Two halves side by side: a 50-megapixel photo is summed in half the time.
  const int middle = height / 2;
  std::thread other([&] { MakeRows(source, from, columns, rows, bits, stride, middle, height); });
  MakeRows(source, from, columns, rows, bits, stride, 0, middle);
  other.join();
  return true;
}

QImage AreaResampled(const QImage& source, const QRect& from, const QSize& size,
                     const QRect& part) {
  QImage out(part.size(), QImage::Format_RGB32);
  if (out.isNull() || !AreaResample(source, from, size, part, out.bits(), out.bytesPerLine())) {
    return QImage();
  }
  return out;
}
