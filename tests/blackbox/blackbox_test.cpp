// The real program as a player meets it: started in a fresh program directory on a
// virtual desktop, played with keys and the mouse, closed through its menu, and the
// settings file it leaves behind.
#include <QElapsedTimer>

#include "blackbox_fixture.h"

TEST_F(BlackBox, FreshStartPlaysWithKeysAndMouseAndSavesItsSettingsOnExit) {
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  QImage shot = Desktop.Screenshot();
  const TBoard board = TBoard::Find(shot, Teal);
  ASSERT_TRUE(board.Found()) << "no board of the default colours on the screen";
  EXPECT_GT(board.Right - board.Left, 1280 / 2) << "the frame is maximized";
  EXPECT_EQ(board.Empty(shot), QPoint(2, 2)) << "solved 3 x 3 letters, empty at the end";
  EXPECT_GT(CountColour(shot, qRgb(0, 0, 255)), 1000) << "blue letters";
  const int clockAtZero = CountColour(shot, qRgb(255, 0, 0));
  EXPECT_GT(clockAtZero, 100) << "the clock shows its lit segments";

  Desktop.Key("F2");
  Desktop.Pause(1500);
  shot = Desktop.Screenshot();
  QPoint empty = board.Empty(shot);
  ASSERT_GE(empty.x(), 0) << "one empty cell after scrambling";
  EXPECT_NE(CountColour(shot, qRgb(255, 0, 0)), clockAtZero) << "the clock runs";

  // An arrow slides the neighbour into the empty cell: the empty cell moves the other way.
  const bool left = empty.x() < 2;
  Desktop.Key(left ? "Left" : "Right");
  shot = Desktop.Screenshot();
  const QPoint moved = empty + QPoint(left ? 1 : -1, 0);
  EXPECT_EQ(board.Empty(shot), moved);

  // A click at the far end of the empty cell's column slides the run towards it.
  const int targetRow = moved.y() == 0 ? 2 : 0;
  const QPoint target = board.Centre(moved.x(), targetRow);
  Desktop.Click(target.x(), target.y());
  shot = Desktop.Screenshot();
  EXPECT_EQ(board.Empty(shot), QPoint(moved.x(), targetRow));

  ExitWithYes();
  const std::string ini = ReadFile(Settings());
  EXPECT_EQ(
      ini,
      "[KAVRO]\nFIRST=1\nCOLOR=8421440\nPIECESX=3\nPIECESY=3\nEMPTYX=2\nEMPTYY=2\nTYPE=1\nGAME=1\n"
      "PIECESCOLOR=12632256\nFONTCOLOR=16711680\nFONTNAME=Arial\nFONTSTYLE=0\n3D=0\n"
      "SOUND=1\nFITIN=0\nGRID=1\nFALSE=0\n");
}

