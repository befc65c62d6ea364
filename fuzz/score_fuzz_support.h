// Shared by the best-times fuzz targets: score files in memory, emptied for every input,
// and checks that abort.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dialogs/old_scores.h"
#include "dialogs/score_files.h"
#include "memory_files.h"
#include "platform/game_directory.h"
#include "scratch_dir.h"

namespace score_fuzz {

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "score fuzz: %s\n", what);
    std::abort();
  }
}

using fuzz_files::TMemoryFiles;

// This process's score files, empty. The game directory is a scratch directory of its own,
// so that anything that did reach the disk would land there.
inline TMemoryFiles& FreshFiles() {
  static const bool placed =
      (SetGameDirectory(fuzz_scratch::Directory("kavro_score_fuzz").string()), true);
  (void)placed;
  return fuzz_files::FreshFiles();
}

}  // namespace score_fuzz
