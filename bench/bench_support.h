// What the benchmark programs share: a headless application around the run, a reporter
// that keeps each benchmark's CPU time so goals can be checked at the end, and a
// photo-like picture.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <unistd.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/graphics/dib.h"
#include "headless.h"

class TTimesReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that saved reports stay plain text.
  explicit TTimesReporter(std::function<void(const TTimesReporter&)> goals)
      : ConsoleReporter(isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular),
        Goals(std::move(goals)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // CPU time, of every thread where the benchmark measures the process's: other work
      // on a shared machine stretches wall-clock time unevenly.
      if (!run.error_occurred) {
        Times[run.benchmark_name()] =
            run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    if (Goals) Goals(*this);
  }

  // Seconds of one benchmark (measured by the process's CPU time or not): the median of
  // its repetitions, else the fastest, else the mean, else the one run; 0 when it did not
  // run.
  double Seconds(const std::string& name) const {
    for (const char* suffix : {"_median", "_min", "_mean", ""}) {
      for (const char* timing : {"", "/process_time"}) {
        if (auto it = Times.find(name + timing + suffix); it != Times.end()) return it->second;
      }
    }
    return 0;
  }

 private:
  std::function<void(const TTimesReporter&)> Goals;
  std::map<std::string, double> Times;
};

// Runs the benchmarks named on the command line inside a headless application; before,
// whatever must be measured while the process is still small.
inline int RunBenchmarks(int argc, char** argv, TTimesReporter& reporter,
                         const std::function<void()>& before = {}) {
  const THeadless headless;
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (before) before();
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

// A photo-like 24-bit DIB: every byte differs from its neighbours.
inline TDib PhotoDib(int width, int height) {
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
    for (int x = 0; x < width * 3; ++x) row[x] = static_cast<BYTE>(x * 7 + y * 3);
  }
  return dib;
}
