// Fuzz target for the profile functions: any file content must give terminated results
// inside the caller's buffer, and a write must leave every value it does not touch as it
// was and make its own change visible.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile.h"

#ifdef __linux__
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefault = "<default>";
constexpr DWORD kRoomy = 1 << 16;
constexpr DWORD kSmallSizes[] = {0, 1, 2, 3, 5, 8};
constexpr std::size_t kMaxSections = 6;
constexpr std::size_t kMaxKeys = 6;
constexpr std::size_t kGuard = 16;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "profile_fuzz: %s\n", what);
    std::abort();
  }
}

// Every write makes the profile code flush its file to disk; in memory that costs
// nothing, so the fuzzer's time goes to parsing and writing instead of waiting on a disk.
fs::path ScratchBase() {
#ifdef __linux__
  if (access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
#endif
  return fs::temp_directory_path();
}

// One directory per process, so parallel fuzzing jobs do not share files; removed at exit.
const std::string& IniPath() {
  static const std::string path = [] {
    const fs::path base = ScratchBase();
    for (unsigned n = 0;; ++n) {
      fs::path dir = base / ("kavro_profile_fuzz_" + std::to_string(n));
      std::error_code error;
      if (fs::create_directory(dir, error)) {
        static const fs::path created = dir;
        std::atexit([] {
          std::error_code ignored;
          fs::remove_all(created, ignored);
        });
        return (dir / "fuzz.ini").string();
      }
      Check(n < 100000, "no fresh directory for the fuzz file");
    }
  }();
  return path;
}

void PutFile(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(IniPath().c_str(), "wb");
  Check(file != nullptr, "cannot create the fuzz file");
  if (size > 0) Check(std::fwrite(data, 1, size, file) == size, "cannot write the fuzz file");
  Check(std::fclose(file) == 0, "cannot close the fuzz file");
}

std::string FileBytes() {
  std::string bytes;
  std::FILE* file = std::fopen(IniPath().c_str(), "rb");
  if (file == nullptr) return bytes;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  std::fclose(file);
  return bytes;
}

// Reads into a buffer of exactly size bytes followed by guard bytes, checks the shape of
// what came back and returns the bytes the call reported.
std::string Read(const char* section, const char* key, DWORD size) {
  std::vector<char> buffer(std::size_t{size} + kGuard, '\x5a');
  const DWORD count =
      GetPrivateProfileStringA(section, key, kDefault, buffer.data(), size, IniPath().c_str());
  for (std::size_t i = size; i < buffer.size(); ++i) {
    Check(buffer[i] == '\x5a', "wrote past the end of the buffer");
  }
  if (size == 0) {
    Check(count == 0, "size 0 returned characters");
    return {};
  }
  Check(count < size, "count not below the buffer size");
  Check(buffer[count] == '\0', "result not terminated");
  if (section != nullptr && key != nullptr) {
    Check(std::strlen(buffer.data()) == count, "value holds a NUL");
  } else if (count > 0) {
    // A whole list ends name, NUL, NUL; a cut one has two NULs at size - 2.
    const bool whole = buffer[count - 1] == '\0';
    const bool cut = count + 2 == size && buffer[count + 1] == '\0';
    Check(whole || cut, "list not closed by two terminators");
  }
  return std::string(buffer.data(), count);
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t end = list.find('\0', start);
    names.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

using Snapshot = std::map<std::pair<std::string, std::string>, std::string>;

// Reads every list and value of the first few sections and keys, checking that smaller
// buffers give prefixes of the full result.
Snapshot Survey() {
  Snapshot values;
  const std::string sectionList = Read(nullptr, nullptr, kRoomy);
  for (DWORD size : kSmallSizes) {
    const std::string cut = Read(nullptr, nullptr, size);
    Check(sectionList.compare(0, cut.size(), cut) == 0, "cut section list is not a prefix");
  }
  std::vector<std::string> sections = SplitList(sectionList);
  if (sections.size() > kMaxSections) sections.resize(kMaxSections);
  for (const std::string& section : sections) {
    Check(!section.empty(), "empty section name listed");
    const std::vector<std::string> keys = SplitList(Read(section.c_str(), nullptr, kRoomy));
    for (std::size_t k = 0; k < keys.size() && k < kMaxKeys; ++k) {
      const char* key = keys[k].c_str();
      Check(!keys[k].empty(), "empty key name listed");
      const std::string value = Read(section.c_str(), key, kRoomy);
      for (DWORD size : kSmallSizes) {
        const std::string cut = Read(section.c_str(), key, size);
        Check(value.compare(0, cut.size(), cut) == 0, "cut value is not a prefix");
      }
      GetPrivateProfileIntA(section.c_str(), key, 7, IniPath().c_str());
      values[{Lower(section), Lower(keys[k])}] = value;
    }
  }
  return values;
}

// After a write, every surveyed value outside the touched section (or key) is unchanged.
void CheckOthersKept(const Snapshot& before, const std::string& section, const char* key) {
  for (const auto& [name, value] : before) {
    if (name.first == Lower(section) && (key == nullptr || name.second == Lower(key))) continue;
    Check(Read(name.first.c_str(), name.second.c_str(), kRoomy) == value,
          "a write changed another value");
  }
}

void Exercise(const std::string& section, const std::string& key) {
  const char* path = IniPath().c_str();
  const Snapshot before = Survey();

  std::string old = FileBytes();
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), "fuzzed value", path) != 0) {
    Check(Read(section.c_str(), key.c_str(), kRoomy) == "fuzzed value", "written value not read");
    CheckOthersKept(before, section, key.c_str());
  } else {
    Check(FileBytes() == old, "a failed write changed the file");
  }

  old = FileBytes();
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path) != 0) {
    Check(Read(section.c_str(), key.c_str(), kRoomy) == kDefault, "deleted key still read");
    CheckOthersKept(before, section, key.c_str());
  } else {
    Check(FileBytes() == old, "a failed delete changed the file");
  }

  old = FileBytes();
  if (WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path) != 0) {
    Check(Read(section.c_str(), nullptr, kRoomy).empty(), "deleted section still listed");
    CheckOthersKept(before, section, nullptr);
  } else {
    Check(FileBytes() == old, "a failed section delete changed the file");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PutFile(data, size);
  const Snapshot values = Survey();
  if (!values.empty()) {
    // An existing key first: replacing it in place, then deleting it and its section.
    const auto& [section, key] = values.begin()->first;
    Exercise(section, key);
  }
  PutFile(data, size);
  const std::vector<std::string> sections = SplitList(Read(nullptr, nullptr, kRoomy));
  // A new key in an existing section, and a new section at the end of the file.
  if (!sections.empty()) Exercise(sections.back(), "Fuzz Key");
  Exercise("Fuzz Section", "Fuzz Key");
  return 0;
}
