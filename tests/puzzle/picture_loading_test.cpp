// Pictures into the board: which names load, what the player is told when one does not,
// the palette a picture gets, and the board it leaves.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board_fixture.h"
#include "media/test_support.h"

namespace {

using media_test::BmpSuite;
using media_test::Local;
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
  const std::string rle = BmpSuite("g/pal8rle.bmp").toStdString();
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
  const std::string pal8 = BmpSuite("g/pal8.bmp").toStdString();
  ASSERT_TRUE(rig.Board->LoadPicture(pal8.c_str(), true));
  ASSERT_NE(rig.Board->Palette, nullptr);
  EXPECT_EQ(rig.Board->Palette->GetNumEntries(), 252);  // pal8.bmp names 252 colours
  const std::string pal8zero = BmpSuite("g/pal8-0.bmp").toStdString();
  ASSERT_TRUE(rig.Board->LoadPicture(pal8zero.c_str(), true));
  ASSERT_NE(rig.Board->Palette, nullptr);
  EXPECT_EQ(rig.Board->Palette->GetNumEntries(), 256);  // colours-used 0 means all 256
  const std::string rgb24 = BmpSuite("g/rgb24.bmp").toStdString();
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

// ---------------------------------------------------------------------------------------
// Pixels, palettes and every kind of failure, on a board with a game in play

constexpr UINT StopOk = MB_ICONSTOP | MB_OK;

std::string SuitePath(const char* relative) {
  return Local(BmpSuite(QString::fromLatin1(relative)));
}

// The picture's pixel as the board will draw it.
COLORREF PicturePixel(TPuzzle& board, int x, int y) {
  TMemoryDC dc(*board.Picture);
  return dc.GetPixel(x, y);
}

COLORREF QtPixel(const QString& path, int x, int y) {
  const QRgb c = QImage(path).pixel(x, y);
  return RGB(static_cast<BYTE>(qRed(c)), static_cast<BYTE>(qGreen(c)), static_cast<BYTE>(qBlue(c)));
}

class PictureIntoBoard : public testing::Test {
 protected:
  PictureIntoBoard() : Rig(3, 3), Board(*Rig.Board) {}

  // Leaves a game in play on a numeric board, so that a load visibly changes it.
  void StartNumericGame(int columns, int rows) {
    Board.SetContentKind(TContentKind::Numeric);
    Board.SetSize(columns, rows);
    Board.Scramble();
    ASSERT_FALSE(Board.Idle);
  }

  QString Scratch(const QString& name) const { return Dir.filePath(name); }

  QString MakeJpeg(const QString& name, int width, int height) {
    const QString ppm = Scratch(name + QStringLiteral(".ppm"));
    EXPECT_TRUE(media_test::WriteBytes(
        ppm, media_test::MakePpm(width, height, media_test::TestPattern(width, height))));
    const QString jpeg = Scratch(name + QStringLiteral(".jpg"));
    media_test::RunTool(QStringLiteral("cjpeg"), {QStringLiteral("-outfile"), jpeg, ppm});
    return jpeg;
  }

  TBoardRig Rig;
  TPuzzle& Board;
  QTemporaryDir Dir;
};

// A failed load: the game in progress as it was, without a picture or palette of the
// failed one.
void ExpectGameKeptAfterFailure(const TPuzzle& board, TContentKind kind, int columns) {
  EXPECT_EQ(board.Picture, nullptr);
  EXPECT_EQ(board.Palette, nullptr);
  EXPECT_FALSE(board.Idle);
  EXPECT_EQ(board.ContentKind, kind);
  EXPECT_EQ(board.Columns, columns);
}

TEST_F(PictureIntoBoard, BmpBecomesThePictureAndTheBoardIsRebuiltAroundIt) {
  StartNumericGame(3, 3);
  TModalLog messages;
  const std::string path = SuitePath("g/pal8.bmp");
  ASSERT_TRUE(Board.LoadPicture(path.c_str(), true));
  EXPECT_TRUE(messages.Requests.empty());
  ASSERT_NE(Board.Picture, nullptr);
  EXPECT_EQ(Board.Picture->Width(), 127);
  EXPECT_EQ(Board.Picture->Height(), 64);
  EXPECT_EQ(Board.ContentKind, TContentKind::Picture);
  EXPECT_TRUE(Board.Idle);
  EXPECT_EQ(BoardText(Board), "1 2 3 / 4 5 6 / 7 8 _");
  // 127 / 3 = 42 and 64 / 3 = 21: the rest at the right and bottom is never shown.
  const TRect source = Board.Pieces[1][2]->Source;
  EXPECT_EQ((std::vector<int>{source.left, source.top, source.right, source.bottom}),
            (std::vector<int>{84, 21, 126, 42}));
  const QString qtPath = QString::fromStdString(path);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{126, 63}, std::pair{60, 30}}) {
    EXPECT_EQ(PicturePixel(Board, x, y), QtPixel(qtPath, x, y)) << x << ", " << y;
  }
}

