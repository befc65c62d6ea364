// The best-times dialog: filling the list, the reset question, rewriting on OK.
#include "dialogs/best_dialog.h"

#include <string_view>
#include <vector>

#include "dialogs/score_record.h"
#include "framework/text/translation.h"
#include "platform/utf8.h"
#include "resources/best_dialog_resource.h"

namespace {

// The file-name line holds at most this many characters.
constexpr std::size_t kFileNameLine = 99;
constexpr char kEllipsis[] = "...";

}  // namespace

std::string FileNameLine(const std::string& listName) {
  const std::string label = Translate(N_("File name: "));
  std::string line = label + listName;
  const std::size_t chars = Utf8CharCount(line);
  if (chars <= kFileNameLine) return line;
  // Whose list it is shows in the file name: the folders before it give way. Counted in
  // characters, as the player reads them.
  const std::size_t slash = line.find_last_of("/\\");
  const std::size_t name =
      slash == std::string::npos ? chars : Utf8CharCount(std::string_view(line).substr(slash));
  const auto firstChars = [&](std::size_t count) {
    return line.substr(0, Utf8CharsLength(line, count));
  };
  if (slash == std::string::npos || slash <= label.size() ||
      name + Utf8CharCount(label) + sizeof kEllipsis - 1 >= kFileNameLine) {
    return firstChars(kFileNameLine);
  }
  return firstChars(kFileNameLine - name - (sizeof kEllipsis - 1)) + kEllipsis + line.substr(slash);
}

// clang-format off
DEFINE_RESPONSE_TABLE1(TBestDialog, TDialog)
  EV_COMMAND(IDC_RESETSCORES, &TBestDialog::CmResetScores),
END_RESPONSE_TABLE;
// clang-format on

TBestDialog::TBestDialog(TWindow* parent, const char* listName, TGameType type)
    : TDialog(parent, IDD_BESTTIMES),
      ListName(listName != nullptr ? listName : ""),
      Type(type),
      BestTimes(ListName.c_str(), type),
      FileName(new TStatic(this, IDC_BESTFILENAME)),
      List(new TListBox(this, IDC_BESTLIST)) {}

void TBestDialog::SetupWindow() {
  TDialog::SetupWindow();
  // Under the "Name" and "Time" headers.
  const int tabs[] = {75, 185};
  List->SetTabStops(2, tabs);
  List->Clear();
  char line[ScoreLineSize];
  for (int i = 0; BestTimes.GetEntry(i, line, sizeof line); ++i) List->AddString(line);
  FileName->SetText(FileNameLine(ListName).c_str());
  SetCaption(Type == TGameType::Jigsaw ? N_("Best Times - Jigsaw Puzzle")
                                       : N_("Best Times - Sliding Puzzle"));
}

void TBestDialog::CmResetScores() {
  if (MessageBox("Do you really want to reset this high scores list?", "Kavro",
                 MB_YESNO | MB_ICONINFORMATION) != IDYES) {
    return;
  }
  List->Clear();
  BestTimes.ResetList();
}

void TBestDialog::CmOk() {
  const int count = List->GetCount();
  if (count > 0) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) lines.push_back(List->GetString(i));
    BestTimes.RewriteList(lines);
  }
  TDialog::CmOk();
}
