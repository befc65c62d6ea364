// The best-times store: reading entries as display lines, the rule for a new best time,
// recording, resetting and rewriting a list.
#include "dialogs/best_times.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "dialogs/score_files.h"
#include "dialogs/score_record.h"
#include "platform/profile.h"
#include "platform/utf8.h"

namespace {

int TotalSeconds(int hours, int minutes, int seconds) {
  const long long total =
      static_cast<long long>(hours) * 3600 + static_cast<long long>(minutes) * 60 + seconds;
  return static_cast<int>(std::clamp<long long>(total, 0, INT_MAX));
}

}  // namespace

TBestTimes::TBestTimes(const char* listName, TGameType type)
    : ListName(listName != nullptr ? listName : ""),
      Type(type),
      Section(ScoreSectionName(ListName)),
      Match(ScoreSectionMatch(ListName)),
      FilePath(ScoreFilePath(ListName, type)) {}

bool TBestTimes::ReadRecord(int key, std::string& record) const {
  char text[ScoreRecordSize];
  // The default "0" is too short for a record: a missing key ends the list.
  const DWORD length = GetPrivateProfileStringA(Section.c_str(), std::to_string(key).c_str(), "0",
                                                text, sizeof text, FilePath.c_str(), Match);
  const std::string_view read(text, length);
  record.assign(read.substr(0, Utf8CharsLength(read, ScoreRecordChars - 1)));
  return Utf8CharCount(record) >= 4;
}

bool TBestTimes::GetEntry(int index, char* line, int capacity) const {
  if (line == nullptr || capacity <= 0 || index < 0) return false;
  std::string record;
  if (!ReadRecord(index, record)) return false;
  const std::optional<std::string> shown = DisplayLineOfRecord(record);
  if (!shown) return false;
  const std::string_view whole(*shown);
  const std::string cut = CutText(whole.substr(0, Utf8CharsLength(whole, ScoreLineChars - 1)),
                                  static_cast<std::size_t>(capacity) - 1);
  std::memcpy(line, cut.c_str(), cut.size() + 1);
  return true;
}

int TBestTimes::FindKey(int columns, int rows, int* storedSeconds) const {
  char line[ScoreLineSize];
  int index = 0;
  for (; GetEntry(index, line, sizeof line); ++index) {
    const TScoreEntry entry = EntryOfDisplayLine(line);
    if (entry.Columns == columns && entry.Rows == rows) {
      if (storedSeconds != nullptr) *storedSeconds = entry.Seconds;
      return index;
    }
  }
  return index;
}

bool TBestTimes::IsBestTime(int columns, int rows, int hours, int minutes, int seconds) const {
  int stored = -1;
  FindKey(columns, rows, &stored);
  return stored <= 0 || TotalSeconds(hours, minutes, seconds) < stored;
}

void TBestTimes::RecordTime(int columns, int rows, int hours, int minutes, int seconds,
                            const char* name) {
  const int time = TotalSeconds(hours, minutes, seconds);
  int stored = -1;
  const int key = FindKey(columns, rows, &stored);
  if (stored > 0 && time >= stored) return;
  // A key that holds too short a record ends the list for every reader, so a new entry
  // goes there: past it, it would never be seen.
  WriteScoreRecord(Type, ListName.c_str(),
                   LongRecord(rows, columns, name != nullptr ? name : "", time).c_str(), key);
}

void TBestTimes::ResetList() {
  WritePrivateProfileStringA(Section.c_str(), nullptr, nullptr, FilePath.c_str(), Match);
}

void TBestTimes::RewriteList(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  ResetList();
  int key = 0;
  for (const std::string& line : lines) {
    if (!FitsScoreLine(line)) continue;
    const TScoreEntry entry = EntryOfDisplayLine(line);
    if (entry.Rows == 0 || entry.Columns == 0) continue;
    // Keys stay consecutive over left-out lines: readers stop at the first gap.
    const std::string record = ShortRecord(entry.Rows, entry.Columns, entry.Name, entry.Seconds);
    if (WriteScoreRecord(Type, ListName.c_str(), record.c_str(), key)) ++key;
  }
}
