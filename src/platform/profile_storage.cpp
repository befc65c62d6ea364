// The disk's profile storage: reads in one go, writes through a temporary beside the file.
#include "platform/profile_storage.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>

#include <sys/stat.h>

#include "platform/replace_file.h"

namespace {

// The size of an open regular file, to read it in one go; nothing for anything else.
std::optional<std::size_t> RegularFileSize(std::FILE* file) {
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || (info.st_mode & S_IFMT) != S_IFREG) return std::nullopt;
  return static_cast<std::size_t>(info.st_size);
}

class TDiskStorage final : public TProfileStorage {
 public:
  TReadStatus Read(const char* path, std::string& content) override {
    content.clear();
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return errno == ENOENT ? TReadStatus::Missing : TReadStatus::Failed;
    // The reads below go straight into the content: a stream buffer would only be one more
    // allocation and copy.
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::size_t got = 0;
    if (const std::optional<std::size_t> size = RegularFileSize(file); size && *size > 0) {
      content.resize(*size);
      got = std::fread(content.data(), 1, *size, file);
      content.resize(got);
    }
    // Whatever the size did not tell: a file that grew meanwhile, or one that is not regular.
    if (std::ferror(file) == 0 && std::feof(file) == 0) {
      char chunk[4096];
      while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? TReadStatus::Failed : TReadStatus::Ok;
  }

  bool Replace(const char* path, std::string_view content) override {
    return ReplaceFileContents(path, reinterpret_cast<const std::uint8_t*>(content.data()),
                               content.size()) == TReplaceResult::Replaced;
  }
};

TDiskStorage gDisk;
TProfileStorage* gStorage = &gDisk;

}  // namespace

TProfileStorage& ProfileStorage() {
  return *gStorage;
}

void SetProfileStorage(TProfileStorage* storage) {
  gStorage = storage != nullptr ? storage : &gDisk;
}
