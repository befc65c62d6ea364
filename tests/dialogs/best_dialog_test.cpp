// The best-times dialog on real score files, answered through the test responder, and the
// name entry that leads to it.
#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QListWidget>

#include <string>
#include <vector>

#include "dialogs/best_dialog.h"
#include "dialogs/best_time_entry.h"
#include "dialogs/best_times.h"
#include "framework/dialogs/dialog_impl.h"
#include "framework/windows/responder.h"
#include "resources/best_dialog_resource.h"
#include "score_fixture.h"

namespace {

class BestDialogTest : public ScoreFilesTest {
 protected:
  void SetUp() override {
    ScoreFilesTest::SetUp();
    AddBestTimesDialogResource();
  }
  // Each request is kept; answers are given in turn, the last one from then on.
  TScopedModalResponder Answers(const std::vector<TModalAnswer>& answers) {
    return TScopedModalResponder([this, answers](const TModalRequest& request) {
      Asked.push_back(request);
      return answers[std::min(Asked.size(), answers.size()) - 1];
    });
  }
  void AddTwoSizes() {
    TBestTimes list("Alphabet", TGameType::Sliding);
    list.RecordTime(10, 10, 0, 10, 0, "Bo");
    list.RecordTime(4, 4, 0, 1, 0, "Al");
  }
  std::vector<TModalRequest> Asked;
};

const std::vector<std::string> kTwoLines = {" 4 x  4 (16 pieces)\tAl\t00:01:00",
                                            "10 x 10 (100 pieces)\tBo\t00:10:00"};

TEST_F(BestDialogTest, ShowsTheListInSizeOrderAndOkStoresThatOrderInShortRecords) {
  AddTwoSizes();
  {
    auto responder = Answers({TModalAnswer(IDOK)});
    TBestDialog dialog(nullptr, "Alphabet", TGameType::Sliding);
    EXPECT_EQ(dialog.Execute(), IDOK);
  }
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].ResourceId, 5);
  EXPECT_EQ(Asked[0].Caption, "Best Times - Sliding Puzzle");
  EXPECT_EQ(Asked[0].ControlTexts[IDC_BESTFILENAME], "File name: Alphabet");
  EXPECT_EQ(Asked[0].ListItems[IDC_BESTLIST], kTwoLines);
  EXPECT_EQ(Contents(Scores("Times.ini")), "[Alphabet]\n0= 4~ 4~Al~60\n1=10~10~Bo~600\n");

  // An empty list writes nothing, not even a file.
  auto responder = Answers({TModalAnswer(IDOK)});
  TBestDialog jigsaw(nullptr, "Alphabet", TGameType::Jigsaw);
  EXPECT_EQ(jigsaw.Execute(), IDOK);
  EXPECT_EQ(Asked.back().Caption, "Best Times - Jigsaw Puzzle");
  EXPECT_TRUE(Asked.back().ListItems[IDC_BESTLIST].empty());
  EXPECT_FALSE(std::filesystem::exists(Scores("Timej.ini")));
}

TEST_F(BestDialogTest, ResetAsksFirstAndDeletesTheListAtOnce) {
  const struct {
    int reply, close;
    bool gone;
  } cases[] = {{IDNO, IDCANCEL, false}, {IDYES, IDOK, true}, {IDYES, IDCANCEL, true}};
  for (const auto& c : cases) {
    AddTwoSizes();
    const std::string before = Contents(Scores("Times.ini"));
    Asked.clear();
    auto responder =
        Answers({TModalAnswer(IDC_RESETSCORES), TModalAnswer(c.reply), TModalAnswer(c.close)});
    TBestDialog dialog(nullptr, "Alphabet", TGameType::Sliding);
    EXPECT_EQ(dialog.Execute(), c.close);
    ASSERT_EQ(Asked.size(), 3u);
    EXPECT_EQ(Asked[1].Text, "Do you really want to reset this high scores list?");
    EXPECT_EQ(Asked[1].Caption, "Kavro");
    EXPECT_EQ(Asked[1].Flags, MB_YESNO | MB_ICONINFORMATION);
    EXPECT_EQ(Asked[2].ListItems[IDC_BESTLIST].empty(), c.gone);
    EXPECT_EQ(Contents(Scores("Times.ini")), c.gone ? "" : before);
  }
}

