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
#include "scratch_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefault = "<default>";
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

// Every write makes the profile code flush its file; in memory that costs nothing.
const std::string& IniPath() {
  static const std::string path =
      (fuzz_scratch::Directory("kavro_profile_fuzz") / "fuzz.ini").string();
  return path;
}

void PutFile(const std::uint8_t* data, std::size_t size) {
  fuzz_scratch::PutFile(IniPath(), data, size);
}

std::string FileBytes() {
  return fuzz_scratch::FileBytes(IniPath());
}

// A buffer no list or value of the file can fill: each is shorter than the file. Sized to
// the file, since a fixed 64K buffer would cost more to fill than the file to parse.
DWORD Roomy() {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(IniPath(), error);
  return static_cast<DWORD>(error ? 0 : size) + 64;
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

// Reads every list and value of the first few sections and keys, checking (with cuts) that
// smaller buffers give prefixes of the full result.
Snapshot Survey(bool cuts) {
  Snapshot values;
  const DWORD roomy = Roomy();
  const std::string sectionList = Read(nullptr, nullptr, roomy);
  for (DWORD size : kSmallSizes) {
    if (!cuts) break;
    const std::string cut = Read(nullptr, nullptr, size);
    Check(sectionList.compare(0, cut.size(), cut) == 0, "cut section list is not a prefix");
  }
  std::vector<std::string> sections = SplitList(sectionList);
  if (sections.size() > kMaxSections) sections.resize(kMaxSections);
  for (const std::string& section : sections) {
    Check(!section.empty(), "empty section name listed");
    const std::vector<std::string> keys = SplitList(Read(section.c_str(), nullptr, roomy));
    for (std::size_t k = 0; k < keys.size() && k < kMaxKeys; ++k) {
      const char* key = keys[k].c_str();
      Check(!keys[k].empty(), "empty key name listed");
      const std::string value = Read(section.c_str(), key, roomy);
      for (DWORD size : kSmallSizes) {
        if (!cuts) break;
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
  const DWORD roomy = Roomy();
  for (const auto& [name, value] : before) {
    if (name.first == Lower(section) && (key == nullptr || name.second == Lower(key))) continue;
    Check(Read(name.first.c_str(), name.second.c_str(), roomy) == value,
          "a write changed another value");
  }
}

// Writes, deletes the key and deletes the section; before is a survey of the file as it is.
void Exercise(const std::string& section, const std::string& key, const Snapshot& before) {
  const char* path = IniPath().c_str();

  std::string old = FileBytes();
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), "fuzzed value", path) != 0) {
    Check(Read(section.c_str(), key.c_str(), Roomy()) == "fuzzed value", "written value not read");
    CheckOthersKept(before, section, key.c_str());
  } else {
    Check(FileBytes() == old, "a failed write changed the file");
  }

  old = FileBytes();
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path) != 0) {
    Check(Read(section.c_str(), key.c_str(), Roomy()) == kDefault, "deleted key still read");
    CheckOthersKept(before, section, key.c_str());
  } else {
    Check(FileBytes() == old, "a failed delete changed the file");
  }

  old = FileBytes();
  if (WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path) != 0) {
    Check(Read(section.c_str(), nullptr, Roomy()).empty(), "deleted section still listed");
    CheckOthersKept(before, section, nullptr);
  } else {
    Check(FileBytes() == old, "a failed section delete changed the file");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PutFile(data, size);
  const Snapshot values = Survey(true);
  if (!values.empty()) {
    // An existing key first: replacing it in place, then deleting it and its section.
    const auto& [section, key] = values.begin()->first;
    Exercise(section, key, values);
  }
  // The file as surveyed again: a new key in an existing section, and (after that) a new
  // section at the end of the file.
  PutFile(data, size);
  const std::vector<std::string> sections = SplitList(Read(nullptr, nullptr, Roomy()));
  if (!sections.empty()) Exercise(sections.back(), "Fuzz Key", values);
  Exercise("Fuzz Section", "Fuzz Key", Survey(false));
  return 0;
}
