// One best-times entry in its spellings: the long and the short record of the score files,
// and the display line of the best-times list ("rows x columns (pieces)", tab, name, tab,
// hours:minutes:seconds). Pure text work, shared by the store and the old-file import.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A record holds at most ScoreRecordChars - 1 characters and a display line at most
// ScoreLineChars - 1. A character of UTF-8 takes up to four bytes, so the buffers that
// hold them are ScoreRecordSize and ScoreLineSize bytes, terminator included.
constexpr int ScoreRecordChars = 99;
constexpr int ScoreLineChars = 100;
constexpr int ScoreRecordSize = 4 * (ScoreRecordChars - 1) + 1;
constexpr int ScoreLineSize = 4 * (ScoreLineChars - 1) + 1;

// Whether a display line is short enough to be written back (fewer than ScoreLineChars
// characters).
bool FitsScoreLine(std::string_view line);

// What a display line says.
struct TScoreEntry {
  int Rows = 0;
  int Columns = 0;
  std::string Name;
  int Seconds = 0;
};

// Leading blanks, an optional sign, then digits up to the first non-digit; no digits give
// 0. Values beyond the int range stop at its ends.
int ReadNumber(std::string_view text);

// Cuts text to at most size bytes without splitting a UTF-8 character.
std::string CutText(std::string_view text, std::size_t size);

// Seconds as "%02d:%02d:%02d" (hours may take more digits), and back: the number before
// the first ":" is hours, between the first and the last minutes, after the last seconds.
// Negative results read as 0.
std::string ClockText(int seconds);
int SecondsOfClock(std::string_view text);

// "%2d~%2d (n pieces)~name~time" and "%2d~%2d~name~time". Line breaks in the name become
// blanks, and the name is cut so that the record fits in ScoreRecordChars - 1 characters.
std::string LongRecord(int rows, int columns, std::string_view name, std::string_view time);
std::string LongRecord(int rows, int columns, std::string_view name, int seconds);
std::string ShortRecord(int rows, int columns, std::string_view name, int seconds);

// The display line of a stored record of either form; none for a record shorter than four
// characters (the end of a list). A record with fewer than three "~" still gives a line:
// missing parts read as an empty name and a time of 0. A name too long for a display line
// is cut so that the time stays whole.
std::optional<std::string> DisplayLineOfRecord(std::string_view record);

// Reads a display line: rows from its first two characters, columns from the two
// characters at the first digit after the first "x", the name between the first and the
// last tab, the time after the last tab.
TScoreEntry EntryOfDisplayLine(std::string_view line);
