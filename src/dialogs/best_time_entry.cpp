// The name entry: one name buffer for the whole run, so the last name is offered again.
#include "dialogs/best_time_entry.h"

#include <algorithm>

#include "dialogs/best_dialog.h"
#include "dialogs/best_times.h"
#include "framework/dialogs/input_dialog.h"
#include "framework/text/translation.h"

namespace {

// 28 characters, each up to four bytes of UTF-8, and the terminator.
constexpr int kNameChars = 28;
constexpr int kNameSize = 4 * kNameChars + 1;

char* PlayerName() {
  static char name[kNameSize] = "";
  return name;
}

}  // namespace

bool AskNameAndRecord(TWindow* parent, const char* listName, TGameType type, int columns, int rows,
                      int seconds, const std::string& solved) {
  TInputDialog input(parent, "Kavro", N_(" You have the best times. Please enter your name:"),
                     PlayerName(), kNameSize);
  input.SetMaxChars(kNameChars);
  input.SetDescription(solved);
  if (input.Execute() != IDOK) return false;
  const int s = std::max(seconds, 0);
  TBestTimes(listName, type)
      .RecordTime(columns, rows, s / 3600, s % 3600 / 60, s % 60, PlayerName());
  TBestDialog dialog(parent, listName, type);
  dialog.Execute();
  return true;
}
