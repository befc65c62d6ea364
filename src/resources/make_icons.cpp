// Writes the program icon as kavro-<size>.png into the directory given, for installation.
// The sizes given after it must be the ones the program carries, so the two never differ.
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "resources/icon_art.h"

int main(int argc, char** argv) {
  if (argc != 2 + static_cast<int>(ProgramIconSizes.size())) {
    std::fprintf(stderr, "usage: make_icons <directory> <the %zu icon sizes>\n",
                 ProgramIconSizes.size());
    return EXIT_FAILURE;
  }
  for (std::size_t i = 0; i < ProgramIconSizes.size(); ++i) {
    if (std::atoi(argv[i + 2]) != ProgramIconSizes[i]) {
      std::fprintf(stderr, "make_icons: size %s where the program has %d\n", argv[i + 2],
                   ProgramIconSizes[i]);
      return EXIT_FAILURE;
    }
  }
  for (const int size : ProgramIconSizes) {
    const std::vector<std::uint32_t> pixels = DrawProgramIcon(size);
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
      std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * size, size, row);
    }
    const std::string path = std::string(argv[1]) + "/kavro-" + std::to_string(size) + ".png";
    if (!image.save(QString::fromStdString(path), "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
      return EXIT_FAILURE;
    }
  }
  return EXIT_SUCCESS;
}