TEST_F(BestDialogTest, FileNameLineIsCutTo99CharactersAndShowsAmpersands) {
  // Built without "/" + a temporary, which GCC 12 at -O3 wrongly warns of as an overlap.
  std::string longName(121, 'a');
  longName.front() = '/';
  std::string wide = "/";
  for (int i = 0; i < 100; ++i) wide += "\xC3\xA9";
  auto responder = Answers({TModalAnswer(IDCANCEL)});
  for (const std::string& name : {longName, wide}) {
    TBestDialog(nullptr, name.c_str(), TGameType::Sliding).Execute();
  }
  EXPECT_EQ(Asked[0].ControlTexts[IDC_BESTFILENAME], ("File name: " + longName).substr(0, 99));
  EXPECT_EQ(Asked[1].ControlTexts[IDC_BESTFILENAME], ("File name: " + wide).substr(0, 12 + 87 * 2))
      << "99 characters, two bytes each after the slash";
  // Folders give way to the file name.
  const std::string folders = "/home/player/" + std::string(90, 'f');
  EXPECT_EQ(FileNameLine(folders + "/cat.bmp"),
            "File name: " + folders.substr(0, 99 - 11 - 11) + ".../cat.bmp");
  EXPECT_EQ(FileNameLine("/p/" + std::string(90, 'n')),
            ("File name: /p/" + std::string(90, 'n')).substr(0, 99));

  // Too wide for the screen, the line loses folders, then the name's start; never "File name:".
  const std::string sea = "/home/player/pictures/of/our/summer/holidays/by/the/sea/";
  const struct {
    std::string path, starts, ends;
  } shown[] = {{"/p/Tom&Jerry.bmp", "File name: /p/Tom&Jerry.bmp", "Tom&Jerry.bmp"},
               {sea + "Harbour_at_dawn.bmp", "File name: /home/", "\u2026/Harbour_at_dawn.bmp"},
               {sea + std::string(60, 'h') + ".bmp", "File name: \u2026", "hhhh.bmp"}};
  for (const auto& c : shown) {
    TBestDialog dialog(nullptr, c.path.c_str(), TGameType::Sliding);
    ASSERT_TRUE(dialog.Create());
    auto* label = qobject_cast<QLabel*>(dialog.DialogImpl().Controls[IDC_BESTFILENAME].data());
    ASSERT_NE(label, nullptr);
    const std::string text = label->text().toStdString();
    EXPECT_TRUE(text.starts_with(c.starts) && text.ends_with(c.ends)) << text;
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());
    dialog.Destroy();
  }
}

// Where the tab-separated parts of a list line start: the first ink of the row, then for
// each further part the first ink beyond where the part before it ends.
std::vector<int> ColumnStarts(const QListWidget& list, int row) {
  const QImage image = list.viewport()->grab().toImage();
  const QRect area = list.visualItemRect(list.item(row));
  const QStringList parts = list.item(row)->text().split('\t');
  const QFontMetrics metrics(list.font());
  std::vector<int> starts;
  int from = area.left();
  for (const QString& part : parts) {
    int x = from;
    auto ink = [&](int at) {
      for (int y = area.top(); y <= area.bottom(); ++y) {
        if (qGray(image.pixel(at, y)) < 110) return true;
      }
      return false;
    };
    while (x <= area.right() && !ink(x)) ++x;
    if (x > area.right()) break;
    starts.push_back(x);
    from = x + metrics.horizontalAdvance(part);
  }
  return starts;
}

TEST_F(BestDialogTest, ColumnsStandUnderTheirHeaders) {
  TBestTimes list("Alphabet", TGameType::Sliding);
  list.RecordTime(20, 20, 1, 2, 3, "Maximilian Wolfgang");
  list.RecordTime(3, 3, 0, 0, 1, "I");
  TBestDialog dialog(nullptr, "Alphabet", TGameType::Sliding);
  ASSERT_TRUE(dialog.Create());
  dialog.ShowWindow(SW_SHOW);
  QCoreApplication::processEvents();
  auto* widget = qobject_cast<QListWidget*>(dialog.DialogImpl().Controls[IDC_BESTLIST].data());
  ASSERT_NE(widget, nullptr);
  const int origin = widget->viewport()->mapTo(dialog.Impl()->Widget, QPoint(0, 0)).x();
  const TSize units = dialog.GetBaseUnits();
  const int headers[][2] = {{12, 60}, {88, 60}, {196, 44}};  // x and width, dialog units
  for (int row = 0; row < 2; ++row) {
    const std::vector<int> starts = ColumnStarts(*widget, row);
    ASSERT_EQ(starts.size(), 3u) << row;
    for (int column = 0; column < 3; ++column) {
      TRect header(headers[column][0], 20, headers[column][0] + headers[column][1], 28);
      dialog.MapDialogRect(header);
      // Within a character of the header's left edge, and not past its end.
      EXPECT_GE(origin + starts[column], header.left - units.cx / 2) << row << column;
      EXPECT_LT(origin + starts[column], std::min(header.right, header.left + units.cx))
          << row << column;
    }
  }
  dialog.Destroy();
}