TEST_F(PictureIntoBoard, PicturesWithoutColourTableShareTheHalftonePaletteOnAPaletteDisplay) {
  const std::string jpeg = Local(MakeJpeg(QStringLiteral("photo"), 40, 30));
  // Either kind of display, whatever the test machine's is.
  for (const bool paletteDevice : {true, false}) {
    SCOPED_TRACE(paletteDevice ? "256 colours" : "true colour");
    Board.PaletteDevice = paletteDevice;
    Board.HalftonePalette = paletteDevice ? std::make_unique<THalftonePalette>() : nullptr;
    const THalftonePalette* halftone = Board.HalftonePalette.get();
    TModalLog messages;
    for (const std::string& path : {SuitePath("g/rgb24.bmp"), SuitePath("g/rgb16.bmp"), jpeg}) {
      SCOPED_TRACE(path);
      ASSERT_TRUE(Board.LoadPicture(SuitePath("g/pal8.bmp").c_str(), true));
      ASSERT_NE(Board.Palette, nullptr);  // its own, from its colour table
      ASSERT_NE(Board.Palette, halftone);
      ASSERT_TRUE(Board.LoadPicture(path.c_str(), true));
      EXPECT_NE(Board.Picture, nullptr);
      EXPECT_EQ(Board.Palette, halftone);
    }
    // The next picture releases only a palette of the board's own: the shared one lives on.
    ASSERT_TRUE(Board.LoadPicture(SuitePath("g/pal8.bmp").c_str(), true));
    EXPECT_EQ(Board.HalftonePalette.get(), halftone);
    if (halftone != nullptr) {
      EXPECT_EQ(halftone->GetNumEntries(), 256);
    }
    EXPECT_TRUE(messages.Requests.empty());
  }
}

TEST_F(PictureIntoBoard, JpegBecomesThePictureWithDjpegsPixels) {
  const QString jpeg = MakeJpeg(QStringLiteral("photo"), 50, 20);
  const auto decoded = media_test::RunTool(QStringLiteral("djpeg"), {jpeg});
  ASSERT_TRUE(decoded);
  const auto expected = media_test::ParsePnm(*decoded);
  ASSERT_TRUE(expected);
  TModalLog messages;
  ASSERT_TRUE(Board.LoadPicture(Local(jpeg).c_str(), true));
  EXPECT_TRUE(messages.Requests.empty());
  ASSERT_EQ(Board.Picture->Width(), 50);
  ASSERT_EQ(Board.Picture->Height(), 20);
  for (const auto& [x, y] :
       {std::pair{0, 0}, std::pair{49, 0}, std::pair{0, 19}, std::pair{31, 7}}) {
    const std::uint8_t* p = expected->At(x, y);
    EXPECT_EQ(PicturePixel(Board, x, y), RGB(p[0], p[1], p[2])) << x << ", " << y;
  }
}

TEST_F(PictureIntoBoard, WithoutRelayoutTheBoardKeepsItsPosition) {
  StartNumericGame(4, 3);
  const std::string before = BoardText(Board);
  ASSERT_TRUE(Board.LoadPicture(SuitePath("g/rgb24.bmp").c_str(), false));
  EXPECT_NE(Board.Picture, nullptr);
  EXPECT_EQ(BoardText(Board), before);
  EXPECT_EQ(Board.ContentKind, TContentKind::Numeric);
  EXPECT_TRUE(Board.Idle);
}

