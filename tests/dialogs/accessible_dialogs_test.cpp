// The dialogs as a screen reader meets them: every stop of the Tab key named, the win's
// name prompt telling that the puzzle is solved and in what time, the best times by column.
#include <QAccessible>
#include <QListWidget>
#include <QWidget>

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "dialogs/about_dialog.h"
#include "dialogs/best_dialog.h"
#include "dialogs/best_time_entry.h"
#include "dialogs/best_times.h"
#include "dialogs/empty_dialog.h"
#include "framework/windows/responder.h"
#include "framework/windows/window.h"
#include "resources/best_dialog_resource.h"
#include "resources/game_resources.h"
#include "score_fixture.h"

namespace {

using AccessibleDialogs = ScoreFilesTest;

// "role 'name'" of each Tab stop of the dialog shown, in Tab order.
std::string TabStops(const QWidget& dialog) {
  std::ostringstream stops;
  for (const QWidget* w : dialog.findChildren<QWidget*>()) {
    if ((w->focusPolicy() & Qt::TabFocus) == 0 || !w->isVisibleTo(&dialog)) continue;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w));
    stops << iface->role() << " '" << iface->text(QAccessible::Name).toStdString() << "'; ";
  }
  return stops.str();
}

TEST_F(AccessibleDialogs, EveryTabStopIsNamedTheWinTellsItsTimeAndBestTimesReadByColumn) {
  AddGameResources();
  TBestTimes("Alphabet", TGameType::Sliding).RecordTime(3, 3, 0, 1, 5, "Ada");
  std::vector<std::string> seen;
  std::string description;
  std::string bestLine;
  TScopedModalResponder responder([&](const TModalRequest& request) {
    const QWidget& dialog = *reinterpret_cast<QWidget*>(request.Window->GetHandle())->window();
    seen.push_back(TabStops(dialog));
    if (request.Kind == TModalRequest::Input)
      description = dialog.accessibleDescription().toStdString();
    auto* list = request.ResourceId == IDD_BESTTIMES ? dialog.findChild<QListWidget*>() : nullptr;
    if (list != nullptr && list->count() > 0) {
      QAccessibleInterface* line = QAccessible::queryAccessibleInterface(list)->child(0);
      bestLine = line->text(QAccessible::Name).toStdString();
    }
    return TModalAnswer(IDCANCEL);
  });
  TAboutDialog(nullptr).Execute();
  TBestDialog(nullptr, "Alphabet", TGameType::Sliding).Execute();
  TEmptyDialog(nullptr, IDD_EMPTYSPACE, 2, 2, 20, 20, nullptr, TEmptyMode::Pieces).Execute();
  EXPECT_FALSE(AskNameAndRecord(nullptr, "Alphabet", TGameType::Sliding, 3, 3, 75,
                                "Congratulations. You solved the puzzle in 1 minute 15 seconds."));
  ASSERT_EQ(seen.size(), 4u);
  for (const std::string& stops : seen) {
    EXPECT_EQ(stops.find("''"), std::string::npos) << stops;
  }
  EXPECT_NE(seen[3].find("'You have the best times. Please enter your name:'"), std::string::npos)
      << seen[3];
  EXPECT_EQ(description, "Congratulations. You solved the puzzle in 1 minute 15 seconds.");
  // The best-times list reads its columns apart, not run together by tabs.
  EXPECT_EQ(bestLine.find('\t'), std::string::npos) << bestLine;
  EXPECT_NE(bestLine.find(", Ada, 00:01:05"), std::string::npos) << bestLine;
}

}  // namespace
