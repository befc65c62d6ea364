// Loading a large JPEG into the board against libjpeg decoding the same file alone, a
// 50-megapixel phone photo as stored and turned by its Orientation tag, the peak memory
// one such load takes, and one load as a whole process against djpeg writing the same
// file out as a BMP. CPU times are the whole process's, every thread counted.
//   picture_bench [benchmark options]
//   picture_bench --one-load=FILE   loads FILE into a board once and ends (for time -v)
#include <cstdio>  // before jpeglib.h

#include <jpeglib.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "bench_support.h"
#include "framework/graphics/large_image.h"
#include "media/enhanced_dib.h"
#include "platform/winconst.h"
#include "puzzle/puzzle.h"
#include "shown_board.h"

namespace {

constexpr int PhotoWidth = 4000;
constexpr int PhotoHeight = 3000;
// A 50-megapixel phone photo.
constexpr int BigWidth = 8160;
constexpr int BigHeight = 6120;

// An APP1 Exif segment whose IFD0 holds only the Orientation entry, little-endian.
std::string OrientationSegment(int orientation) {
  const unsigned char body[] = {'E', 'x',  'i',  'f', 0,
                                0,   'I',  'I',  42,  0,
                                8,   0,    0,    0,   1,
                                0,   0x12, 0x01, 3,   0,
                                1,   0,    0,    0,   static_cast<unsigned char>(orientation),
                                0,   0,    0,    0,   0,
                                0,   0};
  std::string segment = {'\xFF', '\xE1', 0, static_cast<char>(sizeof body + 2)};
  segment.append(reinterpret_cast<const char*>(body), sizeof body);
  return segment;
}

// A test photo of the given size, made once: smooth gradients with fine detail, like a
// photograph; with an orientation other than 1 it carries that Orientation tag, as a
// phone's photo held upright does.
const std::string& PhotoPath(int width = PhotoWidth, int height = PhotoHeight,
                             int orientation = 1) {
  static QTemporaryDir dir;
  static std::map<std::tuple<int, int, int>, std::string> made;
  std::string& path = made[{width, height, orientation}];
  if (!path.empty()) return path;
  const QString name = QStringLiteral("photo_%1x%2").arg(width).arg(height);
  const QString ppm = dir.filePath(name + QStringLiteral(".ppm"));
  const QString jpeg = dir.filePath(name + QStringLiteral(".jpg"));
  if (!QFile::exists(jpeg)) {
    {
      std::ofstream out(QFile::encodeName(ppm).toStdString(), std::ios::binary);
      out << "P6\n" << width << ' ' << height << "\n255\n";
      std::vector<char> row(static_cast<std::size_t>(width) * 3);
      std::uint32_t noise = 12345;
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          noise = noise * 1664525u + 1013904223u;
          const int grain = static_cast<int>(noise >> 28);
          char* pixel = row.data() + static_cast<std::size_t>(x) * 3;
          pixel[0] = static_cast<char>((x * 255 / width + grain) & 0xFF);
          pixel[1] = static_cast<char>((y * 255 / height + grain) & 0xFF);
          pixel[2] = static_cast<char>(((x + y) / 16 + grain) & 0xFF);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
      }
    }
    QProcess cjpeg;
    cjpeg.start(QStringLiteral("cjpeg"), {QStringLiteral("-outfile"), jpeg, ppm});
    if (!cjpeg.waitForFinished(300000) || cjpeg.exitCode() != 0) {
      std::fprintf(stderr, "cjpeg failed: %s\n", cjpeg.readAllStandardError().constData());
      std::exit(1);
    }
    QFile::remove(ppm);
  }
  path = QFile::encodeName(jpeg).toStdString();
  if (orientation != 1) {
    // The same file with the tag put in right after the start marker.
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.insert(2, OrientationSegment(orientation));
    path = QFile::encodeName(dir.filePath(name + QStringLiteral("_%1.jpg").arg(orientation)))
               .toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
  }
  return path;
}