TEST_F(PictureIntoBoard, LongNamesAreCutAtCharactersNotBytes) {
  TModalLog messages;
  Board.ReportOpenFailure("0123456789abcdefghijABCDEFGHIJ0123456789abcdefghijXYZ.bmp");
  Board.ReportOpenFailure("0123456789abcdefghijABCDEFGHIJ0123456789abcdefghi.bmp");
  // Characters, not bytes: the accented letter at the cut stays whole.
  Board.ReportOpenFailure("0123456789abcdefghijABCDEFGHIJ0123456789abcdefghi\xC3\xA9\xC3\xA9.jpg");
  Board.ReportOpenFailure(nullptr);
  EXPECT_EQ(messages.Texts(),
            (std::vector<std::string>{
                "Unable to open 0123456789abcdefghijABCDEFGHIJ0123456789abcdefghij.",
                "Unable to open 0123456789abcdefghijABCDEFGHIJ0123456789abcdefghi..",
                "Unable to open 0123456789abcdefghijABCDEFGHIJ0123456789abcdefghi\xC3\xA9.",
                "Unable to open ."}));
  for (const TModalRequest& r : messages.Requests) {
    EXPECT_EQ(r.Caption, "Kavro");
    EXPECT_EQ(r.Flags, StopOk);
  }
}

TEST_F(PictureIntoBoard, MissingJpegWritesToStandardErrorAndReportsTheName) {
  TModalLog messages;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Board.LoadPicture("gone.jpg", true));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "can't open gone.jpg\n");
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Unable to open gone.jpg."});
}

TEST_F(PictureIntoBoard, APictureTooLargeForABitmapIsReportedAndNothingIsKept) {
  // 40000 x 2 pixels of one bit: a small file, but wider than any bitmap may be.
  std::vector<std::uint8_t> bmp = {'B', 'M', 0, 0,    0,    0, 0, 0, 0, 0, 62, 0, 0, 0, 40,
                                   0,   0,   0, 0x40, 0x9C, 0, 0, 2, 0, 0, 0,  1, 0, 1, 0};
  bmp.resize(54, 0);
  bmp.insert(bmp.end(), {0, 0, 0, 0, 255, 255, 255, 0});
  bmp.resize(62 + 2 * 5000, 0x55);
  const QString path = Scratch(QStringLiteral("wide.bmp"));
  ASSERT_TRUE(media_test::WriteBytes(path, bmp));
  StartNumericGame(3, 3);
  const std::string before = BoardText(Board);
  TModalLog messages;
  EXPECT_FALSE(Board.LoadPicture(Local(path).c_str(), true));
  ASSERT_EQ(messages.Requests.size(), 1u);
  EXPECT_EQ(messages.Requests[0].Text.rfind("Unable to open ", 0), 0u);
  // The palette made from its colour table goes with it.
  ExpectGameKeptAfterFailure(Board, TContentKind::Numeric, 3);
  EXPECT_EQ(BoardText(Board), before);
}

TEST_F(PictureIntoBoard, EveryFileOfTheBmpSuiteGivesAPictureOrOneMessage) {
  const std::set<std::string> allowed = {"This program does NOT support compressed BMP file."};
  int pictures = 0;
  int refusals = 0;
  const TBitmap* previous = nullptr;
  for (const char* folder : {"g", "q", "b", "x"}) {
    const QDir dir(BmpSuite(QString::fromLatin1(folder)));
    for (const QString& name : dir.entryList({QStringLiteral("*.bmp")}, QDir::Files)) {
      const std::string path = Local(dir.filePath(name));
      SCOPED_TRACE(path);
      TModalLog messages;
      if (Board.LoadPicture(path.c_str(), true)) {
        EXPECT_TRUE(messages.Requests.empty());
        ASSERT_NE(Board.Picture, nullptr);
        EXPECT_EQ(Board.ContentKind, TContentKind::Picture);
        previous = Board.Picture.get();
        ++pictures;
      } else {
        ASSERT_EQ(messages.Requests.size(), 1u);
        const std::string& text = messages.Requests[0].Text;
        EXPECT_TRUE(allowed.contains(text) || text.rfind("Unable to open ", 0) == 0) << text;
        EXPECT_EQ(Board.Picture.get(), previous) << "the picture before stays";
        ++refusals;
        if (std::string(folder) == "g") {
          EXPECT_EQ(text, "This program does NOT support compressed BMP file.");
        }
      }
    }
  }
  EXPECT_GE(pictures, 50);
  EXPECT_GE(refusals, 30);
}

