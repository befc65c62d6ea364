// The spellings of a best-times entry. Every reader here takes hostile text: hand-edited
// or damaged score files end up in these functions.
#include "dialogs/score_record.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/utf8.h"

namespace {

constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int ClampToInt(long long value) {
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The number of the two characters that start at the first digit of text; 0 without one.
int NumberAtFirstDigit(std::string_view text) {
  const auto digit = std::find_if(text.begin(), text.end(), IsDigit);
  if (digit == text.end()) return 0;
  return ReadNumber(text.substr(static_cast<std::size_t>(digit - text.begin()), 2));
}

std::string RecordPrefix(int rows, int columns, bool withPieces) {
  char text[64];
  std::snprintf(text, sizeof text, "%2d~%2d", rows, columns);
  std::string prefix = text;
  if (withPieces) {
    prefix += " (" + std::to_string(static_cast<long long>(rows) * columns) + " pieces)";
  }
  return prefix + "~";
}

// A record is one line of a score file: the name must not break it, nor push the time
// out of what a reader takes in.
std::string Record(std::string prefix, std::string_view name, std::string_view time) {
  std::string clean(name);
  std::replace_if(
      clean.begin(), clean.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
  const std::size_t fixed = Utf8CharCount(prefix) + 1 + Utf8CharCount(time);
  const std::size_t limit = ScoreRecordChars - 1;
  prefix.append(clean, 0, Utf8CharsLength(clean, fixed < limit ? limit - fixed : 0));
  prefix += '~';
  prefix += time;
  return prefix;
}

}  // namespace

int ReadNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = std::min(value * 10 + (text[i] - '0'), kLimit);
  }
  return ClampToInt(negative ? -value : value);
}

bool FitsScoreLine(std::string_view line) {
  return Utf8CharCount(line) < ScoreLineChars;
}

std::string CutText(std::string_view text, std::size_t size) {
  return std::string(text.substr(0, Utf8CutLength(text, size)));
}

std::string ClockText(int seconds) {
  const int s = std::max(seconds, 0);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", s / 3600, s % 3600 / 60, s % 60);
  return text;
}

int SecondsOfClock(std::string_view text) {
  const std::size_t first = text.find(':');
  if (first == std::string_view::npos) return std::max(ReadNumber(text), 0);
  const std::size_t last = text.rfind(':');
  const long long hours = ReadNumber(text.substr(0, first));
  const long long minutes =
      first == last ? 0 : ReadNumber(text.substr(first + 1, last - first - 1));
  const long long seconds = ReadNumber(text.substr(last + 1));
  return std::max(ClampToInt(hours * 3600 + minutes * 60 + seconds), 0);
}

std::string LongRecord(int rows, int columns, std::string_view name, std::string_view time) {
  return Record(RecordPrefix(rows, columns, true), name, time);
}

std::string LongRecord(int rows, int columns, std::string_view name, int seconds) {
  return LongRecord(rows, columns, name, std::to_string(seconds));
}

std::string ShortRecord(int rows, int columns, std::string_view name, int seconds) {
  return Record(RecordPrefix(rows, columns, false), name, std::to_string(seconds));
}

std::optional<std::string> DisplayLineOfRecord(std::string_view record) {
  if (record.size() < 4) return std::nullopt;
  std::string text(record);
  // Profile reads strip the blank before a one-digit row count.
  if (text[1] == '~') text.insert(0, 1, ' ');
  const std::size_t first = text.find('~');
  if (first == std::string::npos) return text;

  const std::size_t second = text.find('~', first + 1);
  const std::size_t columnsEnd = second == std::string::npos ? text.size() : second;
  const int columns =
      NumberAtFirstDigit(std::string_view(text).substr(first + 1, columnsEnd - first - 1));
  std::string name;
  int seconds = 0;
  if (second != std::string::npos) {
    // The time follows the last "~", so a "~" inside the name survives.
    const std::size_t last = text.rfind('~');
    if (last > second) {
      name = text.substr(second + 1, last - second - 1);
      seconds = std::max(ReadNumber(std::string_view(text).substr(last + 1)), 0);
    } else {
      name = text.substr(second + 1);
    }
  }
  std::string line = text.substr(0, first) + " x ";
  const int rows = ReadNumber(line.substr(0, 2));
  char number[16];
  std::snprintf(number, sizeof number, "%2d", columns);
  line += number;
  line += " (" + std::to_string(static_cast<long long>(rows) * columns) + " pieces)\t";
  // A name too long for the line gives way, never the time: a time cut short would read
  // back as another time.
  const std::string clock = ClockText(seconds);
  const std::size_t fixed = Utf8CharCount(line) + 1 + Utf8CharCount(clock);
  const std::size_t limit = ScoreLineChars - 1;
  line.append(name, 0, Utf8CharsLength(name, fixed < limit ? limit - fixed : 0));
  line += '\t';
  line += clock;
  return line;
}

TScoreEntry EntryOfDisplayLine(std::string_view line) {
  TScoreEntry entry;
  entry.Rows = ReadNumber(line.substr(0, 2));
  const std::size_t firstTab = line.find('\t');
  const std::size_t x = line.find('x');
  if (x != std::string_view::npos && x < firstTab) {
    const std::size_t end = std::min(firstTab, line.size());
    entry.Columns = NumberAtFirstDigit(line.substr(x + 1, end - x - 1));
  }
  const std::size_t lastTab = line.rfind('\t');
  if (lastTab != std::string_view::npos) {
    if (lastTab > firstTab) entry.Name = line.substr(firstTab + 1, lastTab - firstTab - 1);
    entry.Seconds = SecondsOfClock(line.substr(lastTab + 1));
  }
  return entry;
}
