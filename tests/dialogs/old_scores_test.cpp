// The start-up steps for previous versions' score files: the one-time deletion, the
// one-time import with its question, and the conversion of old list files.
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/best_times.h"
#include "dialogs/old_scores.h"
#include "framework/windows/responder.h"
#include "score_fixture.h"

namespace {

class OldScoresTest : public ScoreFilesTest {
 protected:
  // Answers every message box with answer and keeps what it was asked.
  TScopedModalResponder Answer(int answer) {
    return TScopedModalResponder([this, answer](const TModalRequest& request) {
      Asked.push_back(request);
      return TModalAnswer(answer);
    });
  }
  std::string Settings() const { return Path("kavro.ini"); }
  bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

  std::vector<TModalRequest> Asked;
};

std::string Entry(const char* listName, TGameType type, int index) {
  char line[100];
  return TBestTimes(listName, type).GetEntry(index, line, sizeof line) ? line : "<none>";
}

TEST_F(OldScoresTest, ConversionMakesOneEntryOfEachNameAndTimePairWithoutGaps) {
  const std::string old = Path("Scores.ini");
  Put(old,
      "N1=Lost\nT1=1\n"  // before any list
      "[C:\\Pics\\Sea.bmp]\r\nN1=Bob\r\nT1=95\r\n"
      "[/pics/Sea.bmp]\nT1=95\nN1=Bob\nN3=Cy\nT3=30\nN0=Zero\nT0=1\nNx=X\nTx=2\n"
      "[/p/S]ea.bmp]\nN2=" +
          std::string(80, 'L') +
          "\nT2=1234567890123456\n"
          "[/p/Two.bmp]\nN2=Ann\nT2=5\nN1=Al\nT3=7\nN1=Al\nT1=9\n[/p/Three.bmp]\nT1=4\n");
  ConvertOldScoreFile(old.c_str(), TGameType::Sliding);
  const std::string record = " 3~ 3 (9 pieces)~Bob~95";
  EXPECT_EQ(Value(Scores("TimesS.ini"), "C:\\Pics\\Sea.bmp", "0"), record.substr(1));
  const char* bob = " 3 x  3 (9 pieces)\tBob\t00:01:35";
  EXPECT_EQ(Entry("C:\\Pics\\Sea.bmp", TGameType::Sliding, 0), bob);
  EXPECT_EQ(Entry("/pics/Sea.bmp", TGameType::Sliding, 0), bob);
  EXPECT_EQ(Entry("/pics/Sea.bmp", TGameType::Sliding, 1), " 5 x  5 (25 pieces)\tCy\t00:00:30");
  EXPECT_EQ(Entry("/pics/Sea.bmp", TGameType::Sliding, 2), "<none>");
  EXPECT_EQ(Entry("/p/S]ea.bmp", TGameType::Sliding, 0),
            " 4 x  4 (16 pieces)\t" + std::string(51, 'L') + "\t596523:14:07");
  EXPECT_EQ(Entry("/p/Two.bmp", TGameType::Sliding, 0), " 4 x  4 (16 pieces)\tAnn\t00:00:05");
  EXPECT_EQ(Entry("/p/Two.bmp", TGameType::Sliding, 1), " 3 x  3 (9 pieces)\tAl\t00:00:09");
  EXPECT_EQ(Entry("/p/Three.bmp", TGameType::Sliding, 0), "<none>");  // no name from another list
  EXPECT_EQ(Contents(Scores("Times.ini")), "");
}

// The old files name pictures as a system that ignores case in file names does.
TEST_F(OldScoresTest, ConversionMergesListsWhoseNamesDifferInCaseKeepingTheBestTimes) {
  const std::string old = Path("Scores.ini");
  Put(old,
      "[c:\\Pics\\Sky.bmp]\nN2=Cy\nT2=30\nN3=Ed\nT3=50\n"
      "[C:\\Pics\\Sky.bmp]\nN4=Di\nT4=400\nN2=Fa\nT2=20\nN3=Gu\nT3=60\n"
      "[c:\\pics\\sky.bmp]\nN2=Ho\nT2=x\n");
  ConvertOldScoreFile(old.c_str(), TGameType::Sliding);
  const char* sky = "c:\\Pics\\Sky.bmp";
  const struct {
    int index;
    const char* line;
  } expected[] = {{0, " 4 x  4 (16 pieces)\tFa\t00:00:20"},
                  {1, " 5 x  5 (25 pieces)\tEd\t00:00:50"},
                  {2, " 6 x  6 (36 pieces)\tDi\t00:06:40"},
                  {3, "<none>"}};
  for (const auto& entry : expected) {
    EXPECT_EQ(Entry(sky, TGameType::Sliding, entry.index), entry.line) << entry.index;
  }
  EXPECT_EQ(Entry("C:\\Pics\\Sky.bmp", TGameType::Sliding, 0), "<none>");
  EXPECT_EQ(Entry("c:\\pics\\sky.bmp", TGameType::Sliding, 0), "<none>");
}

TEST_F(OldScoresTest, FormatChangeDeletesOnlyTheGameDirectorysOldFilesOnce) {
  const std::string elsewhere = Path("Scores/Scores.ini");  // not where the game looks
  Put(elsewhere, "[x]\n");
  auto responder = Answer(IDOK);
  CheckScoreFormatChange(Settings().c_str(), nullptr);
  EXPECT_TRUE(Asked.empty());
  EXPECT_EQ(Value(Settings(), "KAVRO", "FIRST"), "1");

  WritePrivateProfileStringA("KAVRO", "FIRST", "0", Settings().c_str());
  Put(Path("Scorej.ini"), "[x]\n");
  Put(Path("Scores.ini"), "[x]\n");
  CheckScoreFormatChange(Settings().c_str(), nullptr);
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].Text,
            "The new version of Kavro uses a timer to track the high scores, instead of number "
            "of moves. Your current high scores now will be deleted.");
  EXPECT_EQ(Asked[0].Caption, "Kavro");
  EXPECT_EQ(Asked[0].Flags, MB_OK | MB_ICONINFORMATION);
  EXPECT_FALSE(Exists(Path("Scores.ini")) || Exists(Path("Scorej.ini")));
  EXPECT_TRUE(Exists(elsewhere));

  Put(Path("Scores.ini"), "[x]\n");
  CheckScoreFormatChange(Settings().c_str(), nullptr);  // "FIRST" is 1 now
  EXPECT_EQ(Asked.size(), 1u);
  EXPECT_TRUE(Exists(Path("Scores.ini")));
}

