// Turning a large picture into a displayable bitmap: the step every picture load pays.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstring>

#include "framework/dc.h"
#include "framework/dib.h"
#include "framework/gdi.h"

namespace {

TDib PhotoDib(int width, int height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  TDib dib;
  dib.CreateFromHeader(header);
  for (int y = 0; y < height; ++y) {
    BYTE* row = dib.ScanLine(y);
    for (int x = 0; x < width * 3; ++x) row[x] = static_cast<BYTE>(x * 7 + y);
  }
  return dib;
}

void BM_BitmapFromDib24(benchmark::State& state) {
  const TDib dib = PhotoDib(4000, 3000);
  TScreenDC screen;
  for (auto _ : state) {
    TBitmap bitmap(screen, dib);
    benchmark::DoNotOptimize(bitmap.Width());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * dib.SizeImage());
}
BENCHMARK(BM_BitmapFromDib24)->Unit(benchmark::kMillisecond);

void BM_StretchBltPicture(benchmark::State& state) {
  const TDib dib = PhotoDib(1600, 1200);
  TScreenDC screen;
  TBitmap picture(screen, dib);
  TBitmap target(1920, 1080);
  TMemoryDC source(picture);
  TMemoryDC dest(target);
  dest.SetStretchBltMode(COLORONCOLOR);
  for (auto _ : state) dest.StretchBlt(0, 0, 1920, 1080, source, 0, 0, 1600, 1200, SRCCOPY);
}
BENCHMARK(BM_StretchBltPicture)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
