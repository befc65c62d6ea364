// The best-times store on real score files: reading both record forms, the best-time
// rule, recording, rewriting, and which file and section a list lives in.
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/best_times.h"
#include "dialogs/score_files.h"
#include "dialogs/score_record.h"
#include "score_fixture.h"

namespace {

using BestTimesTest = ScoreFilesTest;

std::string Entry(const TBestTimes& list, int index, int capacity = 100) {
  std::vector<char> line(static_cast<std::size_t>(capacity), '#');
  return list.GetEntry(index, line.data(), capacity) ? std::string(line.data()) : "<none>";
}

TEST_F(BestTimesTest, RecordsOfEitherFormReadAsOneDisplayLine) {
  const struct {
    const char* record;
    const char* line;
  } cases[] = {
      {" 4~ 5 (20 pieces)~Ann~125", " 4 x  5 (20 pieces)\tAnn\t00:02:05"},
      {" 4~ 5~Ann~125", " 4 x  5 (20 pieces)\tAnn\t00:02:05"},
      {"4~ 5~Ann~125", " 4 x  5 (20 pieces)\tAnn\t00:02:05"},
      {"10~12~Bo~Bi~360000", "10 x 12 (120 pieces)\tBo~Bi\t100:00:00"},
      {" 3~ 3~Al~x", " 3 x  3 (9 pieces)\tAl\t00:00:00"},
      {" 3~ 3~Al", " 3 x  3 (9 pieces)\tAl\t00:00:00"},
      {" 3~ 3~Al~-5", " 3 x  3 (9 pieces)\tAl\t00:00:00"},
      {" 3~ 3~Al~99999999999999", " 3 x  3 (9 pieces)\tAl\t596523:14:07"},
      {"abcd", "abcd"},
  };
  const TBestTimes list("Alphabet", TGameType::Sliding);
  for (const auto& c : cases) {
    WritePrivateProfileStringA("Alphabet", "0", c.record, Scores("Times.ini").c_str());
    EXPECT_EQ(Entry(list, 0), c.line) << c.record;
    EXPECT_EQ(Entry(list, 1), "<none>");
    EXPECT_EQ(Entry(list, 0, 8), std::string(c.line).substr(0, 7));  // cut to the capacity
  }
  WritePrivateProfileStringA("Alphabet", "0", "abc", Scores("Times.ini").c_str());
  EXPECT_EQ(Entry(list, 0), "<none>");  // too short: the list ends
}

TEST_F(BestTimesTest, OnlyAFasterTimeOrANewSizeEntersAndIsRecordedInItsPlace) {
  TBestTimes list("Alphabet", TGameType::Sliding);
  EXPECT_TRUE(list.IsBestTime(3, 3, 99, 0, 0));
  list.RecordTime(3, 3, 0, 1, 40, "Al");
  list.RecordTime(4, 4, 0, 0, 0, "Bo");  // a stored time of 0
  const struct {
    int columns, rows, seconds;
    bool best;
  } cases[] = {{3, 3, 100, false}, {3, 3, 99, true}, {4, 4, 5000, true}, {5, 4, 1, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(list.IsBestTime(c.columns, c.rows, 0, 0, c.seconds), c.best) << c.columns << c.rows;
  }
  list.RecordTime(3, 3, 0, 0, 100, "Slow");  // equal: nothing changes
  list.RecordTime(5, 5, 0, 0, 50, "Cy");     // a new size: key "2"
  list.RecordTime(3, 3, 0, 1, 30, "Dee");    // better: key "0" in place
  const std::string file = Scores("Times.ini");
  EXPECT_EQ(Contents(file),
            "[Alphabet]\n0= 3~ 3 (9 pieces)~Dee~90\n1= 4~ 4 (16 pieces)~Bo~0\n"
            "2= 5~ 5 (25 pieces)~Cy~50\n");
  // A too short record ends the list: a new entry takes its key, not one past it.
  WritePrivateProfileStringA("Alphabet", "2", "x", file.c_str());
  list.RecordTime(6, 6, 0, 0, 7, "Ed");
  EXPECT_EQ(Entry(list, 2), " 6 x  6 (36 pieces)\tEd\t00:00:07");
}

TEST_F(BestTimesTest, EachTypeAndFileNameLetterHasItsFileAndEachListItsSection) {
  const struct {
    const char* name;
    TGameType type;
    const char* file;
  } cases[] = {
      {"Alphabet", TGameType::Sliding, "Times.ini"},
      {"Alphabet", TGameType::Jigsaw, "Timej.ini"},
      {"/pics/Sea.bmp", TGameType::Sliding, "TimesS.ini"},
      {"/other/Sky.bmp", TGameType::Sliding, "TimesS.ini"},
      {"/pics/sea.bmp", TGameType::Sliding, "Timess.ini"},
      {"C:\\Pics\\Sea.bmp", TGameType::Jigsaw, "TimejS.ini"},
      {"/pics/a\\b.bmp", TGameType::Sliding, "Timesa.ini"},
      {"/pics/\xC3\x84pfel.jpg", TGameType::Sliding, "Times\xC3\x84.ini"},
      {"/pics/\x84pfel.jpg", TGameType::Sliding, "Times.ini"},
      {"/pics/\npfel.jpg", TGameType::Sliding, "Times.ini"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(ScoreFilePath(cases[i].name, cases[i].type), Scores(cases[i].file));
    TBestTimes(cases[i].name, cases[i].type).RecordTime(3, 3, 0, 0, static_cast<int>(i + 10), "P");
  }
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const TBestTimes list(cases[i].name, cases[i].type);
    EXPECT_EQ(Entry(list, 0), " 3 x  3 (9 pieces)\tP\t00:00:" + std::to_string(i + 10));
    EXPECT_EQ(Entry(list, 1), "<none>");
  }
}

TEST_F(BestTimesTest, NamesTheProfileCannotCarryKeepTheirOwnListsAndOthersStayAsTheyAre) {
  const std::vector<std::string> names = {"/p/Sea.bmp",    "/p/Sea.bmp ",   " /p/Sea.bmp",
                                          "/p/S]ea.bmp",   "/p/S%5Dea.bmp", "/p/Se\na.bmp",
                                          "/p/Se\ra.bmp",  "/p/Se\ta.bmp",  "/p/SEA.bmp;",
                                          "/p/S[ea=1.bmp", "/p/S%ea.bmp"};
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      TBestTimes(names[i].c_str(), TGameType::Sliding)
          .RecordTime(3, 3, 0, 0, static_cast<int>(30 - i - round), "P");
    }
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    const TBestTimes list(names[i].c_str(), TGameType::Sliding);
    EXPECT_EQ(Entry(list, 0), " 3 x  3 (9 pieces)\tP\t00:00:" + std::to_string(29 - i)) << names[i];
    EXPECT_EQ(Entry(list, 1), "<none>");
  }
  // Built without "\n" + a temporary, which GCC 12 at -O3 wrongly warns of as an overlap.
  const std::string file = std::string("\n").append(Contents(Scores("TimesS.ini")));
  EXPECT_EQ(std::count(file.begin(), file.end(), '['), static_cast<long>(names.size() + 1));
  for (const char* plain :
       {"\n[/p/Sea.bmp]\n", "\n[/p/SEA.bmp;]\n", "\n[/p/S[ea=1.bmp]\n", "\n[/p/S%ea.bmp]\n"}) {
    EXPECT_NE(file.find(plain), std::string::npos) << plain;
  }
}

