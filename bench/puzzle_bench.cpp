// The board's measured paths: a scramble, a full paint of a picture board against one
// blit of the whole picture, and one slide's redraw against a full paint. Run with
// QT_SCALE_FACTOR=2 (or 1.5) to measure them on a high-density screen: the same logical
// sizes, drawn at that many device pixels.
#include "bench_support.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/graphics/dc.h"
#include "framework/graphics/dib.h"
#include "framework/graphics/gdi.h"
#include "framework/windows/window.h"
#include "framework/windows/window_dc.h"
#include "puzzle/puzzle.h"
#include "puzzle/random.h"
#include "shown_board.h"

namespace {

constexpr int Side = 20;
constexpr int ClientWidth = 1920;
constexpr int ClientHeight = 1080;
constexpr int PictureWidth = 1600;
constexpr int PictureHeight = 1200;
constexpr std::uint32_t Seed = 20240607;

// A photo-like 24-bit picture, turned into a bitmap the way a loaded picture is.
std::unique_ptr<TBitmap> Photo(int width, int height) {
  const TDib dib = PhotoDib(width, height);
  TScreenDC screen;
  return std::make_unique<TBitmap>(screen, dib);
}

// A 20 x 20 board as the child of a top-level window: shown with a client area of
// 1920 x 1080, or never created (the model alone).
struct TBench {
  std::optional<TShownBoard> Shown;
  std::optional<TPuzzle> Model;
  TPuzzle* Board;

  TBench(TGameType type, bool shown, bool picture) {
    if (shown) {
      Board = Shown.emplace(Side, ClientWidth, ClientHeight).Board;
    } else {
      Board = &Model.emplace(Side, Side, nullptr);
    }
    Board->GameType = type;
    if (picture) Board->Picture = Photo(PictureWidth, PictureHeight);
    Board->SetSize(Side, Side);
    if (picture) Board->SetFitInWindow(true);
    Board->UpdateWindow();
  }

  // False, with the reason given to the report, when the board is not the one meant to
  // be measured.
  bool Ready(benchmark::State& state, bool picture) const {
    if (!Shown || !Shown->Shown(ClientWidth, ClientHeight)) {
      state.SkipWithError("the board has no 1920 x 1080 client area");
      return false;
    }
    if (picture && Board->ContentKind != TContentKind::Picture) {
      state.SkipWithError("the board shows no picture");
      return false;
    }
    return true;
  }
};

// The fastest of the repetitions: on a shared machine other work only ever adds time.
double Fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

void BM_Scramble(benchmark::State& state) {
  const auto type = state.range(0) == 0 ? TGameType::Sliding : TGameType::Jigsaw;
  TBench bench(type, state.range(1) != 0, false);
  if (state.range(1) != 0 && !bench.Ready(state, false)) return;
  for (auto _ : state) {
    SeedRandom(Seed);
    bench.Board->Scramble();
  }
  state.SetLabel(std::string(type == TGameType::Sliding ? "sliding" : "jigsaw") +
                 (state.range(1) != 0 ? ", shown letters" : ", model only"));
}
BENCHMARK(BM_Scramble)
    ->ArgNames({"jigsaw", "shown"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->ComputeStatistics("min", Fastest);

// The board's Paint alone, drawing every piece and the frame.
void BM_FullPaint(benchmark::State& state) {
  TBench bench(TGameType::Sliding, true, true);
  if (!bench.Ready(state, true)) return;
  TRect all = bench.Board->GetClientRect();
  for (auto _ : state) {
    TClientDC dc(*bench.Board);
    bench.Board->Paint(dc, false, all);
  }
}
BENCHMARK(BM_FullPaint)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->ComputeStatistics("min", Fastest);

// A full repaint as the window asks for one: the background erased, then Paint.
void BM_FullRepaint(benchmark::State& state) {
  TBench bench(TGameType::Sliding, true, true);
  if (!bench.Ready(state, true)) return;
  for (auto _ : state) {
    bench.Board->Invalidate(true);
    bench.Board->UpdateWindow();
  }
}
BENCHMARK(BM_FullRepaint)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->ComputeStatistics("min", Fastest);

// The least a full paint could cost: the whole picture stretched once onto the board's area.
void BM_StretchBltWholePicture(benchmark::State& state) {
  TBench bench(TGameType::Sliding, true, true);
  if (!bench.Ready(state, true)) return;
  for (auto _ : state) {
    TClientDC dc(*bench.Board);
    TMemoryDC memory(dc);
    memory.SelectObject(*bench.Board->Picture);
    dc.SetStretchBltMode(COLORONCOLOR);
    const TRect& board = bench.Board->BoardRect;
    dc.StretchBlt(board.left, board.top, board.Width(), board.Height(), memory, 0, 0, PictureWidth,
                  PictureHeight, SRCCOPY);
  }
}
BENCHMARK(BM_StretchBltWholePicture)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->ComputeStatistics("min", Fastest);

// One arrow key's move: the piece is drawn in its new cell, and the emptied cell is
// erased by the paint it leaves pending.
void BM_SlideWithRedraw(benchmark::State& state) {
  TBench bench(TGameType::Sliding, true, true);
  if (!bench.Ready(state, true)) return;
  // The empty space starts in the last column, so left and right moves alternate.
  if (bench.Board->ActiveX != Side - 1) {
    state.SkipWithError("the empty space is not in the last column");
    return;
  }
  bool left = true;
  for (auto _ : state) {
    if (left) {
      bench.Board->MoveEmptyLeft(true);
    } else {
      bench.Board->MoveEmptyRight(true);
    }
    bench.Board->UpdateWindow();
    left = !left;
  }
}
BENCHMARK(BM_SlideWithRedraw)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->ComputeStatistics("min", Fastest);

// How the measured paths compare with their goals: medians of the repetitions, in CPU time
// of the whole process.
void PrintGoals(const TTimesReporter& times) {
  const double paint = times.Seconds("BM_FullPaint");
  const double repaint = times.Seconds("BM_FullRepaint");
  const double blit = times.Seconds("BM_StretchBltWholePicture");
  const double slide = times.Seconds("BM_SlideWithRedraw");
  const double ratio = qApp->devicePixelRatio();
  if (ratio != 1) std::printf("device pixels per logical pixel: %g\n", ratio);
  if (blit > 0) {
    if (paint > 0) {
      std::printf("full Paint / one StretchBlt of the picture: %.2f (goal: at most 1)\n",
                  paint / blit);
    }
    if (repaint > 0) {
      std::printf("erase and Paint / one StretchBlt of the picture: %.2f\n", repaint / blit);
    }
  }
  if (paint > 0 && slide > 0) {
    std::printf("slide with redraw / full Paint: 1/%.1f (goal: at most 1/50)\n", paint / slide);
  }
}

}  // namespace

int main(int argc, char** argv) {
  TTimesReporter reporter(PrintGoals);
  return RunBenchmarks(argc, argv, reporter);
}
