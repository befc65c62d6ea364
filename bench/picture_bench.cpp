// Loading a large JPEG into the board against libjpeg decoding the same file alone, and
// the peak memory one such load takes.
#include <cstdio>  // before jpeglib.h

#include <jpeglib.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "media/enhanced_dib.h"
#include "platform/winconst.h"
#include "puzzle/puzzle.h"

namespace {

constexpr int PhotoWidth = 4000;
constexpr int PhotoHeight = 3000;

// The test photo, made once: smooth gradients with fine detail, like a photograph.
const std::string& PhotoPath() {
  static QTemporaryDir dir;
  static const std::string path = [] {
    const QString ppm = dir.filePath(QStringLiteral("photo.ppm"));
    const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
    {
      std::ofstream out(QFile::encodeName(ppm).toStdString(), std::ios::binary);
      out << "P6\n" << PhotoWidth << ' ' << PhotoHeight << "\n255\n";
      std::vector<char> row(PhotoWidth * 3);
      std::uint32_t noise = 12345;
      for (int y = 0; y < PhotoHeight; ++y) {
        for (int x = 0; x < PhotoWidth; ++x) {
          noise = noise * 1664525u + 1013904223u;
          const int grain = static_cast<int>(noise >> 28);
          row[x * 3] = static_cast<char>((x * 255 / PhotoWidth + grain) & 0xFF);
          row[x * 3 + 1] = static_cast<char>((y * 255 / PhotoHeight + grain) & 0xFF);
          row[x * 3 + 2] = static_cast<char>(((x + y) / 16 + grain) & 0xFF);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
      }
    }
    QProcess cjpeg;
    cjpeg.start(QStringLiteral("cjpeg"), {QStringLiteral("-outfile"), jpeg, ppm});
    if (!cjpeg.waitForFinished(120000) || cjpeg.exitCode() != 0) {
      std::fprintf(stderr, "cjpeg failed: %s\n", cjpeg.readAllStandardError().constData());
      std::exit(1);
    }
    QFile::remove(ppm);
    return QFile::encodeName(jpeg).toStdString();
  }();
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
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);

// libjpeg decoding the whole picture into memory, one buffer of 24-bit rows: what any
// use of the decoded picture pays at least.
void BM_DecodeToBuffer(benchmark::State& state) {
  const std::string& path = PhotoPath();
  for (auto _ : state) {
    TBareDecoder decoder(path);
    jpeg_decompress_struct& info = decoder.Info;
    const std::size_t stride = info.output_width * static_cast<std::size_t>(info.output_components);
    std::vector<JSAMPLE> picture(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = picture.data() + stride * info.output_scanline;
      jpeg_read_scanlines(&info, &row, 1);
    }
    benchmark::DoNotOptimize(picture.data());
  }
}
BENCHMARK(BM_DecodeToBuffer)->Unit(benchmark::kMillisecond);

// The file into a 24-bit DIB: decoding plus the row conversion.
void BM_ReadJpeg(benchmark::State& state) {
  const std::string& path = PhotoPath();
  for (auto _ : state) {
    TEnhancedDib dib;
    if (!dib.ReadJpeg(path.c_str())) state.SkipWithError("ReadJpeg failed");
    benchmark::DoNotOptimize(dib.GetBits());
  }
}
BENCHMARK(BM_ReadJpeg)->Unit(benchmark::kMillisecond);

// The whole load into the board: DIB, display bitmap, rebuilt board.
void BM_LoadPicture(benchmark::State& state) {
  const std::string& path = PhotoPath();
  TPuzzle board(4, 4, nullptr);
  board.SetSize(4, 4);
  for (auto _ : state) {
    if (!board.LoadPicture(path.c_str(), true)) state.SkipWithError("LoadPicture failed");
  }
}
BENCHMARK(BM_LoadPicture)->Unit(benchmark::kMillisecond);

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  }
  return -1;
}

// Peak resident memory of one load above what the process held before it. Writing 5 to
// clear_refs starts the peak afresh from the current size.
void ReportPeakMemory() {
  const std::string& path = PhotoPath();
  TPuzzle board(4, 4, nullptr);
  board.SetSize(4, 4);
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
  const long peak = StatusKilobytes("VmHWM");
  const double dib = 40.0 + static_cast<double>(TDib::RowStride(PhotoWidth, 24)) * PhotoHeight;
  const double bitmap = 4.0 * PhotoWidth * PhotoHeight;
  const double mib = 1024.0 * 1024.0;
  std::printf("peak memory of one LoadPicture: %.1f MiB above the %.1f MiB held before\n",
              (peak - before) / 1024.0, before / 1024.0);
  std::printf("  24-bit DIB %.1f MiB + display bitmap %.1f MiB = %.1f MiB; the rest %.1f MiB\n",
              dib / mib, bitmap / mib, (dib + bitmap) / mib,
              (peak - before) / 1024.0 - (dib + bitmap) / mib);
}

// Prints the console report, then how the load compares with decoding alone, in CPU
// How loading compares with decoding alone.
void PrintGoals(const TTimesReporter& times) {
  const double decode = times.Seconds("BM_DecodeOnly");
  if (decode <= 0) return;
  if (const double read = times.Seconds("BM_ReadJpeg"); read > 0) {
    std::printf("ReadJpeg / decoding alone: %.2f\n", read / decode);
  }
  const double load = times.Seconds("BM_LoadPicture");
  if (load > 0) {
    std::printf("LoadPicture / decoding alone: %.2f (goal: at most 1.25)\n", load / decode);
  }
  if (const double buffer = times.Seconds("BM_DecodeToBuffer"); buffer > 0 && load > 0) {
    std::printf("LoadPicture / decoding into one buffer: %.2f\n", load / buffer);
  }
}

}  // namespace

int main(int argc, char** argv) {
  TTimesReporter reporter(PrintGoals);
  // First, while the process holds little: the peak of one load.
  return RunBenchmarks(argc, argv, reporter, ReportPeakMemory);
}