TEST_F(BlackBox, StartsWithThePictureItsSettingsName) {
  const QImage picture = QuarterPicture(320, 240);
  const QString path = Dir.path() + "/quarters.bmp";
  ASSERT_TRUE(picture.save(path, "BMP"));
  WriteSettings("[KAVRO]\nTYPE=3\nGAME=2\nPIECESX=4\nPIECESY=4\nFILE=" + path + "\n");

  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  const QImage shot = Desktop.Screenshot();
  QPoint centre[4];
  for (int q = 0; q < 4; ++q) {
    const TBoard area = TBoard::Find(shot, Quarters[q]);
    ASSERT_GT(area.Right - area.Left, 100) << "quarter " << q << " is on the screen";
    EXPECT_GT(area.Bottom - area.Top, 80) << q;
    centre[q] = QPoint((area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2);
  }
  EXPECT_LT(centre[0].x(), centre[1].x()) << "shown in solved order at normal size";
  EXPECT_LT(centre[0].y(), centre[2].y());

  ExitWithYes();
  const std::string saved = ReadFile(Settings());
  EXPECT_NE(saved.find("TYPE=3\nGAME=2\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("FILE=" + path.toStdString() + "\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("[MRUL]\n1=" + path.toStdString() + "\n"), std::string::npos) << saved;
}

TEST_F(BlackBox, SavesAGameAndLoadsItBackToTheSameBoard) {
  // A JPEG reached through the recent list, after a start on a BMP named by the settings.
  QImage picture(320, 240, QImage::Format_RGB32);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) picture.setPixel(x, y, qRgb(x * 255 / 320, y, 128));
  }
  const QString bmp = Dir.path() + "/start.bmp";
  const QString jpeg = Dir.path() + "/photo.jpg";
  ASSERT_TRUE(picture.save(bmp, "BMP"));
  ASSERT_TRUE(picture.mirrored(true, false).save(jpeg, "JPG"));
  WriteSettings("[KAVRO]\nTYPE=3\nPIECESX=5\nPIECESY=4\nFILE=" + bmp + "\n[MRUL]\n1=" + bmp +
                "\n2=" + jpeg + "\n");

  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  Desktop.Key("alt+g");
  Desktop.Key("2");  // "&2 photo.jpg"
  Desktop.Pause(500);
  Desktop.Key("F2");
  // The board, below the bars and above the status bar; the clock stays out of it.
  const QRect board(0, 120, 1280, 560);
  const QImage played = Desktop.Screenshot().copy(board);

  const QString game = Dir.path() + "/photo.KVR";
  ChooseFile("ctrl+s", "Save Game", game);
  ASSERT_TRUE(QFile::exists(game));

  Desktop.Key("F2");  // another game in the meantime
  EXPECT_NE(Desktop.Screenshot().copy(board), played);
  ChooseFile("ctrl+l", "Load Game", game);
  EXPECT_EQ(Desktop.Screenshot().copy(board), played) << "the saved board comes back";

  ExitWithYes();
  const std::string saved = ReadFile(Settings());
  EXPECT_NE(saved.find("[MRUL]\n1=" + game.toStdString() + "\n2=" + jpeg.toStdString() + "\n"),
            std::string::npos)
      << saved;
}

TEST_F(BlackBox, ALoadedGameGoesOnFromItsTimeIntoTheSaveTheBestTimeAndTheList) {
  const QString game = Dir.path() + "/almost.KVR";
  ASSERT_TRUE(SaveAlmostSolvedGame(game, 5));
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  // Loaded through its dialog, played for two seconds, saved through another.
  QElapsedTimer wall;
  wall.start();
  ChooseFile("ctrl+l", "Load Game", game);
  Desktop.Pause(2000);
  const QString later = Dir.path() + "/later.KVR";
  ChooseFile("ctrl+s", "Save Game", later);
  const int saved = SavedSeconds(later);
  EXPECT_GE(saved, 7) << "5 s saved and 2 s played";
  EXPECT_LE(saved, 5 + static_cast<int>(wall.elapsed() / 1000) + 1);
  wall.restart();
  Desktop.Key("Left");  // the last piece home
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2)) << "the name entry";
  const int mostPlayed = saved + static_cast<int>(wall.elapsed() / 1000) + 1;
  Desktop.Type("Ann");
  Desktop.Key("Return");
  ASSERT_TRUE(Desktop.WaitForWindow("Best Times - Sliding Puzzle"));
  Desktop.Key("Return");
  ASSERT_TRUE(Desktop.WaitForGone("Best Times - Sliding Puzzle"));
  ExitWithYes();
  const QString scores = Dir.path() + "/Scores/Times.ini";
  const std::string recorded = ReadFile(scores);
  const std::string entry = "[Alphabet]\n0= 3~ 3~Ann~";
  ASSERT_EQ(recorded.compare(0, entry.size(), entry), 0) << recorded;
  const int seconds = std::atoi(recorded.c_str() + entry.size());
  EXPECT_GE(seconds, saved) << recorded;
  EXPECT_LE(seconds, mostPlayed) << recorded;

  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  Desktop.Key("alt+g");
  Desktop.Key("b");
  ASSERT_TRUE(Desktop.WaitForWindow("Best Times - Sliding Puzzle")) << "the list after a restart";
  Desktop.Key("Escape");
  ASSERT_TRUE(Desktop.WaitForGone("Best Times - Sliding Puzzle"));
  ExitWithYes();
  EXPECT_EQ(ReadFile(scores), recorded);
}