// libjpeg with its defaults, started on the test photo for one decoding, finished and
// closed when it goes.
class TBareDecoder {
 public:
  explicit TBareDecoder(const std::string& path) : File(std::fopen(path.c_str(), "rb")) {
    Info.err = jpeg_std_error(&Error);
    jpeg_create_decompress(&Info);
    jpeg_stdio_src(&Info, File);
    jpeg_read_header(&Info, TRUE);
    jpeg_start_decompress(&Info);
  }
  TBareDecoder(const TBareDecoder&) = delete;
  TBareDecoder& operator=(const TBareDecoder&) = delete;
  ~TBareDecoder() {
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
    std::fclose(File);
  }
  jpeg_decompress_struct Info;

 private:
  std::FILE* File;
  jpeg_error_mgr Error;
};

// libjpeg alone: one scan line at a time into one row, as the reader uses it, with nothing
// kept.
void BM_DecodeOnly(benchmark::State& state) {
  const std::string& path = PhotoPath();
  for (auto _ : state) {
    TBareDecoder decoder(path);
    jpeg_decompress_struct& info = decoder.Info;
    JSAMPARRAY line = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                info.output_width * info.output_components, 1);
    while (info.output_scanline < info.output_height) jpeg_read_scanlines(&info, line, 1);
    benchmark::DoNotOptimize(line[0][0]);
  }
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// libjpeg decoding the whole picture into memory, one buffer of 24-bit rows: what any
// use of the decoded picture pays at least.
void BM_DecodeToBuffer(benchmark::State& state) {
  const std::string& path = PhotoPath();
  for (auto _ : state) {
    TBareDecoder decoder(path);
    jpeg_decompress_struct& info = decoder.Info;
    const std::size_t stride = info.output_width * static_cast<std::size_t>(info.output_components);
    // Fresh and not cleared, as a picture's memory need not be.
    const auto picture = std::make_unique_for_overwrite<JSAMPLE[]>(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = picture.get() + stride * info.output_scanline;
      jpeg_read_scanlines(&info, &row, 1);
    }
    benchmark::DoNotOptimize(picture.get());
  }
}
BENCHMARK(BM_DecodeToBuffer)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The file into a 24-bit DIB: decoding plus the row conversion.
void BM_ReadJpeg(benchmark::State& state) {
  const std::string& path = PhotoPath();
  for (auto _ : state) {
    TEnhancedDib dib;
    if (!dib.ReadJpeg(path.c_str())) state.SkipWithError("ReadJpeg failed");
    benchmark::DoNotOptimize(dib.GetBits());
  }
}
BENCHMARK(BM_ReadJpeg)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The whole load into the board: display bitmap and rebuilt board, with and without
// asking the kernel for huge pages for the bitmap.
void BM_LoadPicture(benchmark::State& state) {
  const std::string& path = PhotoPath();
  TPuzzle board(4, 4, nullptr);
  board.SetSize(4, 4);
  SetHugePagesForLargeImages(state.range(0) != 0);
  for (auto _ : state) {
    if (!board.LoadPicture(path.c_str(), true)) state.SkipWithError("LoadPicture failed");
  }
  SetHugePagesForLargeImages(true);
}
BENCHMARK(BM_LoadPicture)
    ->ArgName("huge_pages")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// The 50-megapixel photo into the board: as stored, turned half a turn (rows written
// right to left) and a quarter turn (rows become columns), as the tag asks.
void BM_LoadBigPhoto(benchmark::State& state) {
  const std::string& path = PhotoPath(BigWidth, BigHeight, static_cast<int>(state.range(0)));
  TPuzzle board(4, 4, nullptr);
  board.SetSize(4, 4);
  for (auto _ : state) {
    if (!board.LoadPicture(path.c_str(), true)) state.SkipWithError("LoadPicture failed");
  }
}
BENCHMARK(BM_LoadBigPhoto)
    ->ArgName("orientation")
    ->Arg(1)
    ->Arg(3)
    ->Arg(6)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// The first paint of a board showing the 50-megapixel photo after the player changed the