TEST_F(BestTimesTest, RewriteStoresShortRecordsUnderConsecutiveKeysAndSkipsBadLines) {
  TBestTimes list("Numeric", TGameType::Jigsaw);
  list.RecordTime(9, 9, 0, 0, 1, "Old");
  list.RewriteList({});
  EXPECT_EQ(Entry(list, 0), " 9 x  9 (81 pieces)\tOld\t00:00:01");
  list.RewriteList({"", " 0 x  5 (0 pieces)\tZero\t00:00:01", " 4 x  5 (20 pieces)\tAnn\t100:02:05",
                    std::string(" 5 x  5 (25 pieces)\t") + std::string(80, 'L') + "\t00:00:01",
                    " 6 x  3 (18 pieces)\tB\tC\t00:00:09",
                    " 7 x  7 (49 pieces)\tNew\nline\t00:00:09"});
  EXPECT_EQ(Contents(Scores("Timej.ini")),
            "[Numeric]\n0= 4~ 5~Ann~360125\n1= 6~ 3~B\tC~9\n2= 7~ 7~New line~9\n");
}

// Paths that differ only in case are different pictures here; the kinds' own lists keep
// the profile's rule, and lists stored before stay where they were.
TEST_F(BestTimesTest, APicturesListIsFoundOnlyByItsExactPath) {
  Put(Scores("TimesS.ini"), "[/p/Sea.bmp]\n0= 3~ 3 (9 pieces)~Old~50\n");
  Put(Scores("Times.ini"), "[alphabet]\n0= 4~ 4~Al~70\n");
  EXPECT_EQ(Entry(TBestTimes("Alphabet", TGameType::Sliding), 0),
            " 4 x  4 (16 pieces)\tAl\t00:01:10");
  TBestTimes sea("/p/Sea.bmp", TGameType::Sliding);
  TBestTimes upper("/p/SEA.bmp", TGameType::Sliding);
  EXPECT_EQ(Entry(sea, 0), " 3 x  3 (9 pieces)\tOld\t00:00:50");
  EXPECT_EQ(Entry(upper, 0), "<none>");
  EXPECT_TRUE(upper.IsBestTime(3, 3, 0, 1, 0)) << "slower than the other picture's best";
  upper.RecordTime(3, 3, 0, 1, 0, "New");
  upper.RecordTime(3, 3, 0, 0, 40, "Newer");
  EXPECT_EQ(Entry(upper, 0), " 3 x  3 (9 pieces)\tNewer\t00:00:40");
  EXPECT_EQ(Entry(sea, 0), " 3 x  3 (9 pieces)\tOld\t00:00:50");
  sea.ResetList();
  EXPECT_EQ(Entry(sea, 0), "<none>");
  EXPECT_EQ(Entry(upper, 0), " 3 x  3 (9 pieces)\tNewer\t00:00:40");
}

// A name of 28 characters of three bytes each is kept whole, read back and rewritten.
TEST_F(BestTimesTest, NonAsciiNamesAreKeptWholeThroughRecordAndRewrite) {
  std::string name;
  for (int i = 0; i < 28; ++i) name += "\xE8\xAA\x9E";
  TBestTimes list("/p/x.bmp", TGameType::Sliding);
  list.RecordTime(10, 10, 1, 0, 0, name.c_str());
  const std::string line = " 10 x 10 (100 pieces)\t" + name + "\t01:00:00";
  EXPECT_EQ(Entry(list, 0, ScoreLineSize), line.substr(1));
  list.RewriteList({Entry(list, 0, ScoreLineSize)});
  EXPECT_EQ(Entry(list, 0, ScoreLineSize), line.substr(1));
  // A small buffer cuts the line on a character.
  EXPECT_EQ(Entry(list, 0, 26), line.substr(1, 21) + "\xE8\xAA\x9E");
}

}  // namespace
