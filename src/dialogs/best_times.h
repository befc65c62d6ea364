// TBestTimes: one best-times list (a picture, or the alphabet or numeric board, for one
// puzzle type) in its score file. It caches nothing: every call reads or writes the file
// through the profile functions, which replace the file atomically. Failed writes are
// not reported; the game goes on without them.
#pragma once

#include <string>
#include <vector>

#include "platform/profile.h"
#include "puzzle/puzzle.h"

class TBestTimes {
 public:
  // listName: "Alphabet", "Numeric" or the picture's full path.
  TBestTimes(const char* listName, TGameType type);

  // The display line of entry index, cut to capacity - 1 characters; false when the
  // list has no entry there (the list ends at the first missing or too short record).
  bool GetEntry(int index, char* line, int capacity) const;

  // Whether the time would enter the list: no entry for the board size yet, a stored time
  // of 0, or a time strictly below the stored one.
  bool IsBestTime(int columns, int rows, int hours, int minutes, int seconds) const;

  // Stores the time with the name (long record form) when it is a best time: in place of
  // the board size's entry, or after the last entry.
  void RecordTime(int columns, int rows, int hours, int minutes, int seconds, const char* name);

  // Deletes the whole list.
  void ResetList();

  // Replaces the list by the given display lines, in order, as short records under the
  // keys 0, 1, ... Lines of ScoreLineSize characters or more and lines whose rows or
  // columns read as 0 are left out. No lines: nothing changes.
  void RewriteList(const std::vector<std::string>& lines);

  // The key of the board size's entry, else the key after the last entry; with an entry,
  // storedSeconds gets its time.
  int FindKey(int columns, int rows, int* storedSeconds = nullptr) const;

  const std::string& GetListName() const { return ListName; }
  const std::string& GetFilePath() const { return FilePath; }

 private:
  bool ReadRecord(int key, std::string& record) const;

  std::string ListName;
  TGameType Type;
  std::string Section;
  TSectionMatch Match;
  std::string FilePath;
};
