// Fuzz target for the profile functions: any file content must give terminated results
// inside the caller's buffer, a smaller buffer a prefix of the whole result, and a write
// must make its own change visible and leave the values it does not touch as they were.
// Every call reads and parses the whole file, so one input gets one survey, one cut and
// one change; which ones follows from the input's hash, and a campaign meets them all.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "choices.h"
#include "memory_files.h"
#include "platform/profile.h"

namespace {

constexpr const char* kDefault = "<default>";
constexpr DWORD kSmallSizes[] = {0, 1, 2, 3, 5, 8};
constexpr std::size_t kMaxKeys = 3;
constexpr std::size_t kGuard = 16;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "profile_fuzz: %s\n", what);
    std::abort();
  }
}

// Never on disk: the file lives in memory behind the profile functions.
const std::string& IniPath() {
  static const std::string path = "/kavro-profile-fuzz/fuzz.ini";
  return path;
}

using fuzz_choices::TChoices;

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

// A section and key the change is made to, and values that it must leave alone.
struct TSurvey {
  std::vector<std::string> Sections;
  std::string Section;  // a listed one, or empty in a file without sections
  std::vector<std::string> Keys;
  std::map<std::string, std::string> Values;  // of the first keys of Section
};

// Reads a whole result into a buffer that nothing in the file can fill; with cut set, again
// into one of a small size, which must give a prefix of it.
std::string ReadWhole(const char* section, const char* key, DWORD roomy, DWORD cut) {
  std::string whole = Read(section, key, roomy);
  Check(whole.size() + 2 < roomy, "a result filled the roomy buffer");
  if (cut > 0) {
    const std::string part = Read(section, key, cut);
    Check(whole.compare(0, part.size(), part) == 0, "cut result is not a prefix");
  }
  return whole;
}

TSurvey Survey(TChoices& choices, DWORD roomy) {
  TSurvey survey;
  // One of the reads (of sections, keys or the first value) is made again into a small
  // buffer, or the first value is read as a number.
  const std::size_t cutAt = choices.Take(4);
  const DWORD cut = kSmallSizes[choices.Take(std::size(kSmallSizes))];
  survey.Sections = SplitList(ReadWhole(nullptr, nullptr, roomy, cutAt == 0 ? cut : 0));
  for (const std::string& section : survey.Sections) Check(!section.empty(), "empty name listed");
  if (survey.Sections.empty()) return survey;
  survey.Section = survey.Sections[choices.Take(survey.Sections.size())];
  const char* section = survey.Section.c_str();
  survey.Keys = SplitList(ReadWhole(section, nullptr, roomy, cutAt == 1 ? cut : 0));
  for (std::size_t k = 0; k < survey.Keys.size() && k < kMaxKeys; ++k) {
    const char* key = survey.Keys[k].c_str();
    Check(!survey.Keys[k].empty(), "empty key name listed");
    survey.Values[survey.Keys[k]] = ReadWhole(section, key, roomy, cutAt == 2 && k == 0 ? cut : 0);
  }
  if (cutAt == 3 && !survey.Keys.empty()) {
    GetPrivateProfileIntA(section, survey.Keys[0].c_str(), 7, IniPath().c_str());
  }
  return survey;
}

// After a change to key of section (every key when key is null), the surveyed values of
// other keys, or of another section, are as they were.
void CheckOthersKept(const TSurvey& survey, const std::string& section, const char* key,
                     DWORD roomy) {
  // Names compare as the profile functions compare them, without regard to case.
  const bool sameSection = Lower(section) == Lower(survey.Section);
  for (const auto& [name, value] : survey.Values) {
    if (sameSection && (key == nullptr || Lower(name) == Lower(key))) continue;
    Check(Read(survey.Section.c_str(), name.c_str(), roomy) == value,
          "a change altered another value");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_files::TMemoryFiles& files = fuzz_files::FreshFiles();
  files.Put(IniPath(), data, size);
  TChoices choices(data, size);
  // Room for every result: none is longer than the file, and a change adds a few bytes.
  const auto roomy = static_cast<DWORD>(size + 128);
  const TSurvey survey = Survey(choices, roomy);

  // The change: to a surveyed key, a new key in the surveyed section, or a new section.
  const std::size_t where = choices.Take(3);
  const bool known = where == 0 && !survey.Keys.empty();
  const std::string section =
      where < 2 && !survey.Section.empty() ? survey.Section : "Fuzz Section";
  const std::string key = known ? survey.Keys[choices.Take(survey.Keys.size())] : "Fuzz Key";
  const char* path = IniPath().c_str();
  const std::string before = files.Bytes(IniPath());
  switch (choices.Take(3)) {
    case 0:
      if (WritePrivateProfileStringA(section.c_str(), key.c_str(), "fuzzed value", path) == 0)
        break;
      Check(Read(section.c_str(), key.c_str(), roomy) == "fuzzed value", "written value not read");
      CheckOthersKept(survey, section, key.c_str(), roomy);
      return 0;
    case 1:
      if (WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path) == 0) break;
      Check(Read(section.c_str(), key.c_str(), roomy) == kDefault, "deleted key still read");
      CheckOthersKept(survey, section, key.c_str(), roomy);
      return 0;
    default:
      if (WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path) == 0) break;
      Check(Read(section.c_str(), nullptr, roomy).empty(), "deleted section still listed");
      CheckOthersKept(survey, section, nullptr, roomy);
      return 0;
  }
  Check(files.Bytes(IniPath()) == before, "a failed change altered the file");
  return 0;
}
