// Turning a large picture into a displayable bitmap: the step every picture load pays.
#include "bench_support.h"

#include "framework/graphics/dc.h"
#include "framework/graphics/dib.h"
#include "framework/graphics/gdi.h"

namespace {

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

// A 50-megapixel photo filtered down onto a 1600 x 1000 board (HALFTONE), the work of the
// first paint after the board's size changed, against the same in COLORONCOLOR.
void BM_StretchBltBigPhoto(benchmark::State& state) {
  const TDib dib = PhotoDib(8160, 6120);
  TScreenDC screen;
  TBitmap picture(screen, dib);
  TBitmap target(1600, 1000);
  TMemoryDC source(picture);
  TMemoryDC dest(target);
  dest.SetStretchBltMode(state.range(0) != 0 ? HALFTONE : COLORONCOLOR);
  for (auto _ : state) dest.StretchBlt(0, 0, 1333, 1000, source, 0, 0, 8160, 6120, SRCCOPY);
}
BENCHMARK(BM_StretchBltBigPhoto)
    ->ArgName("halftone")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
  TTimesReporter reporter(nullptr);
  return RunBenchmarks(argc, argv, reporter);
}
