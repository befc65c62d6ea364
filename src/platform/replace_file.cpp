// The temporary file gets a name of its own beside the target (same directory, so the
// rename cannot cross file systems) and is removed again on every failure.
#include "platform/replace_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Opens a file that did not exist before (C11's "x" mode), never one someone else made.
std::FILE* CreateBeside(const fs::path& target, fs::path& temporary) {
  static unsigned counter = 0;
  const auto seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%llx-%x.tmp", seed, ++counter);
    temporary = target;
    temporary += suffix;
    std::FILE* file = std::fopen(temporary.string().c_str(), "wbx");
    if (file != nullptr) return file;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

// The data must be on disk before the rename makes it the target.
bool FlushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
#if defined(_WIN32)
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

}  // namespace

TReplaceResult ReplaceFileContents(const char* path, const std::uint8_t* data, std::size_t size) {
  if (path == nullptr || *path == '\0') return TReplaceResult::CannotCreate;
  std::error_code error;
  fs::path target(path);
  // A link is written through, not replaced by a file of its own.
  if (fs::is_symlink(fs::symlink_status(target, error))) {
    fs::path resolved = fs::weakly_canonical(target, error);
    if (error) return TReplaceResult::CannotCreate;
    target = std::move(resolved);
  }
  const fs::file_status status = fs::status(target, error);
  const bool exists = fs::exists(status);
  if (exists) {
    if (!fs::is_regular_file(status)) return TReplaceResult::CannotCreate;
    // A file we may not write stays as it is, even where its directory would let a rename
    // replace it.
    std::FILE* probe = std::fopen(target.string().c_str(), "r+b");
    if (probe == nullptr) return TReplaceResult::CannotCreate;
    std::fclose(probe);
  }

  fs::path temporary;
  std::FILE* file = CreateBeside(target, temporary);
  if (file == nullptr) return TReplaceResult::CannotCreate;
  bool ok = (size == 0 || std::fwrite(data, 1, size, file) == size) && FlushToDisk(file);
  ok = std::fclose(file) == 0 && ok;
  if (ok && exists) {
    fs::permissions(temporary, status.permissions(), fs::perm_options::replace, error);
  }
  if (ok) {
    fs::rename(temporary, target, error);
    ok = !error;
  }
  if (!ok) fs::remove(temporary, error);
  return ok ? TReplaceResult::Replaced : TReplaceResult::WriteFailed;
}
