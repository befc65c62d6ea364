// Fuzz target for the best-times store on a hostile score file: entries come out as
// terminated lines inside the caller's buffer, a display line survives its way through a
// short record, a rewrite keeps every good line under consecutive keys and is stable, and
// recording follows the best-time rule. Every entry costs a read of the file, so an input
// gets either the rewrite or the recording, as its hash says.
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "choices.h"
#include "dialogs/best_times.h"
#include "dialogs/score_record.h"
#include "platform/profile.h"
#include "score_fuzz_support.h"

namespace {

using fuzz_choices::TChoices;
using score_fuzz::Check;

constexpr int kMaxEntries = 48;
constexpr std::size_t kGuard = 16;

// The list's entries; the one at index cut is read again into a small buffer.
std::vector<std::string> Entries(const TBestTimes& list, std::size_t cut = kMaxEntries) {
  std::vector<std::string> lines;
  for (int i = 0; i < kMaxEntries; ++i) {
    std::array<char, ScoreLineSize + kGuard> line;
    line.fill('\x5a');
    if (!list.GetEntry(i, line.data(), ScoreLineSize)) break;
    for (std::size_t g = ScoreLineSize; g < line.size(); ++g) {
      Check(line[g] == '\x5a', "wrote past the line buffer");
    }
    Check(std::memchr(line.data(), '\0', ScoreLineSize) != nullptr, "line not terminated");
    lines.emplace_back(line.data());
    if (static_cast<std::size_t>(i) != cut) continue;
    char small[6];
    Check(list.GetEntry(i, small, sizeof small), "entry gone with a small buffer");
    Check(lines.back().starts_with(small), "cut line is no prefix");
  }
  return lines;
}

// What a line says is what its short record says again.
void CheckRoundTrip(const std::string& line) {
  const TScoreEntry entry = EntryOfDisplayLine(line);
  if (entry.Rows < 1 || entry.Rows > 99 || entry.Columns < 1 || entry.Columns > 99) return;
  if (entry.Name.size() > 40 || entry.Name.find_first_of("\t\r\n") != std::string::npos) return;
  const auto again =
      DisplayLineOfRecord(ShortRecord(entry.Rows, entry.Columns, entry.Name, entry.Seconds));
  Check(again.has_value(), "short record reads as no entry");
  const TScoreEntry back = EntryOfDisplayLine(*again);
  Check(back.Rows == entry.Rows && back.Columns == entry.Columns, "size changed");
  Check(back.Name == entry.Name && back.Seconds == entry.Seconds, "name or time changed");
}

std::size_t Kept(const std::vector<std::string>& lines) {
  std::size_t kept = 0;
  for (const std::string& line : lines) {
    const TScoreEntry entry = EntryOfDisplayLine(line);
    if (FitsScoreLine(line) && entry.Rows != 0 && entry.Columns != 0) ++kept;
  }
  return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  score_fuzz::TMemoryFiles& files = score_fuzz::FreshFiles();
  // The list is the file's first section when the store would name it so.
  const std::string probe = ScoreDirectory() + "probe.ini";
  files.Put(probe, data, size);
  char sections[512];
  GetPrivateProfileStringA(nullptr, nullptr, "", sections, sizeof sections, probe.c_str());
  std::string name = sections;
  if (name.empty() || ScoreSectionName(name) != name) name = "Alphabet";
  const std::string path = ScoreFilePath(name, TGameType::Sliding);
  files.Put(path, data, size);
  TBestTimes list(name.c_str(), TGameType::Sliding);

  TChoices choices(data, size);
  const std::vector<std::string> lines = Entries(list, choices.Take(8));
  for (const std::string& line : lines) CheckRoundTrip(line);

  // A rewrite writes the file once a line: one input in three rewrites, and one in three
  // rewrites again what that gave.
  const std::size_t rewrites = choices.Take(3);
  if (rewrites > 0) {
    list.RewriteList(lines);
    const std::vector<std::string> rewritten = Entries(list);
    if (!lines.empty()) Check(rewritten.size() == Kept(lines), "rewrite lost or made lines");
    if (rewrites == 1) return 0;
    list.RewriteList(rewritten);
    Check(Entries(list) == rewritten, "second rewrite changed the list");
    return 0;
  }

  const int columns = 3 + (size > 0 ? data[0] % 18 : 0);
  const int rows = 3 + (size > 1 ? data[1] % 18 : 0);
  const int seconds = size > 2 ? data[2] * 7 : 0;
  const bool best = list.IsBestTime(columns, rows, 0, 0, seconds);
  const std::string before = files.Bytes(path);
  list.RecordTime(columns, rows, 0, 0, seconds, "Fuzz~Name");
  if (!best) {
    Check(files.Bytes(path) == before, "no best time, yet the file changed");
  } else if (lines.size() < kMaxEntries) {
    const std::vector<std::string> after = Entries(list);
    int key = 0;
    while (key < static_cast<int>(after.size())) {
      const TScoreEntry entry = EntryOfDisplayLine(after[static_cast<std::size_t>(key)]);
      if (entry.Columns == columns && entry.Rows == rows) break;
      ++key;
    }
    Check(key < static_cast<int>(after.size()), "recorded entry not found");
    const TScoreEntry entry = EntryOfDisplayLine(after[static_cast<std::size_t>(key)]);
    Check(entry.Name == "Fuzz~Name" && entry.Seconds == seconds, "recorded entry reads wrong");
    // Filling the first free key may bring hidden keys behind it to light; the entries
    // in front of it stay as they were.
    for (int i = 0; i < key && i < static_cast<int>(lines.size()); ++i) {
      Check(after[static_cast<std::size_t>(i)] == lines[static_cast<std::size_t>(i)],
            "recording changed another entry");
    }
  }
  return 0;
}
