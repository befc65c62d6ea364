// Shared by the picture and saved-game fuzz targets: the readers take a path, so each
// input is written to a file in a scratch directory of this process's own; message boxes are
// answered with OK and counted instead of shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "framework/windows/responder.h"
#include "platform/winconst.h"
#include "scratch_dir.h"

namespace media_fuzz {

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

inline const std::filesystem::path& ScratchDir() {
  return fuzz_scratch::Directory("kavro_media_fuzz");
}

inline std::string WriteInput(const char* name, const std::uint8_t* data, std::size_t size) {
  std::string path = (ScratchDir() / name).string();
  fuzz_scratch::PutFile(path, data, size);
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
