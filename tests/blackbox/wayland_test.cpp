// The real program as a native Wayland client under a headless sway: played with keys,
// a dialog, the thumbnail, a picture pasted from wl-copy, a best time and the exit, checked
// on the screen and in the files it writes.
#include <QElapsedTimer>
#include <QRegularExpression>

#include <map>

#include "blackbox_fixture.h"
#include "wayland_desktop.h"

namespace {

// The keys of the settings file's [KAVRO] section.
std::map<std::string, std::string> SettingsKeys(const std::string& ini) {
  std::map<std::string, std::string> keys;
  const QStringList lines = QString::fromStdString(ini).split('\n');
  for (const QString& line : lines) {
    const qsizetype equals = line.indexOf('=');
    if (line.startsWith('[') && line != "[KAVRO]") break;
    if (equals > 0) keys[line.left(equals).toStdString()] = line.mid(equals + 1).toStdString();
  }
  return keys;
}

}  // namespace

class Wayland : public testing::Test {
 protected:
  void SetUp() override {
    RequireDesktop(Desktop.Problem());
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(Dir.isValid());
    ASSERT_TRUE(Desktop.Hand(Dir.path()));
  }

  void Start() {
    ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
    const std::vector<QJsonObject> main = Desktop.Windows("Kavro");
    ASSERT_EQ(main.size(), 1U);
    EXPECT_EQ(main[0].value("shell").toString(), "xdg_shell") << "a native Wayland client";
  }

  void ExitWithYes() {
    ASSERT_TRUE(Desktop.Command("[title=\"^Kavro$\"]", "focus"));
    Desktop.Key("alt+g e");
    ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2, 4000)) << "the exit question";
    Desktop.Key("Return");
    const std::optional<int> code = Desktop.WaitForExit();
    ASSERT_TRUE(code.has_value()) << "the program did not end";
    EXPECT_EQ(*code, 0) << Desktop.ProgramOutput().toStdString();
  }

  TWaylandDesktop Desktop;
  QTemporaryDir Dir;
};

TEST_F(Wayland, PlaysWithKeysChangesTheBoardInADialogAndSavesItOnExit) {
  Start();
  EXPECT_GE(TWaylandDesktop::ContentRect(Desktop.Windows("Kavro")[0]).width(), 1590)
      << "the frame fills the screen but for the compositor's border";
  QImage shot = Desktop.Screenshot();
  const TBoard board = TBoard::Find(shot, Teal);
  ASSERT_TRUE(board.Found()) << "no board of the default colours on the screen";
  EXPECT_EQ(board.Empty(shot), QPoint(2, 2)) << "solved 3 x 3 letters, empty at the end";

  Desktop.Key("F2");
  Desktop.Pause(1000);
  shot = Desktop.Screenshot();
  QPoint empty = board.Empty(shot);
  ASSERT_GE(empty.x(), 0) << "one empty cell after scrambling";
  // An arrow slides the neighbour into the empty cell: the empty cell moves the other way.
  const bool left = empty.x() < 2;
  Desktop.Key(left ? "Left" : "Right");
  empty += QPoint(left ? 1 : -1, 0);
  EXPECT_EQ(board.Empty(Desktop.Screenshot()), empty);
  const bool up = empty.y() < 2;
  Desktop.Key(up ? "Up" : "Down");
  empty += QPoint(0, up ? 1 : -1);
  EXPECT_EQ(board.Empty(Desktop.Screenshot()), empty);

  // Custom pieces: the row list is the third stop; one row more, and OK.
  Desktop.Key("alt+p p");
  ASSERT_TRUE(Desktop.WaitForWindows("Number of Pieces", 1));
  Desktop.Key("Tab Tab Down Return");
  ASSERT_TRUE(Desktop.WaitForGone("Number of Pieces"));
  shot = Desktop.Screenshot();
  TBoard taller = TBoard::Find(shot, Teal);
  taller.Rows = 4;
  EXPECT_EQ(taller.Empty(shot), QPoint(2, 3)) << "3 x 4 in solved order";

  ExitWithYes();
  std::map<std::string, std::string> keys = SettingsKeys(ReadFile(Dir.path() + "/kavro.ini"));
  const std::map<std::string, std::string> expected = {
      {"PIECESX", "3"}, {"PIECESY", "4"}, {"EMPTYX", "2"},     {"EMPTYY", "3"},
      {"TYPE", "1"},    {"GAME", "1"},    {"COLOR", "8421440"}};
  for (const auto& [key, value] : expected) EXPECT_EQ(keys[key], value) << key;
}