TEST_F(BestDialogTest, AWideNameIsCutShortAndALongPathKeepsItsFileName) {
  const std::string path = "/tmp/" + std::string(60, 'm') + "/pics/cat.bmp";
  TBestTimes list(path.c_str(), TGameType::Sliding);
  list.RecordTime(20, 20, 0, 0, 1, std::string(28, 'W').c_str());
  list.RecordTime(3, 3, 0, 0, 1, "I");
  TBestDialog dialog(nullptr, path.c_str(), TGameType::Sliding);
  ASSERT_TRUE(dialog.Create());
  dialog.ShowWindow(SW_SHOW);
  QCoreApplication::processEvents();
  auto* label = qobject_cast<QLabel*>(dialog.DialogImpl().Controls[IDC_BESTFILENAME].data());
  ASSERT_NE(label, nullptr);
  EXPECT_FALSE(label->wordWrap());
  EXPECT_TRUE(label->text().startsWith("File name: /tmp/")) << label->text().toStdString();
  EXPECT_TRUE(label->text().endsWith("\u2026/cat.bmp")) << label->text().toStdString();
  EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());

  // Both entries took a second: the time column shows the same, the wide name's too.
  auto* widget = qobject_cast<QListWidget*>(dialog.DialogImpl().Controls[IDC_BESTLIST].data());
  ASSERT_NE(widget, nullptr);
  const QImage image = widget->viewport()->grab().toImage();
  TRect header(196, 0, 228, 0);
  dialog.MapDialogRect(header);
  const int left = header.left - widget->viewport()->mapTo(dialog.Impl()->Widget, QPoint()).x();
  auto time = [&](int row) {
    const QRect r = widget->visualItemRect(widget->item(row));
    return image.copy(left, r.top(), image.width() - left, r.height());
  };
  const QImage shown = time(1);
  EXPECT_EQ(time(0), shown);
  int ink = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) ink += qGray(shown.pixel(x, y)) < 110;
  EXPECT_GT(ink, 20) << "the time is drawn";
  dialog.Destroy();
}

TEST_F(BestDialogTest, NameEntryRecordsWithTheNameAndOffersItAgain) {
  auto responder =
      Answers({TModalAnswer(IDOK, "Ann"), TModalAnswer(IDOK), TModalAnswer(IDCANCEL, "Bob")});
  EXPECT_TRUE(AskNameAndRecord(nullptr, "/p/Sea.bmp", TGameType::Jigsaw, 5, 4, 3725));
  ASSERT_EQ(Asked.size(), 2u);
  EXPECT_EQ(Asked[0].Kind, TModalRequest::Input);
  EXPECT_EQ(Asked[0].Caption, "Kavro");
  EXPECT_EQ(Asked[0].Text, " You have the best times. Please enter your name:");
  EXPECT_EQ(Asked[0].MaxLength, 28);
  EXPECT_EQ(Asked[1].ResourceId, 5);
  EXPECT_EQ(Asked[1].ListItems[IDC_BESTLIST],
            std::vector<std::string>{" 4 x  5 (20 pieces)\tAnn\t01:02:05"});

  // Cancel: the name offered is the last one, nothing is recorded, no list follows.
  EXPECT_FALSE(AskNameAndRecord(nullptr, "/p/Sea.bmp", TGameType::Jigsaw, 3, 3, 10));
  ASSERT_EQ(Asked.size(), 3u);
  EXPECT_EQ(Asked[2].ControlTexts[ID_INPUT], "Ann");
  char line[100];
  EXPECT_FALSE(TBestTimes("/p/Sea.bmp", TGameType::Jigsaw).GetEntry(1, line, sizeof line));
}

}  // namespace
