// Shared by the best-times fuzz targets: a scratch game directory per process (removed at
// exit) with an empty score directory for every input, and checks that abort.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "dialogs/old_scores.h"
#include "dialogs/score_files.h"
#include "platform/game_directory.h"

namespace score_fuzz {

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "score fuzz: %s\n", what);
    std::abort();
  }
}

// Points the game directory at this process's scratch directory and empties its scores.
inline std::filesystem::path FreshGameDirectory() {
  namespace fs = std::filesystem;
  static const fs::path dir = [] {
    const fs::path base = fs::temp_directory_path();
    for (unsigned n = 0;; ++n) {
      fs::path candidate = base / ("kavro_score_fuzz_" + std::to_string(n));
      std::error_code error;
      if (fs::create_directory(candidate, error)) {
        static const fs::path created = candidate;
        std::atexit([] {
          std::error_code ignored;
          fs::remove_all(created, ignored);
        });
        return candidate;
      }
      Check(n < 100000, "no fresh directory");
    }
  }();
  SetGameDirectory(dir.string());
  std::error_code error;
  fs::remove_all(ScoreDirectory(), error);
  Check(MakeScoreDirectory(), "cannot make the score directory");
  return dir;
}

inline void PutFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  Check(file != nullptr, "cannot create the fuzz file");
  if (size > 0) Check(std::fwrite(data, 1, size, file) == size, "cannot write the fuzz file");
  Check(std::fclose(file) == 0, "cannot close the fuzz file");
}

}  // namespace score_fuzz
