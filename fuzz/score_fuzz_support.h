// Shared by the best-times fuzz targets: the score files live in memory behind the profile
// functions, so an input costs no system calls while every line is read and written by the
// code players run; they are emptied for every input. Checks abort.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "dialogs/old_scores.h"
#include "dialogs/score_files.h"
#include "platform/game_directory.h"
#include "platform/profile_storage.h"
#include "scratch_dir.h"

namespace score_fuzz {

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "score fuzz: %s\n", what);
    std::abort();
  }
}

class TMemoryFiles final : public TProfileStorage {
 public:
  TReadStatus Read(const char* path, std::string& content) override {
    const auto file = Files.find(path);
    if (file == Files.end()) return TReadStatus::Missing;
    content = file->second;
    return TReadStatus::Ok;
  }
  bool Replace(const char* path, std::string_view content) override {
    Files[path] = content;
    return true;
  }

  void Put(const std::string& path, const std::uint8_t* data, std::size_t size) {
    Files[path].assign(reinterpret_cast<const char*>(data), size);
  }
  // The file's bytes; none for a missing file.
  std::string Bytes(const std::string& path) const {
    const auto file = Files.find(path);
    return file != Files.end() ? file->second : std::string();
  }

  std::map<std::string, std::string, std::less<>> Files;
};

// This process's score files, empty. The game directory is a scratch directory of its own,
// so that anything that did reach the disk would land there.
inline TMemoryFiles& FreshFiles() {
  static TMemoryFiles& files = []() -> TMemoryFiles& {
    static TMemoryFiles made;
    SetGameDirectory(fuzz_scratch::Directory("kavro_score_fuzz").string());
    SetProfileStorage(&made);
    return made;
  }();
  files.Files.clear();
  return files;
}

}  // namespace score_fuzz
