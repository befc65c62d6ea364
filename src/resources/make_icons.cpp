// Writes the program icon as kavro-<size>.png into the directory given, for installation,
// and as C++ runs of pixels into the source file given, for the program to carry.
// The sizes given after them must be the ones the program carries, so the two never differ.
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "resources/icon_art.h"

namespace {

bool WritePng(const std::vector<std::uint32_t>& pixels, int size, const std::string& directory) {
  QImage image(size, size, QImage::Format_ARGB32);
  for (int y = 0; y < size; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * size, size, row);
  }
  const std::string path = directory + "/kavro-" + std::to_string(size) + ".png";
  if (image.save(QString::fromStdString(path), "PNG")) return true;
  std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
  return false;
}

void WriteRuns(const std::vector<std::uint32_t>& pixels, int size, std::FILE* out) {
  std::fprintf(out, "constexpr std::uint32_t Runs%d[] = {", size);
  int written = 0;
  for (std::size_t at = 0; at < pixels.size();) {
    std::size_t end = at;
    while (end < pixels.size() && pixels[end] == pixels[at]) ++end;
    std::fprintf(out, "%s%zu, 0x%08X,", written++ % 6 == 0 ? "\n    " : " ", end - at,
                 static_cast<unsigned>(pixels[at]));
    at = end;
  }
  std::fprintf(out, "\n};\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 + static_cast<int>(ProgramIconSizes.size())) {
    std::fprintf(stderr, "usage: make_icons <directory> <source.cpp> <the %zu icon sizes>\n",
                 ProgramIconSizes.size());
    return EXIT_FAILURE;
  }
  for (std::size_t i = 0; i < ProgramIconSizes.size(); ++i) {
    if (std::atoi(argv[i + 3]) != ProgramIconSizes[i]) {
      std::fprintf(stderr, "make_icons: size %s where the program has %d\n", argv[i + 3],
                   ProgramIconSizes[i]);
      return EXIT_FAILURE;
    }
  }
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(argv[2], "w"), std::fclose);
  if (!out) {
    std::fprintf(stderr, "make_icons: cannot write %s\n", argv[2]);
    return EXIT_FAILURE;
  }
  std::fprintf(out.get(),
               "// Made by make_icons from the icon drawing; do not edit.\n"
               "#include \"resources/icon_pixels.h\"\n\nnamespace {\n\n");
  for (const int size : ProgramIconSizes) {
    const std::vector<std::uint32_t> pixels = DrawProgramIcon(size);
    if (!WritePng(pixels, size, argv[1])) return EXIT_FAILURE;
    WriteRuns(pixels, size, out.get());
  }
  std::fprintf(out.get(),
               "\n}  // namespace\n\n"
               "std::span<const std::uint32_t> ProgramIconRuns(int size) {\n"
               "  switch (size) {\n");
  for (const int size : ProgramIconSizes) {
    std::fprintf(out.get(), "    case %d:\n      return Runs%d;\n", size, size);
  }
  std::fprintf(out.get(), "    default:\n      return {};\n  }\n}\n");
  return std::ferror(out.get()) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
