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
#include "scratch_dir.h"

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
  const fs::path& dir = fuzz_scratch::Directory("kavro_score_fuzz");
  SetGameDirectory(dir.string());
  std::error_code error;
  fs::remove_all(ScoreDirectory(), error);
  Check(MakeScoreDirectory(), "cannot make the score directory");
  return dir;
}

using fuzz_scratch::PutFile;

}  // namespace score_fuzz