TEST_F(OldScoresTest, ImportAsksOnceAndConvertsOnlyOnYes) {
  const std::string lists = "[Alphabet]\nN1=Al\nT1=10\n";
  for (const int answer : {IDNO, IDYES}) {
    Asked.clear();
    auto responder = Answer(answer);
    ImportOldScores(Settings().c_str(), nullptr);  // no "PIECES": nothing
    Put(Path("Scores.ini"), lists);
    Put(Path("Scorej.ini"), lists);
    WritePrivateProfileStringA("KAVRO", "PIECES", "4", Settings().c_str());
    ImportOldScores(Settings().c_str(), nullptr);
    ImportOldScores(Settings().c_str(), nullptr);
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].Text,
              "Kavro found the high scores lists of the previous version of Kavro. Do you want "
              "to use them in this new version?");
    EXPECT_EQ(Asked[0].Flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(Value(Settings(), "KAVRO", "PIECES"), "-");
    EXPECT_FALSE(Exists(Path("Scores.ini")) || Exists(Path("Scorej.ini")));
    const char* expected = answer == IDYES ? " 3 x  3 (9 pieces)\tAl\t00:00:10" : "<none>";
    EXPECT_EQ(Entry("Alphabet", TGameType::Sliding, 0), expected);
    EXPECT_EQ(Entry("Alphabet", TGameType::Jigsaw, 0), expected);
  }
  // No old lists left: the key goes without a question.
  WritePrivateProfileStringA("KAVRO", "PIECES", "4", Settings().c_str());
  Asked.clear();
  auto responder = Answer(IDYES);
  ImportOldScores(Settings().c_str(), nullptr);
  EXPECT_TRUE(Asked.empty());
  EXPECT_EQ(Value(Settings(), "KAVRO", "PIECES"), "-");
}

}  // namespace
