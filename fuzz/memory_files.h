// Files kept in memory behind the profile functions, for the fuzz targets of the readers
// built on them: an input costs no system calls, while every line is still read, parsed
// and written by the code players run. Only the disk's own reads and replacements are
// left out, and they look at no byte of the content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/profile_storage.h"

namespace fuzz_files {

class TMemoryFiles final : public TProfileStorage {
 public:
  TReadStatus Read(const char* path, std::string& content) override {
    const auto file = Files.find(path);
    if (file == Files.end()) {
      content.clear();
      return TReadStatus::Missing;
    }
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

// This process's files, set as the profile functions' storage on first use, and empty.
inline TMemoryFiles& FreshFiles() {
  static TMemoryFiles files;
  static const bool installed = (SetProfileStorage(&files), true);
  (void)installed;
  files.Files.clear();
  return files;
}

}  // namespace fuzz_files