// ---------------------------------------------------------------------------------------
// Phone photos stored sideways, with an Orientation tag

class TurnedPhoto : public testing::Test {
 protected:
  TurnedPhoto() : Rig(4, 3), Board(*Rig.Board) {}

  // A photo of whole blocks in full-resolution colour (halved colour would add the
  // upsampling's rounding, which is not symmetric), and a copy with the segment given.
  QString Photo(int width, int height) {
    const QString ppm = Dir.filePath(QStringLiteral("photo.ppm"));
    EXPECT_TRUE(WriteBytes(ppm, MakePpm(width, height, TestPattern(width, height))));
    QString jpeg = Dir.filePath(QStringLiteral("photo.jpg"));
    EXPECT_TRUE(RunTool("cjpeg", {"-sample", "1x1", "-outfile", jpeg, ppm}));
    return jpeg;
  }
  std::string Tagged(const QString& jpeg, const QByteArray& segment, const QString& name) {
    const QString path = Dir.filePath(name);
    EXPECT_TRUE(WriteBytes(path, media_test::WithSegment(media_test::ReadBytes(jpeg), segment)));
    return Local(path);
  }
  // The pictures' pixels that differ by more than tolerance in a channel.
  static int Differing(TBitmap& a, TBitmap& b, int tolerance) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    TMemoryDC da(a), db(b);
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y) {
      for (int x = 0; x < a.Width(); ++x) {
        const COLORREF p = da.GetPixel(x, y), q = db.GetPixel(x, y);
        differing += std::abs(GetRValue(p) - GetRValue(q)) > tolerance ||
                     std::abs(GetGValue(p) - GetGValue(q)) > tolerance ||
                     std::abs(GetBValue(p) - GetBValue(q)) > tolerance;
      }
    }
    return differing;
  }

  TBoardRig Rig;
  TPuzzle& Board;
  QTemporaryDir Dir;
};

TEST_F(TurnedPhoto, EveryOrientationShowsOnTheBoardAsJpegtranTurnsTheFile) {
  const QString jpeg = Photo(64, 40);
  const char* const turns[] = {"",           "-flip horizontal", "-rotate 180", "-flip vertical",
                               "-transpose", "-rotate 90",       "-transverse", "-rotate 270"};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    // jpegtran turns the blocks without loss; the tools' pixels are djpeg's of its file.
    const auto turned =
        RunTool("jpegtran", QStringList{"-perfect", "-outfile", Dir.filePath("t.jpg")} +
                                QString(turns[orientation - 1]).split(' ', Qt::SkipEmptyParts) +
                                QStringList{jpeg});
    TBoardRig tools(4, 3);
    ASSERT_TRUE(turned && tools.Board->LoadPicture(Local(Dir.filePath("t.jpg")).c_str(), true));
    TModalLog messages;
    ASSERT_TRUE(Board.LoadPicture(
        Tagged(jpeg, media_test::ExifSegment(orientation, orientation < 5), "tagged.jpg").c_str(),
        true));
    EXPECT_TRUE(messages.Requests.empty());
    // Turned coefficients and turned pixels round differently in the inverse DCT.
    EXPECT_EQ(Differing(*Board.Picture, *tools.Board->Picture, 2), 0);
    EXPECT_EQ(Board.Pieces[2][3]->Source.bottom, Board.Picture->Height() / 3 * 3);
  }
}

