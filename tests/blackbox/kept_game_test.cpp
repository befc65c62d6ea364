// What a player has is kept: a game in progress survives a saved game that does not load
// and one whose picture is gone, and a picture larger than Qt's own reading limit pastes.
#include <QFile>
#include <QRandomGenerator>

#include <chrono>

#include "blackbox_fixture.h"

namespace {

constexpr QRgb Pasted = qRgb(150, 60, 170);

class KeptGame : public BlackBox {
 protected:
  QString Path(const QString& name) const { return Dir.path() + "/" + name; }
  QByteArray Bytes(const QString& name) const {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // Answers the message box the program shows, after checking there is one.
  void AnswerMessage() {
    ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2)) << "a message";
    Desktop.Key("Return");
    ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 1));
  }
};

TEST_F(KeptGame, AGameSurvivesFilesThatDoNotLoadAndALargePicturePastes) {
  const QString picture = Path("quarters.bmp");
  ASSERT_TRUE(QuarterPicture(640, 480).save(picture, "BMP"));
  WriteSettings("[KAVRO]\nTYPE=3\nGAME=2\nPIECESX=4\nPIECESY=4\nFILE=" + picture + "\n");
  // A damaged saved game, and a whole one whose picture was deleted since.
  QByteArray noise(281 + 16 * 35, '\0');
  for (char& c : noise) c = static_cast<char>(QRandomGenerator::global()->bounded(256));
  noise.replace(0, 6, QByteArray("KVR20\0", 6));
  QFile damaged(Path("damaged.KVR"));
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly) && damaged.write(noise) == noise.size());
  damaged.close();
  {
    TPuzzle board(3, 3, nullptr);
    board.SetSize(3, 3);
    board.Picture = std::make_unique<TBitmap>(90, 90);
    board.SplitPicture();
    board.Scramble();
    ASSERT_TRUE(board.SaveGame(Path("gone.KVR").toUtf8().constData(),
                               Path("gone.bmp").toUtf8().constData(), 30));
  }

  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  const auto started = std::chrono::steady_clock::now();
  Desktop.Key("F2");
  Desktop.Pause(2000);
  ChooseFile("ctrl+s", "Save Game", Path("before.KVR"));
  ChooseFile("ctrl+l", "Load Game", Path("damaged.KVR"));
  AnswerMessage();
  ChooseFile("ctrl+l", "Load Game", Path("gone.KVR"));
  AnswerMessage();
  Desktop.Pause(1500);
  ChooseFile("ctrl+s", "Save Game", Path("after.KVR"));
  const auto played = std::chrono::steady_clock::now() - started;

  // The same game: picture, type, size and pieces; its clock went on counting.
  const QByteArray before = Bytes("before.KVR"), after = Bytes("after.KVR");
  ASSERT_EQ(after.size(), 281 + 16 * 35);
  EXPECT_EQ(after.left(261), before.left(261)) << "the picture's name";
  EXPECT_EQ(after.mid(265), before.mid(265)) << "the board";
  const int first = SavedSeconds(Path("before.KVR")), second = SavedSeconds(Path("after.KVR"));
  EXPECT_GE(first, 2);
  EXPECT_GE(second, first + 1);
  EXPECT_LE(second, std::chrono::duration_cast<std::chrono::seconds>(played).count());
  EXPECT_GT(CountColour(Desktop.Screenshot(), Quarters[3]), 20000) << "the picture shows";

  // 48 megapixels from another program.
  QImage large(8000, 6000, QImage::Format_RGB32);
  large.fill(Pasted);
  ASSERT_TRUE(large.save(Path("large.png"), "PNG"));
  large = QImage();
  Desktop.Output("xclip", {"-selection", "clipboard", "-t", "image/png", "-i", Path("large.png")});
  Desktop.Key("alt+g");
  Desktop.Key("p");
  int shown = 0;
  for (int tries = 0; tries < 30 && shown <= 200000; ++tries) {
    Desktop.Pause(500);
    shown = CountColour(Desktop.Screenshot(), Pasted);
  }
  EXPECT_GT(shown, 200000) << "the pasted picture";
  ExitWithYes();
}

}  // namespace