TEST_F(Wayland, PastesAPictureFromWlCopyAndShowsAndClosesItsThumbnail) {
  const QImage picture = QuarterPicture(320, 240);
  const QString png = Dir.path() + "/quarters.png";
  ASSERT_TRUE(picture.save(png, "PNG"));
  Start();
  ASSERT_TRUE(Desktop.Copy(png, "image/png"));
  Desktop.Key("alt+g p");
  Desktop.Pause(500);
  QImage shot = Desktop.Screenshot();
  QPoint centre[4];
  for (int q = 0; q < 4; ++q) {
    const TBoard area = TBoard::Find(shot, Quarters[q]);
    // Normal size, less the grid gaps that cross the quarter.
    EXPECT_NEAR(area.Right + 1 - area.Left, 160, 4) << "quarter " << q;
    EXPECT_NEAR(area.Bottom + 1 - area.Top, 120, 4) << "quarter " << q;
    centre[q] = QPoint((area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2);
  }
  EXPECT_LT(centre[0].x(), centre[1].x()) << "the pasted picture, in solved order";
  EXPECT_LT(centre[0].y(), centre[2].y());

  // The thumbnail: half the picture's width, the whole picture stretched into it.
  Desktop.Key("alt+o t");
  ASSERT_TRUE(Desktop.WaitForWindows("Thumbnail", 1));
  const QRect thumbnail = TWaylandDesktop::ContentRect(Desktop.Windows("Thumbnail")[0]);
  EXPECT_EQ(thumbnail.width(), 160);
  EXPECT_GE(thumbnail.height(), 120);
  shot = Desktop.Screenshot();
  const int w = thumbnail.width();
  const int h = thumbnail.height();
  for (int q = 0; q < 4; ++q) {
    const QPoint at =
        thumbnail.topLeft() + QPoint(w / 4 + (q % 2) * w / 2, h / 4 + (q / 2) * h / 2);
    EXPECT_EQ(shot.pixel(at) & 0xFFFFFF, Quarters[q] & 0xFFFFFF) << "thumbnail quarter " << q;
  }

  // Its close box (the compositor's close) unchecks the command: the menu shows it again,
  // and hides it.
  ASSERT_TRUE(Desktop.Command("[title=\"^Thumbnail$\"]", "kill"));
  ASSERT_TRUE(Desktop.WaitForGone("Thumbnail"));
  ASSERT_TRUE(Desktop.Command("[title=\"^Kavro$\"]", "focus"));
  Desktop.Key("alt+o t");
  ASSERT_TRUE(Desktop.WaitForWindows("Thumbnail", 1)) << "shown again after its close box";
  ASSERT_TRUE(Desktop.Command("[title=\"^Kavro$\"]", "focus"));
  Desktop.Key("alt+o t");
  EXPECT_TRUE(Desktop.WaitForGone("Thumbnail")) << "the menu hides it";
}

TEST_F(Wayland, ABestTimeAsksForTheNameAndWritesNameAndTime) {
  // A saved letter game one move from solved, 5 seconds on its clock.
  const QString game = Dir.path() + "/almost.KVR";
  ASSERT_TRUE(SaveAlmostSolvedGame(game, 5));
  Start();
  QElapsedTimer playing;
  playing.start();
  Desktop.Key("ctrl+l");
  ASSERT_TRUE(Desktop.WaitForWindows("Load Game", 1));
  Desktop.Key("ctrl+a");
  Desktop.Type(game);
  Desktop.Key("Return");
  ASSERT_TRUE(Desktop.WaitForGone("Load Game"));
  Desktop.Key("Left");  // the last piece home
  const int most = 5 + static_cast<int>(playing.elapsed() / 1000) + 1;
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2)) << "the name entry";
  Desktop.Type("Ann");
  Desktop.Key("Return");
  ASSERT_TRUE(Desktop.WaitForWindows("Best Times - Sliding Puzzle", 1));
  Desktop.Key("Return");
  ASSERT_TRUE(Desktop.WaitForGone("Best Times - Sliding Puzzle"));

  const std::string scores = ReadFile(Dir.path() + "/Scores/Times.ini");
  const QRegularExpressionMatch entry =
      QRegularExpression("\\[Alphabet\\]\n0= 3~ 3~Ann~(?:(\\d+):(\\d+):)?(\\d+)\n")
          .match(QString::fromStdString(scores));
  ASSERT_TRUE(entry.hasMatch()) << scores;
  const int seconds =
      entry.captured(1).toInt() * 3600 + entry.captured(2).toInt() * 60 + entry.captured(3).toInt();
  EXPECT_GE(seconds, 5) << "the saved game's time goes on";
  EXPECT_LE(seconds, most) << scores;
}