TEST_F(TurnedPhoto, DamagedTagsLeaveThePictureAsStored) {
  const QString jpeg = Photo(32, 16);
  TBoardRig plain(4, 3);
  ASSERT_TRUE(plain.Board->LoadPicture(Local(jpeg).c_str(), true));
  // IFD0 past the segment's end; the Orientation entry cut short by the segment's length
  // (the bytes after it are the picture's).
  const QByteArray good = media_test::ExifSegment(6, false);
  QByteArray cut = good.left(41);
  cut[3] = static_cast<char>(cut.size() - 2);
  for (const QByteArray& segment :
       {QByteArray(good).replace(14, 2, QByteArray("\0\x01", 2)), cut}) {
    TModalLog messages;
    ASSERT_TRUE(Board.LoadPicture(Tagged(jpeg, segment, "damaged.jpg").c_str(), true));
    EXPECT_TRUE(messages.Requests.empty());
    EXPECT_EQ(Differing(*Board.Picture, *plain.Board->Picture, 0), 0);
  }
}

TEST_F(TurnedPhoto, ASavedGameOfATurnedPhotoLoadsBackOntoTheSameBoard) {
  const std::string path = Tagged(Photo(48, 32), media_test::ExifSegment(8, true), "phone.jpg");
  ASSERT_TRUE(Board.LoadPicture(path.c_str(), true));
  Board.Scramble();
  const std::string game = Local(Dir.filePath("game.kvr"));
  ASSERT_TRUE(Board.SaveGame(game.c_str(), path.c_str(), 42));
  TBoardRig loader(3, 3);
  TModalLog messages;
  const auto loaded = LoadSaved(*loader.Board, game);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Picture, path);
  EXPECT_TRUE(messages.Requests.empty());
  EXPECT_EQ(BoardText(*loader.Board), BoardText(Board));
  ASSERT_NE(loader.Board->Picture, nullptr);
  EXPECT_EQ(loader.Board->Picture->Width(), 32);
  EXPECT_EQ(Differing(*loader.Board->Picture, *Board.Picture, 0), 0);
  for (int cell = 0; cell < 12; ++cell) {
    EXPECT_EQ(loader.Board->Pieces[cell / 4][cell % 4]->Source,
              Board.Pieces[cell / 4][cell % 4]->Source);
  }
}

TEST_F(TurnedPhoto, APhotoTooBigForTheMemoryLeftIsReportedWithoutACrash) {
#if defined(KAVRO_ADDRESS_SANITIZER)
  GTEST_SKIP() << "the address sanitizer needs more address space than any limit leaves";
#else
  // 24 MiB of display bitmap, under a limit that lets the process grow by 16 MiB.
  const std::string path = Tagged(Photo(2048, 3072), media_test::ExifSegment(6, false), "big.jpg");
  Board.SetContentKind(TContentKind::Numeric);
  // A fresh run of this test alone, so that no free memory earlier tests left in the heap
  // can hold the picture, and big blocks from fresh mappings: the limit alone decides.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto loadUnderLimit = [&] {
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line) && line.rfind("VmSize:", 0) != 0) {
    }
    const rlim_t bytes = static_cast<rlim_t>(std::atol(line.c_str() + 7) + 16L * 1024) * 1024;
    const rlimit limit{bytes, bytes};
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(2);
    TModalLog messages;
    const bool loaded = Board.LoadPicture(path.c_str(), true);
    for (const std::string& text : messages.Texts())
      std::fprintf(stderr, "shown: %s\n", text.c_str());
    const bool told =
        messages.Texts() == std::vector<std::string>{"Unable to open " + path.substr(0, 50) + "."};
    const bool unchanged = Board.Picture == nullptr && Board.ContentKind == TContentKind::Numeric &&
                           Board.Columns == 4 && Board.Rows == 3;
    _exit(!loaded && told && unchanged ? 0 : 1);
  };
  EXPECT_EXIT(loadUnderLimit(), testing::ExitedWithCode(0), "");
  // Without the limit the same photo loads, upright.
  ASSERT_TRUE(Board.LoadPicture(path.c_str(), true));
  EXPECT_EQ(Board.Picture->Width(), 3072);
#endif
}

}  // namespace
