// Fuzz target for the conversion of a previous version's list file: whatever the file
// holds, every list written has consecutive keys from 0, one square board of 3 to 11
// pieces a side per entry, each size once, records a reader takes in whole, and no
// section twice. Every read parses a whole file, so each input has one list of each file
// looked at closely, as its hash says.
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "choices.h"
#include "dialogs/score_record.h"
#include "platform/profile.h"
#include "score_fuzz_support.h"

namespace {

using fuzz_choices::TChoices;
using score_fuzz::Check;

// The names a list read returns. The buffer lasts the whole run rather than 64 KiB being
// allocated and zeroed for every call.
std::vector<std::string> Names(const char* section, const std::string& path) {
  static std::vector<char> list(1 << 16);
  const DWORD count = GetPrivateProfileStringA(section, nullptr, "", list.data(),
                                               static_cast<DWORD>(list.size()), path.c_str());
  std::vector<std::string> names;
  for (DWORD at = 0; at < count;) {
    names.emplace_back(list.data() + at);
    at += static_cast<DWORD>(names.back().size()) + 1;
  }
  return names;
}

std::size_t HeaderLines(std::string_view bytes) {
  std::size_t headers = 0;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    headers += bytes[at] == '[' && (at == 0 || bytes[at - 1] == '\n') ? 1 : 0;
  }
  return headers;
}

void CheckScoreFile(const std::string& path, std::string_view bytes, TChoices& choices) {
  const std::vector<std::string> sections = Names(nullptr, path);
  Check(HeaderLines(bytes) == sections.size(), "a section written twice");
  if (sections.empty()) return;
  const char* section = sections[choices.Take(sections.size())].c_str();
  const std::vector<std::string> keys = Names(section, path);
  std::set<int> sizes;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    Check(keys[k] == std::to_string(k), "keys not consecutive from 0");
    char record[256];
    const DWORD length =
        GetPrivateProfileStringA(section, keys[k].c_str(), "", record, sizeof record, path.c_str());
    Check(length < ScoreRecordSize, "record longer than a reader takes in");
    const auto line = DisplayLineOfRecord(record);
    Check(line.has_value(), "record reads as the end of the list");
    const TScoreEntry entry = EntryOfDisplayLine(*line);
    Check(entry.Rows == entry.Columns && entry.Rows >= 3 && entry.Rows <= 11, "bad board size");
    Check(sizes.insert(entry.Rows).second, "a board size twice in one list");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  score_fuzz::TMemoryFiles& files = score_fuzz::FreshFiles();
  const std::string old = std::string(GameDirectory()) + "Scores.ini";
  files.Put(old, data, size);
  ConvertOldScoreFile(old.c_str(), TGameType::Sliding);
  TChoices choices(data, size);
  const std::string scores = ScoreDirectory();
  for (const auto& [path, bytes] : files.Files) {
    if (path.starts_with(scores)) CheckScoreFile(path, bytes, choices);
  }
  return 0;
}