// size it shows at: a zoom step, Fit in window, or the window resized. That paint filters
// the photo down to the board's new size; the paints after it copy what it made.
void BM_FirstPaintAfterChange(benchmark::State& state) {
  constexpr int Width = 1600;
  constexpr int Height = 1000;
  TShownBoard shown(4, Width, Height);
  TPuzzle& board = *shown.Board;
  board.SetSize(4, 4);
  if (!shown.Shown(Width, Height) ||
      !board.LoadPicture(PhotoPath(BigWidth, BigHeight).c_str(), true)) {
    state.SkipWithError("no shown board with the photo");
    return;
  }
  const int change = static_cast<int>(state.range(0));
  board.SetFitInWindow(change == 2);
  board.Zoom(0);
  bool back = false;
  for (auto _ : state) {
    if (change == 0) {
      board.Zoom(back ? +1 : -1);
    } else if (change == 1) {
      board.SetFitInWindow(!board.FitInWindow);
    } else {
      board.MoveWindow(0, 0, back ? Width : Width - 100, back ? Height : Height - 60);
    }
    back = !back;
    board.Invalidate(true);
    board.UpdateWindow();
  }
}
BENCHMARK(BM_FirstPaintAfterChange)
    ->ArgName("change")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// The open dialog's preview of the 50-megapixel photo: read reduced for a 125-pixel panel,
// against the whole picture into a DIB.
void BM_PreviewBigPhoto(benchmark::State& state) {
  const std::string& path = PhotoPath(BigWidth, BigHeight, 6);
  const int leastSide = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TEnhancedDib dib;
    if (!dib.Load(path.c_str(), leastSide)) state.SkipWithError("Load failed");
    benchmark::DoNotOptimize(dib.GetBits());
  }
}
BENCHMARK(BM_PreviewBigPhoto)
    ->ArgName("least_side")
    ->Arg(125)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  }
  return -1;
}

// Peak resident memory of one load of a photo above what the process held before it,
// against the goal for what it may hold beyond the display bitmap; on a shown board, with
// the paint that shows it fitted in the window. Writing 5 to clear_refs starts the peak
// afresh from the current size.
void ReportPeakMemory(int width, int height, int orientation, double goalBeyondBitmap,
                      bool shown = false) {
  const std::string& path = PhotoPath(width, height, orientation);
  std::optional<TShownBoard> window;
  std::optional<TPuzzle> model;
  TPuzzle& board = shown ? *window.emplace(4, 1600, 1000).Board : model.emplace(4, 4, nullptr);
  board.SetSize(4, 4);
  if (shown) board.SetFitInWindow(true);
  {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
  }
  const long before = StatusKilobytes("VmRSS");
  const long startPeak = StatusKilobytes("VmHWM");
  // Without the reset (older kernels) the peak would be the whole run's so far.
  if (!board.LoadPicture(path.c_str(), true) || before < 0 || startPeak > before + 1024) {
    std::printf("peak memory: not measurable here\n");
    return;
  }
  if (shown) {
    board.SetFitInWindow(true);
    board.UpdateWindow();
  }
  const long peak = StatusKilobytes("VmHWM");
  const double bitmap = 4.0 * width * height / (1024.0 * 1024.0);
  std::printf(
      "peak memory of one LoadPicture%s, %d x %d, orientation %d: %.1f MiB above the %.1f "
      "MiB held before\n",
      shown ? " and its first paint fitted in 1600 x 1000" : "", width, height, orientation,
      (peak - before) / 1024.0, before / 1024.0);
  std::printf("  display bitmap %.1f MiB; the rest %.1f MiB (goal: at most %.0f)\n", bitmap,
              (peak - before) / 1024.0 - bitmap, goalBeyondBitmap);
}

// CPU time (user and system, every thread) and peak resident memory of one run of a
// program, as /usr/bin/time reports them, or none when it could not run or failed. (The
// peak in wait4's own report would start from this process's size.)
struct TProcessCost {
  double CpuSeconds;
  double PeakMiB;
};

