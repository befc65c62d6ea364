// The score files of previous versions: deleted once when their scores counted moves,
// converted once on request when they counted time in the older file layout.
#include "dialogs/old_scores.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

#include "dialogs/best_times.h"
#include "dialogs/score_files.h"
#include "dialogs/score_record.h"
#include "framework/text/translation.h"
#include "framework/windows/message_box.h"
#include "framework/windows/window.h"
#include "platform/files.h"
#include "platform/game_directory.h"
#include "platform/profile.h"
#include "platform/profile_storage.h"

namespace {

constexpr std::size_t kOldNameSize = 51;
constexpr std::size_t kOldTimeSize = 11;

std::string OldSlidingFile() {
  return std::string(GameDirectory()) + "Scores.ini";
}

std::string OldJigsawFile() {
  return std::string(GameDirectory()) + "Scorej.ini";
}

bool CanOpen(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

bool OldFilesThere() {
  return CanOpen(OldSlidingFile()) || CanOpen(OldJigsawFile());
}

void DeleteOldFiles() {
  DeleteFileA(OldSlidingFile().c_str());
  DeleteFileA(OldJigsawFile().c_str());
}

int Ask(TWindow* owner, const char* text, UINT type) {
  if (owner != nullptr) return owner->MessageBox(text, "Kavro", type);
  return ShowMessageBox(nullptr, text, "Kavro", type);
}

// ASCII letters without regard to case, as the system the old files come from compares
// file names: there "c:\Pics\Sky.bmp" and "C:\Pics\Sky.bmp" are one picture.
std::string FoldCase(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// The entry being gathered from an old file: its list, digit, and the name and time seen
// for that digit so far; and the lists met so far, each under its first spelling.
struct TOldEntry {
  std::map<std::string, std::string> Lists;  // folded name -> first spelling
  std::string List;
  bool InList = false;
  bool MetBefore = false;  // the list had a section earlier in the file
  std::set<int> Written;   // board sides written from this section
  int Digit = 0;
  std::string Name;
  std::string Time;
  bool HasName = false;
  bool HasTime = false;

  void StartList(const std::string& name) {
    // The name goes on as a C string: it ends at a NUL, and an empty one is no list.
    const std::string list = name.substr(0, name.find('\0'));
    StartSize(0);
    Written.clear();
    InList = !list.empty();
    const auto [known, added] = Lists.emplace(FoldCase(list), list);
    List = InList ? known->second : std::string();
    MetBefore = InList && !added;
  }

  // A new board size: nothing of the previous one carries over.
  void StartSize(int digit) {
    Digit = digit;
    Name.clear();
    Time.clear();
    HasName = HasTime = false;
  }
};

// A time of 0 is no time (a missing or unreadable one): any real time beats it.
bool Beats(int seconds, int stored) {
  return seconds > 0 && (stored <= 0 || seconds < stored);
}

void WriteOldEntry(TOldEntry& entry, TGameType type) {
  const int side = entry.Digit + 2;
  const TBestTimes list(entry.List.c_str(), type);
  const std::string record = LongRecord(side, side, entry.Name, entry.Time);
  int stored = -1;
  const int key = list.FindKey(side, side, &stored);
  // A size that an earlier section of the same list gave keeps the better of the two.
  if (stored >= 0 && entry.MetBefore && !entry.Written.contains(side)) {
    const std::optional<std::string> line = DisplayLineOfRecord(record);
    if (!line || !Beats(EntryOfDisplayLine(*line).Seconds, stored)) return;
  }
  entry.Written.insert(side);
  WriteScoreRecord(type, entry.List.c_str(), record.c_str(), key);
}

void TakeOldLine(std::string line, TOldEntry& entry, TGameType type) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  const bool isTime = line.starts_with('T');
  if (isTime || line.starts_with('N')) {
    const std::size_t equals = line.find('=');
    const int digit = line.size() > 1 ? line[1] - '0' : 0;
    if (!entry.InList || equals == std::string::npos || digit < 1 || digit > 9) return;
    if (digit != entry.Digit) entry.StartSize(digit);
    const std::string value = line.substr(equals + 1);
    if (isTime) {
      entry.Time = CutText(value, kOldTimeSize);
      entry.HasTime = true;
    } else {
      entry.Name = CutText(value, kOldNameSize);
      entry.HasName = true;
    }
    if (entry.HasName && entry.HasTime) WriteOldEntry(entry, type);
    return;
  }
  const std::size_t open = line.find('[');
  if (open == std::string::npos) return;
  // The last "]" closes the name, as the profile functions read it: paths may hold one.
  const std::size_t close = line.rfind(']');
  const std::size_t end = close != std::string::npos && close > open ? close : line.size();
  entry.StartList(line.substr(open + 1, end - open - 1));
}

}  // namespace

bool MakeScoreDirectory() {
  const std::string directory = ScoreDirectory();
  CreateDirectoryA(directory.c_str(), nullptr);
  std::error_code error;
  return std::filesystem::is_directory(directory, error);
}

void CheckScoreFormatChange(const char* settingsPath, TWindow* owner) {
  if (GetPrivateProfileIntA("KAVRO", "FIRST", 0, settingsPath) == 1) return;
  WritePrivateProfileStringA("KAVRO", "FIRST", "1", settingsPath);
  if (!OldFilesThere()) return;
  Ask(owner,
      N_("The new version of Kavro uses a timer to track the high scores, instead of number of "
         "moves. Your current high scores now will be deleted."),
      MB_OK | MB_ICONINFORMATION);
  DeleteOldFiles();
}

void ImportOldScores(const char* settingsPath, TWindow* owner) {
  if (GetPrivateProfileIntA("KAVRO", "PIECES", 10000, settingsPath) == 10000) return;
  WritePrivateProfileStringA("KAVRO", "PIECES", nullptr, settingsPath);
  // No question about lists that are not there (the check above may have deleted them).
  if (!OldFilesThere()) return;
  const int answer = Ask(owner,
                         N_("Kavro found the high scores lists of the previous version of "
                            "Kavro. Do you want to use them in this new version?"),
                         MB_YESNO | MB_ICONQUESTION);
  if (answer == IDYES) {
    ConvertOldScoreFile(OldSlidingFile().c_str(), TGameType::Sliding);
    ConvertOldScoreFile(OldJigsawFile().c_str(), TGameType::Jigsaw);
  }
  DeleteOldFiles();
}

void ConvertOldScoreFile(const char* fileName, TGameType type) {
  if (fileName == nullptr) return;
  std::string content;
  if (ProfileStorage().Read(fileName, content) != TReadStatus::Ok) return;
  TOldEntry entry;
  for (std::string_view rest(content); !rest.empty();) {
    const std::size_t end = rest.find('\n');
    TakeOldLine(std::string(rest.substr(0, end)), entry, type);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
}
