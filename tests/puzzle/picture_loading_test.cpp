// Pictures into the board: which names load, what the player is told when one does not,
// the palette a picture gets, and the board it leaves.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "board_fixture.h"
#include "media/test_support.h"

namespace {

using media_test::BmpSuiteDir;
using media_test::MakePpm;
using media_test::RunTool;
using media_test::TestPattern;
using media_test::TModalLog;
using media_test::WriteBytes;

class PictureLoading : public testing::Test {
 protected:
  QTemporaryDir Dir;
  std::string Path(const QString& name) const {
    return QDir(Dir.path()).filePath(name).toStdString();
  }

  // A JPEG of the test pattern, made with cjpeg.
  std::string Jpeg(const QString& name, int width, int height) {
    const QString ppm = QDir(Dir.path()).filePath("pattern.ppm");
    EXPECT_TRUE(WriteBytes(ppm, MakePpm(width, height, TestPattern(width, height))));
    const auto jpeg = RunTool("cjpeg", {"-quality", "90", ppm});
    EXPECT_TRUE(jpeg.has_value()) << "cjpeg is needed (libjpeg-turbo-progs)";
    const std::string path = Path(name);
    EXPECT_TRUE(WriteBytes(QString::fromStdString(path), jpeg.value_or(QByteArray())));
    return path;
  }
};

TEST_F(PictureLoading, AJpegBecomesTheSplitPictureOfASolvedBoard) {
  TBoardRig rig(4, 4);
  const std::string path = Jpeg("photo.JPG", 120, 80);
  TModalLog boxes;
  SetBoard(*rig.Board, "2 1 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 _");
  ASSERT_TRUE(rig.Board->LoadPicture(path.c_str(), true));
  EXPECT_TRUE(boxes.Requests.empty());
  ASSERT_NE(rig.Board->Picture, nullptr);
  EXPECT_EQ(rig.Board->Picture->Width(), 120);
  EXPECT_EQ(rig.Board->Picture->Height(), 80);
  EXPECT_EQ(rig.Board->ContentKind, TContentKind::Picture);
  EXPECT_EQ(BoardText(*rig.Board), "1 2 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 _");
  EXPECT_EQ(rig.Board->Pieces[3][2]->Source, TRect(60, 60, 90, 80));
  EXPECT_TRUE(rig.Board->Idle);
  EXPECT_EQ(rig.Board->Palette, nullptr);  // no colour table, true colour: none
}

TEST_F(PictureLoading, NamesThatAreNotPicturesAreReportedAndNothingChanges) {
  TBoardRig rig(3, 3);
  const std::string jpeg = Jpeg("photo.jpg", 30, 30);
  QFile::copy(QString::fromStdString(jpeg), QDir(Dir.path()).filePath("photo.jpeg"));
  const std::string longName = Path(QString(60, QChar('n')) + ".bmp");
  struct TCase {
    std::string Name;
    std::string Shown;
  };
  const TCase cases[] = {
      {Path("photo.jpeg"), "Unable to open " + Path("photo.jpeg") + "."},
      {"C:\\pics.old\\cat", "Unable to open C:\\pics.old\\cat."},
      {Path("missing.bmp"), "Unable to open " + Path("missing.bmp") + "."},
      {longName, "Unable to open " + longName.substr(0, 50) + "."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TModalLog boxes;
    EXPECT_FALSE(rig.Board->LoadPicture(c.Name.c_str(), true));
    ASSERT_EQ(boxes.Requests.size(), 1u);
    EXPECT_EQ(boxes.Requests[0].Text, c.Shown);
    EXPECT_EQ(boxes.Requests[0].Caption, "Kavro");
    EXPECT_EQ(boxes.Requests[0].Flags, MB_ICONSTOP | MB_OK);
    EXPECT_EQ(rig.Board->Picture, nullptr);
    EXPECT_EQ(rig.Board->ContentKind, TContentKind::Alphabet);
    EXPECT_EQ(rig.Board->Columns, 3);
    EXPECT_TRUE(rig.Board->Idle);
  }
}

TEST_F(PictureLoading, DamagedJpegShowsTheLibraryMessageThenOurs) {
  TBoardRig rig(3, 3);
  const std::string good = Jpeg("good.jpg", 64, 64);
  QByteArray bytes = media_test::ReadBytes(QString::fromStdString(good));
  bytes[1] = 0x00;  // not a JPEG start marker: the library gives up
  const std::string bad = Path("bad.jpg");
  ASSERT_TRUE(WriteBytes(QString::fromStdString(bad), bytes));
  TModalLog boxes;
  EXPECT_FALSE(rig.Board->LoadPicture(bad.c_str(), true));
  ASSERT_EQ(boxes.Requests.size(), 2u);
  EXPECT_EQ(boxes.Requests[0].Caption, "JPEG Library Error");
  EXPECT_FALSE(boxes.Requests[0].Text.empty());
  EXPECT_EQ(boxes.Requests[1].Text, "Unable to open " + bad + ".");
  EXPECT_EQ(rig.Board->Picture, nullptr);
}

TEST_F(PictureLoading, RunLengthBmpIsReadThenRefused) {
  TBoardRig rig(3, 3);
  const std::string rle = (BmpSuiteDir("g") + "/pal8rle.bmp").toStdString();
  TModalLog boxes;
  EXPECT_FALSE(rig.Board->LoadPicture(rle.c_str(), true));
  EXPECT_EQ(boxes.Texts(),
            std::vector<std::string>{"This program does NOT support compressed BMP file."});
  EXPECT_EQ(rig.Board->Picture, nullptr);
  EXPECT_EQ(rig.Board->Palette, nullptr);
}

TEST_F(PictureLoading, EightBitBmpGetsItsFullPaletteTwentyFourBitNone) {
  TBoardRig rig(3, 3);
  TModalLog boxes;
  const std::string pal8 = (BmpSuiteDir("g") + "/pal8.bmp").toStdString();
  ASSERT_TRUE(rig.Board->LoadPicture(pal8.c_str(), true));
  ASSERT_NE(rig.Board->Palette, nullptr);
  EXPECT_EQ(rig.Board->Palette->GetNumEntries(), 252);  // pal8.bmp names 252 colours
  const std::string pal8zero = (BmpSuiteDir("g") + "/pal8-0.bmp").toStdString();
  ASSERT_TRUE(rig.Board->LoadPicture(pal8zero.c_str(), true));
  ASSERT_NE(rig.Board->Palette, nullptr);
  EXPECT_EQ(rig.Board->Palette->GetNumEntries(), 256);  // colours-used 0 means all 256
  const std::string rgb24 = (BmpSuiteDir("g") + "/rgb24.bmp").toStdString();
  ASSERT_TRUE(rig.Board->LoadPicture(rgb24.c_str(), true));
  EXPECT_EQ(rig.Board->Palette, nullptr);
  EXPECT_EQ(rig.Board->Picture->Width(), 127);
  EXPECT_TRUE(boxes.Requests.empty());
}

TEST_F(PictureLoading, ClipboardNameAndNoNameKeepThePictureAndRebuildTheBoard) {
  TBoardRig rig(3, 3);
  TModalLog boxes;
  ASSERT_TRUE(rig.Board->LoadPicture(Jpeg("p.jpg", 90, 60).c_str(), true));
  TBitmap* picture = rig.Board->Picture.get();
  SetBoard(*rig.Board, "2 1 3 / 4 5 6 / 7 8 _");
  EXPECT_TRUE(rig.Board->LoadPicture("[clipboard]", true));
  EXPECT_EQ(rig.Board->Picture.get(), picture);
  EXPECT_EQ(BoardText(*rig.Board), "1 2 3 / 4 5 6 / 7 8 _");
  EXPECT_TRUE(rig.Board->Idle);
  SetBoard(*rig.Board, "2 1 3 / 4 5 6 / 7 8 _");
  EXPECT_TRUE(rig.Board->LoadPicture(nullptr, false));  // no relayout: the board stays
  EXPECT_EQ(BoardText(*rig.Board), "2 1 3 / 4 5 6 / 7 8 _");
  EXPECT_TRUE(boxes.Requests.empty());
}

}  // namespace