std::optional<TProcessCost> RunOnce(const std::vector<std::string>& command) {
  static QTemporaryDir dir;
  const std::string report =
      QFile::encodeName(dir.filePath(QStringLiteral("time.txt"))).toStdString();
  std::vector<std::string> words = {"/usr/bin/time", "-f", "%U %S %M", "-o", report};
  words.insert(words.end(), command.begin(), command.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return std::nullopt;
  }
  std::ifstream in(report);
  double user = 0, system = 0, peakKiB = 0;
  if (!(in >> user >> system >> peakKiB)) return std::nullopt;
  return TProcessCost{user + system, peakKiB / 1024.0};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One load of a photo as a whole process against djpeg writing the same file out as a
// BMP, the two alternating so that other work on the machine falls on both alike.
void CompareWithDjpeg(const char* self, const std::string& path, const char* what, double goal) {
  constexpr int Runs = 7;
  const std::vector<std::string> load = {self, "--one-load=" + path};
  const std::vector<std::string> djpeg = {"djpeg", "-bmp", "-outfile", "/dev/null", path};
  std::vector<double> loadCpu, djpegCpu, loadPeak, djpegPeak;
  for (int i = 0; i < Runs; ++i) {
    const auto ours = RunOnce(load);
    const auto theirs = RunOnce(djpeg);
    if (!ours || !theirs) {
      std::printf("one load against djpeg: not measurable here\n");
      return;
    }
    loadCpu.push_back(ours->CpuSeconds);
    loadPeak.push_back(ours->PeakMiB);
    djpegCpu.push_back(theirs->CpuSeconds);
    djpegPeak.push_back(theirs->PeakMiB);
  }
  std::printf(
      "one load of %s as a process: CPU %.0f ms, peak %.1f MiB; djpeg -bmp: CPU %.0f ms, peak "
      "%.1f MiB (medians of %d, alternating)\n",
      what, Median(loadCpu) * 1000, Median(loadPeak), Median(djpegCpu) * 1000, Median(djpegPeak),
      Runs);
  std::printf("one load / djpeg -bmp, CPU: %.2f (goal: below %.2g)\n",
              Median(loadCpu) / Median(djpegCpu), goal);
}

// How loading compares with decoding alone.
void PrintGoals(const TTimesReporter& times) {
  const double decode = times.Seconds("BM_DecodeOnly");
  const double buffer = times.Seconds("BM_DecodeToBuffer");
  const double read = times.Seconds("BM_ReadJpeg");
  const double load = times.Seconds("BM_LoadPicture/huge_pages:1");
  const double smallPages = times.Seconds("BM_LoadPicture/huge_pages:0");
  if (decode > 0 && read > 0) std::printf("ReadJpeg / decoding alone: %.2f\n", read / decode);
  if (decode > 0 && load > 0) std::printf("LoadPicture / decoding alone: %.2f\n", load / decode);
  if (buffer > 0 && load > 0) {
    std::printf("LoadPicture / decoding into one buffer: %.2f (goal: at most 1.6, stretch 1.35)\n",
                load / buffer);
  }
  if (load > 0 && smallPages > 0) {
    std::printf("LoadPicture with huge pages / without: %.2f\n", load / smallPages);
  }
  const double big = times.Seconds("BM_LoadBigPhoto/orientation:1");
  const char* changes[] = {"a zoom step", "Fit in window", "a window resize"};
  for (int change = 0; change < 3; ++change) {
    const double paint = times.Seconds("BM_FirstPaintAfterChange/change:" + std::to_string(change));
    if (big > 0 && paint > 0) {
      std::printf("first paint after %s / loading the 50 MP photo: %.2f (goal: at most 0.25)\n",
                  changes[change], paint / big);
    }
  }
}

// The process of one load, with nothing else: what djpeg is measured against.
int LoadOnce(const char* path) {
  TPuzzle board(4, 4, nullptr);
  board.SetSize(4, 4);
  return board.LoadPicture(path, true) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr std::string_view OneLoad = "--one-load=";
  if (argc == 2 && std::string_view(argv[1]).substr(0, OneLoad.size()) == OneLoad) {
    return LoadOnce(argv[1] + OneLoad.size());
  }
  TTimesReporter reporter(PrintGoals);
  // First, while the process holds little: the peak of one load, then whole processes.
  return RunBenchmarks(argc, argv, reporter, [argv] {
    ReportPeakMemory(PhotoWidth, PhotoHeight, 1, 50);
    ReportPeakMemory(BigWidth, BigHeight, 6, 64, true);
    CompareWithDjpeg(argv[0], PhotoPath(), "12 MP", 0.9);
    CompareWithDjpeg(argv[0], PhotoPath(BigWidth, BigHeight), "50 MP", 1);
    CompareWithDjpeg(argv[0], PhotoPath(BigWidth, BigHeight, 6), "50 MP turned a quarter", 1);
  });
}
