// Shared by every fuzz target that hands its input to a reader by path: a directory of
// this process's own (removed at exit), so parallel jobs never share files, in memory
// where the system has a memory file system. On a disk every input costs a write-back
// and every saved file a flush: the fuzzer would spend its time waiting for the disk.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef __linux__
#include <unistd.h>
#endif

namespace fuzz_scratch {

inline std::filesystem::path Base() {
#ifdef __linux__
  if (access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
#endif
  return std::filesystem::temp_directory_path();
}

// A fresh directory named prefix_N; one per process, whatever name is asked for later.
inline const std::filesystem::path& Directory(const char* prefix) {
  namespace fs = std::filesystem;
  static const fs::path dir = [prefix] {
    const fs::path base = Base();
    for (unsigned n = 0; n < 100000; ++n) {
      fs::path candidate = base / (std::string(prefix) + "_" + std::to_string(n));
      std::error_code error;
      if (fs::create_directory(candidate, error)) {
        static const fs::path created = candidate;
        std::atexit([] {
          std::error_code ignored;
          fs::remove_all(created, ignored);
        });
        return candidate;
      }
    }
    std::fprintf(stderr, "fuzz: no fresh scratch directory in %s\n", base.c_str());
    std::abort();
  }();
  return dir;
}

// Puts the bytes into the file at path, whole, or stops the run.
inline void PutFile(const std::string& path, const void* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  const bool written = file != nullptr && (size == 0 || std::fwrite(data, 1, size, file) == size);
  if (file == nullptr || std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
    std::abort();
  }
}

}  // namespace fuzz_scratch
