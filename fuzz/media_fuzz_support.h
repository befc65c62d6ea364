// Shared by the picture and saved-game fuzz targets: the readers take a path, so each
// input is written to a file in a directory of this process's own; message boxes are
// answered with OK and counted instead of shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "framework/responder.h"
#include "platform/winconst.h"

namespace media_fuzz {

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

// A fresh directory, removed at exit, so parallel jobs never share files.
inline const std::filesystem::path& ScratchDir() {
  static const std::filesystem::path dir = [] {
    namespace fs = std::filesystem;
    const fs::path base = fs::temp_directory_path();
    for (unsigned n = 0;; ++n) {
      fs::path candidate = base / ("kavro_media_fuzz_" + std::to_string(n));
      std::error_code error;
      if (fs::create_directory(candidate, error)) {
        static const fs::path created = candidate;
        std::atexit([] {
          std::error_code ignored;
          fs::remove_all(created, ignored);
        });
        return candidate;
      }
      Check(n < 100000, "no fresh scratch directory");
    }
  }();
  return dir;
}

inline std::string WriteInput(const char* name, const std::uint8_t* data, std::size_t size) {
  const std::string path = (ScratchDir() / name).string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  Check(file != nullptr, "cannot write the input file");
  Check(size == 0 || std::fwrite(data, 1, size, file) == size, "short write of the input");
  std::fclose(file);
  return path;
}

// Installed once for the whole run.
inline int& MessageCount() {
  static int count = 0;
  static const auto responder = std::make_unique<TScopedModalResponder>([](const TModalRequest&) {
    ++count;
    TModalAnswer answer;
    answer.Button = IDOK;
    return answer;
  });
  return count;
}

}  // namespace media_fuzz
