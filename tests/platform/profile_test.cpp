// Tests of the profile (INI file) functions against hand-written files.
#include "platform/profile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if defined(__unix__)
#include <sys/resource.h>

#include <csignal>
#endif

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// Every test gets its own fresh directory, removed afterwards.
class ProfileTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string base = std::string("kavro_profile_") +
                             testing::UnitTest::GetInstance()->current_test_info()->name();
    for (int n = 0; dir_.empty(); ++n) {
      fs::path candidate = fs::temp_directory_path() / (base + "_" + std::to_string(n));
      std::error_code error;
      if (fs::create_directory(candidate, error)) dir_ = candidate;
      ASSERT_LT(n, 1000) << "no fresh directory under " << fs::temp_directory_path();
    }
  }

  void TearDown() override {
    std::error_code error;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(dir_, error);
  }

  std::string Path(const std::string& name = "test.ini") const { return (dir_ / name).string(); }

  void Put(const std::string& content, const std::string& name = "test.ini") const {
    std::ofstream out(dir_ / name, std::ios::binary);
    out << content;
    ASSERT_TRUE(out.good());
  }

  std::string Contents(const std::string& name = "test.ini") const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // A single value read through a roomy buffer; checks the count against the terminator.
  std::string Get(const char* section, const char* key, const char* defaultValue = "(default)",
                  const std::string& name = "test.ini") const {
    char buffer[512];
    std::memset(buffer, 'x', sizeof buffer);
    const DWORD count = GetPrivateProfileStringA(section, key, defaultValue, buffer, sizeof buffer,
                                                 Path(name).c_str());
    EXPECT_LT(count, sizeof buffer);
    EXPECT_EQ(std::strlen(buffer), count);
    return std::string(buffer, count);
  }

  UINT Int(const char* section, const char* key, int defaultValue = 99) const {
    return GetPrivateProfileIntA(section, key, defaultValue, Path().c_str());
  }

  BOOL Write(const char* section, const char* key, const char* value,
             const std::string& name = "test.ini") const {
    return WritePrivateProfileStringA(section, key, value, Path(name).c_str());
  }

  // The raw bytes a call leaves in a buffer of the given size, which sits inside a larger
  // one filled with '#' so that bytes written past the end show up.
  struct Result {
    DWORD count;
    std::string bytes;  // the first size + 2 bytes of the larger buffer
  };
  Result Raw(const char* section, const char* key, const char* defaultValue, DWORD size) const {
    std::vector<char> buffer(size + 2, '#');
    const DWORD count =
        GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size, Path().c_str());
    return {count, std::string(buffer.begin(), buffer.end())};
  }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

using std::string_literals::operator""s;

// ---- Lookup -------------------------------------------------------------------------------

using ProfileLookupTest = ProfileTest;

TEST_F(ProfileLookupTest, SectionAndKeyNamesIgnoreAsciiCase) {
  Put("[Kavro]\nPiecesX=5\n[MRUL]\n1=/pics/a.bmp\n");
  EXPECT_EQ(Get("KAVRO", "PIECESX"), "5");
  EXPECT_EQ(Get("kavro", "piecesx"), "5");
  EXPECT_EQ(Get("mrul", "1"), "/pics/a.bmp");
  EXPECT_EQ(Get("Kavro", "PiecesY"), "(default)");
  EXPECT_EQ(Get("Kavr", "PiecesX"), "(default)");
}

// Exact sections are found, written and deleted only as spelled; keys still ignore case.
TEST_F(ProfileLookupTest, ExactSectionsDifferInCase) {
  Put("[/p/Sea.bmp]\nK=lower\n");
  const auto exact = TSectionMatch::Exact;
  char text[32];
  const std::string path = Path();
  GetPrivateProfileStringA("/p/SEA.bmp", "k", "-", text, sizeof text, path.c_str(), exact);
  EXPECT_STREQ(text, "-");
  GetPrivateProfileStringA("/p/Sea.bmp", "k", "-", text, sizeof text, path.c_str(), exact);
  EXPECT_STREQ(text, "lower");
  ASSERT_TRUE(WritePrivateProfileStringA("/p/SEA.bmp", "K", "upper", path.c_str(), exact));
  ASSERT_TRUE(WritePrivateProfileStringA("/p/SEA.bmp", nullptr, nullptr, path.c_str(), exact));
  ASSERT_TRUE(WritePrivateProfileStringA("/p/SEA.bmp", "K", "again", path.c_str(), exact));
  EXPECT_EQ(Contents(), "[/p/Sea.bmp]\nK=lower\n[/p/SEA.bmp]\nK=again\n");
  EXPECT_EQ(Get("/P/SEA.BMP", "K"), "lower") << "the first of either spelling";
}

// A value cut by a small buffer ends on a whole UTF-8 character.
TEST_F(ProfileLookupTest, ValuesAreCutOnACharacter) {
  Put("[S]\nK=a\xC3\x84\xC3\x84\n");
  const Result cut = Raw("S", "K", "", 5);
  EXPECT_EQ(cut.count, 3u);
  EXPECT_EQ(cut.bytes.substr(0, 4), std::string("a\xC3\x84") + '\0');
}

TEST_F(ProfileLookupTest, BlanksAroundNamesAndValuesAreStripped) {
  Put("  [ Game ]  \n \t Name \t=  \t Ann Lee \t \n");
  EXPECT_EQ(Get("Game", "Name"), "Ann Lee");
  EXPECT_EQ(Get(" Game\t", "  Name "), "Ann Lee");
}

TEST_F(ProfileLookupTest, MatchingQuotesAroundValueAreRemoved) {
  Put("[Q]\n"
      "double=\"quoted value\"\n"
      "single='single'\n"
      "padded=\"  inner blanks kept  \"\n"
      "outer=  \"a\"b\"  \n"
      "mismatched=\"half'\n"
      "lone=\"\n"
      "empty=\"\"\n"
      "inside=say \"hi\" now\n");
  EXPECT_EQ(Get("Q", "double"), "quoted value");
  EXPECT_EQ(Get("Q", "single"), "single");
  EXPECT_EQ(Get("Q", "padded"), "  inner blanks kept  ");
  EXPECT_EQ(Get("Q", "outer"), "a\"b");
  EXPECT_EQ(Get("Q", "mismatched"), "\"half'");
  EXPECT_EQ(Get("Q", "lone"), "\"");
  EXPECT_EQ(Get("Q", "empty"), "");
  EXPECT_EQ(Get("Q", "inside"), "say \"hi\" now");
}

TEST_F(ProfileLookupTest, ValueRunsToEndOfLinePastSemicolonsAndEquals) {
  Put("[S]\npath=C:\\x;y=z ; not a comment\n");
  EXPECT_EQ(Get("S", "path"), "C:\\x;y=z ; not a comment");
}

TEST_F(ProfileLookupTest, CrLfEndingsAndMissingFinalNewline) {
  Put("[S]\r\nA=1\r\nB=two words\r\n[T]\r\nC=3");
  EXPECT_EQ(Get("S", "A"), "1");
  EXPECT_EQ(Get("S", "B"), "two words");
  EXPECT_EQ(Get("T", "C"), "3");
}

TEST_F(ProfileLookupTest, CommentsAndLinesWithoutEqualsAreNotKeys) {
  Put("[S]\n;A=1\n  ; C=2\nB\n=5\nD=4\n");
  EXPECT_EQ(Get("S", ";A"), "(default)");
  EXPECT_EQ(Get("S", "; C"), "(default)");
  EXPECT_EQ(Get("S", "B"), "(default)");
  EXPECT_EQ(Get("S", ""), "(default)");
  EXPECT_EQ(Get("S", "D"), "4");
  const Result keys = Raw("S", nullptr, "", 64);
  EXPECT_EQ(keys.count, 2u);
  EXPECT_EQ(keys.bytes.substr(0, 3), "D\0\0"s);
}

TEST_F(ProfileLookupTest, KeysBelongOnlyToTheirOwnSection) {
  Put("K=top\n[A]\nX=1\n\n[B]\nK=b\n");
  EXPECT_EQ(Get("A", "K"), "(default)");
  EXPECT_EQ(Get("B", "X"), "(default)");
  EXPECT_EQ(Get("B", "K"), "b");
  EXPECT_EQ(Get("", "K"), "(default)");
}

TEST_F(ProfileLookupTest, FirstOfRepeatedSectionsAndKeysCounts) {
  Put("[S]\nK=1\nk=2\n[T]\n[s]\nK=3\nL=4\n");
  EXPECT_EQ(Get("S", "K"), "1");
  EXPECT_EQ(Get("S", "L"), "(default)");
}

TEST_F(ProfileLookupTest, SectionNameRunsToLastBracket) {
  Put("[/pics/photo [1].bmp]\n0= 3~ 3~Ann~95\n[Alphabet] ; sliding\n0=x\n");
  EXPECT_EQ(Get("/pics/photo [1].bmp", "0"), "3~ 3~Ann~95");
  EXPECT_EQ(Get("Alphabet", "0"), "x");
}

TEST_F(ProfileLookupTest, UnclosedBracketLineDoesNotStartASection) {
  Put("[A]\nX=1\n[B\nY=2\n");
  EXPECT_EQ(Get("A", "Y"), "2");
  EXPECT_EQ(Get("B", "Y"), "(default)");
  EXPECT_EQ(Get("[B", "Y"), "(default)");
}

TEST_F(ProfileLookupTest, NulByteEndsTheLinesMeaning) {
  Put("[S]\nA=x\0y\nB=2\n[T\0]\nC=3\n"s);
  EXPECT_EQ(Get("S", "A"), "x");
  EXPECT_EQ(Get("S", "B"), "2");
  EXPECT_EQ(Get("S", "C"), "3");
}

// ---- Defaults -----------------------------------------------------------------------------

using ProfileDefaultTest = ProfileTest;

TEST_F(ProfileDefaultTest, MissingFileSectionOrKeyGiveTheDefault) {
  EXPECT_EQ(Get("S", "K", "none", "absent.ini"), "none");
  Put("[S]\nK=v\n");
  EXPECT_EQ(Get("Other", "K", "none"), "none");
  EXPECT_EQ(Get("S", "Other", "none"), "none");
  EXPECT_EQ(Get("S", "K", "none"), "v");
}

TEST_F(ProfileDefaultTest, NullDefaultCountsAsEmpty) {
  Put("[S]\nK=v\n");
  const Result result = Raw("S", "missing", nullptr, 8);
  EXPECT_EQ(result.count, 0u);
  EXPECT_EQ(result.bytes[0], '\0');
}

TEST_F(ProfileDefaultTest, TrailingBlanksOfDefaultAreDropped) {
  EXPECT_EQ(Get("S", "K", "  lead kept, trail dropped \t "), "  lead kept, trail dropped");
}

TEST_F(ProfileDefaultTest, EmptyValueIsAValueNotAMissingKey) {
  Put("[S]\nK=\nL=   \n");
  EXPECT_EQ(Get("S", "K"), "");
  EXPECT_EQ(Get("S", "L"), "");
}

TEST_F(ProfileDefaultTest, UnreadablePathGivesTheDefault) {
  fs::create_directory(dir_ / "folder.ini");
  EXPECT_EQ(Get("S", "K", "none", "folder.ini"), "none");
  EXPECT_EQ(GetPrivateProfileIntA("S", "K", 7, Path("folder.ini").c_str()), 7u);
  EXPECT_EQ(GetPrivateProfileIntA("S", "K", 7, nullptr), 7u);
}

// ---- Integers -----------------------------------------------------------------------------

using ProfileIntTest = ProfileTest;

TEST_F(ProfileIntTest, ReadsSignAndDigitsUpToFirstNonDigit) {
  Put("[N]\n"
      "plain=42\n"
      "lead=  \t17\n"
      "plus=+15\n"
      "minus=-7\n"
      "suffix=12abc\n"
      "spaced=1 2\n"
      "zeros=007\n"
      "quoted=\" 33\"\n"
      "hex=0x1F\n");
  EXPECT_EQ(Int("N", "plain"), 42u);
  EXPECT_EQ(Int("N", "lead"), 17u);
  EXPECT_EQ(Int("N", "plus"), 15u);
  EXPECT_EQ(Int("N", "minus"), static_cast<UINT>(-7));
  EXPECT_EQ(Int("N", "suffix"), 12u);
  EXPECT_EQ(Int("N", "spaced"), 1u);
  EXPECT_EQ(Int("N", "zeros"), 7u);
  EXPECT_EQ(Int("N", "quoted"), 33u);
  EXPECT_EQ(Int("N", "hex"), 31u);
}

TEST_F(ProfileIntTest, ExistingKeyWithoutDigitsGivesZeroNotTheDefault) {
  Put("[N]\nword=abc\nsign=-\nsignspace=- 5\nempty=\n");
  EXPECT_EQ(Int("N", "word"), 0u);
  EXPECT_EQ(Int("N", "sign"), 0u);
  EXPECT_EQ(Int("N", "signspace"), 0u);
  EXPECT_EQ(Int("N", "empty"), 0u);
}

TEST_F(ProfileIntTest, MissingKeyGivesTheDefaultWrappedToUnsigned) {
  Put("[N]\nplain=42\n");
  EXPECT_EQ(Int("N", "absent", 10000), 10000u);
  EXPECT_EQ(Int("Other", "plain", 3), 3u);
  EXPECT_EQ(Int("N", "absent", -1), 0xFFFFFFFFu);
  EXPECT_EQ(GetPrivateProfileIntA("N", "plain", 5, Path("absent.ini").c_str()), 5u);
}

// ---- Buffers, truncation and name lists ---------------------------------------------------

using ProfileBufferTest = ProfileTest;

TEST_F(ProfileBufferTest, ValueIsCutToSizeMinusOneAndTerminated) {
  Put("[S]\nK=abcdef\n");
  Result r = Raw("S", "K", "", 7);
  EXPECT_EQ(r.count, 6u);
  EXPECT_EQ(r.bytes, "abcdef\0##"s);
  r = Raw("S", "K", "", 6);
  EXPECT_EQ(r.count, 5u);
  EXPECT_EQ(r.bytes, "abcde\0##"s);
  r = Raw("S", "K", "", 3);
  EXPECT_EQ(r.count, 2u);
  EXPECT_EQ(r.bytes, "ab\0##"s);
}

TEST_F(ProfileBufferTest, DefaultIsCutLikeAValue) {
  const Result r = Raw("S", "K", "fallback", 5);
  EXPECT_EQ(r.count, 4u);
  EXPECT_EQ(r.bytes, "fall\0##"s);
}

TEST_F(ProfileBufferTest, SizeOneGivesEmptyString) {
  Put("[S]\nK=abc\n");
  const Result r = Raw("S", "K", "", 1);
  EXPECT_EQ(r.count, 0u);
  EXPECT_EQ(r.bytes, "\0##"s);
}

TEST_F(ProfileBufferTest, SizeZeroOrNullBufferWritesNothing) {
  Put("[S]\nK=abc\n");
  EXPECT_EQ(Raw("S", "K", "", 0).bytes, "##");
  EXPECT_EQ(Raw(nullptr, nullptr, "", 0).bytes, "##");
  EXPECT_EQ(Raw("S", "K", "", 0).count, 0u);
  EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", nullptr, 10, Path().c_str()), 0u);
}

TEST_F(ProfileBufferTest, SectionListHoldsEachNameOnceWithExtraTerminator) {
  Put("[One]\nA=1\n[Two]\n[one]\n; [Not]\n[Three]\n");
  const Result r = Raw(nullptr, nullptr, "ignored", 16);
  EXPECT_EQ(r.count, 14u);
  EXPECT_EQ(r.bytes.substr(0, 15), "One\0Two\0Three\0\0"s);
  EXPECT_EQ(r.bytes.substr(15), "###");  // nothing written past the list
}

TEST_F(ProfileBufferTest, CutSectionListReturnsSizeMinusTwoAndEndsInTwoTerminators) {
  Put("[One]\n[Two]\n[Three]\n");
  // The full list needs 15 bytes.
  EXPECT_EQ(Raw(nullptr, nullptr, "", 15).count, 14u);
  Result r = Raw(nullptr, nullptr, "", 14);
  EXPECT_EQ(r.count, 12u);
  EXPECT_EQ(r.bytes, "One\0Two\0Thre\0\0##"s);
  r = Raw(nullptr, nullptr, "", 6);
  EXPECT_EQ(r.count, 4u);
  EXPECT_EQ(r.bytes, "One\0\0\0##"s);
  r = Raw(nullptr, nullptr, "", 2);
  EXPECT_EQ(r.count, 0u);
  EXPECT_EQ(r.bytes, "\0\0##"s);
  r = Raw(nullptr, nullptr, "", 1);
  EXPECT_EQ(r.count, 0u);
  EXPECT_EQ(r.bytes, "\0##"s);
}

TEST_F(ProfileBufferTest, KeyListOfASection) {
  Put("[S]\nAlpha=1\n;c=2\nBeta=2\nalpha=3\n[T]\nGamma=4\n");
  Result r = Raw("s", nullptr, "ignored", 32);
  EXPECT_EQ(r.count, 11u);
  EXPECT_EQ(r.bytes.substr(0, 12), "Alpha\0Beta\0\0"s);
  r = Raw("S", nullptr, "", 9);
  EXPECT_EQ(r.count, 7u);
  EXPECT_EQ(r.bytes, "Alpha\0B\0\0##"s);
}

TEST_F(ProfileBufferTest, ListsOfMissingThingsAreEmpty) {
  Put("[S]\nK=1\n");
  Result r = Raw("Other", nullptr, "ignored", 8);
  EXPECT_EQ(r.count, 0u);
  EXPECT_EQ(r.bytes.substr(0, 2), "\0\0"s);
  Put("; no sections at all\nK=1\n");
  r = Raw(nullptr, nullptr, "ignored", 8);
  EXPECT_EQ(r.count, 0u);
  EXPECT_EQ(r.bytes.substr(0, 2), "\0\0"s);
}

// ---- Writing ------------------------------------------------------------------------------

using ProfileWriteTest = ProfileTest;

TEST_F(ProfileWriteTest, ReplacesValueInPlaceAndKeepsEveryOtherByte) {
  const std::string before =
      "; Kavro settings\r\n"
      "\r\n"
      "[KAVRO]\r\n"
      "TYPE=3\r\n"
      "  Sound = 1\t\r\n"
      "; colours are 0x00BBGGRR\r\n"
      "COLOR=8421440\r\n"
      "\r\n"
      "[MRUL]\r\n"
      "1=/pics/sea.bmp\r\n";
  Put(before);
  ASSERT_NE(Write("kavro", "SOUND", "0"), 0);
  EXPECT_EQ(Contents(),
            "; Kavro settings\r\n"
            "\r\n"
            "[KAVRO]\r\n"
            "TYPE=3\r\n"
            "  Sound = 0\r\n"
            "; colours are 0x00BBGGRR\r\n"
            "COLOR=8421440\r\n"
            "\r\n"
            "[MRUL]\r\n"
            "1=/pics/sea.bmp\r\n");
}

TEST_F(ProfileWriteTest, ReplacesOnlyTheFirstOfRepeatedKeys) {
  Put("[S]\nK=1\nk=2\n");
  ASSERT_NE(Write("S", "K", "9"), 0);
  EXPECT_EQ(Contents(), "[S]\nK=9\nk=2\n");
}

TEST_F(ProfileWriteTest, NewKeyGoesAfterTheLastKeyOfItsSection) {
  Put("[A]\nX=1\n; about B\n\n[B]\nY=2\n");
  ASSERT_NE(Write("a", "Z", "3"), 0);
  EXPECT_EQ(Contents(), "[A]\nX=1\nZ=3\n; about B\n\n[B]\nY=2\n");
  ASSERT_NE(Write("B", "W", "4"), 0);
  EXPECT_EQ(Contents(), "[A]\nX=1\nZ=3\n; about B\n\n[B]\nY=2\nW=4\n");
}

TEST_F(ProfileWriteTest, NewKeyInSectionWithoutKeysFollowsTheHeader) {
  Put("[A]\n\n\n[B]\n");
  ASSERT_NE(Write("A", "K", "v"), 0);
  EXPECT_EQ(Contents(), "[A]\nK=v\n\n\n[B]\n");
}

TEST_F(ProfileWriteTest, MissingSectionIsAppendedAtTheEnd) {
  Put("[A]\nX=1\n\n");
  ASSERT_NE(Write("New", "K", "v"), 0);
  EXPECT_EQ(Contents(), "[A]\nX=1\n\n[New]\nK=v\n");
}

TEST_F(ProfileWriteTest, NewLinesFollowTheFilesLineEndings) {
  Put("[A]\r\nX=1\r\n");
  ASSERT_NE(Write("A", "Y", "2"), 0);
  ASSERT_NE(Write("B", "Z", "3"), 0);
  EXPECT_EQ(Contents(), "[A]\r\nX=1\r\nY=2\r\n[B]\r\nZ=3\r\n");
}

TEST_F(ProfileWriteTest, FileWithoutFinalNewlineStaysReadable) {
  Put("[A]\nX=1");
  ASSERT_NE(Write("A", "Y", "2"), 0);
  EXPECT_EQ(Contents(), "[A]\nX=1\nY=2");
  ASSERT_NE(Write("B", "Z", "3"), 0);
  EXPECT_EQ(Contents(), "[A]\nX=1\nY=2\n[B]\nZ=3");
  EXPECT_EQ(Get("A", "X"), "1");
  EXPECT_EQ(Get("A", "Y"), "2");
}

TEST_F(ProfileWriteTest, CreatesAMissingFile) {
  ASSERT_NE(Write("KAVRO", "GRID", "1"), 0);
  EXPECT_EQ(Contents(), "[KAVRO]\nGRID=1\n");
  EXPECT_EQ(Int("kavro", "grid"), 1u);
}

TEST_F(ProfileWriteTest, FailsWhenTheDirectoryIsMissing) {
  EXPECT_EQ(Write("S", "K", "v", "no/such/dir.ini"), 0);
  EXPECT_TRUE(Entries().empty());
}

TEST_F(ProfileWriteTest, ValueIsWrittenAsGivenAndReadBackStripped) {
  ASSERT_NE(Write("S", "0", " 4~ 5~Ann~125"), 0);
  ASSERT_NE(Write("S", "1", "'quoted'"), 0);
  EXPECT_EQ(Contents(), "[S]\n0= 4~ 5~Ann~125\n1='quoted'\n");
  EXPECT_EQ(Get("S", "0"), "4~ 5~Ann~125");
  EXPECT_EQ(Get("S", "1"), "quoted");
}

TEST_F(ProfileWriteTest, RewritingAValueWithLeadingBlanksKeepsTheLineAsWritten) {
  Put("[S]\n0 =  old\n");
  for (int i = 0; i < 3; ++i) ASSERT_NE(Write("S", "0", " 4~ 5~Ann~125"), 0);
  EXPECT_EQ(Contents(), "[S]\n0 = 4~ 5~Ann~125\n");
}

TEST_F(ProfileWriteTest, SectionNameWithBracketsReadsBack) {
  ASSERT_NE(Write("/pics/photo [1].bmp", "0", "x"), 0);
  ASSERT_NE(Write("/pics/photo [1].bmp", "1", "y"), 0);
  EXPECT_EQ(Contents(), "[/pics/photo [1].bmp]\n0=x\n1=y\n");
}

TEST_F(ProfileWriteTest, LineBreaksInNamesOrValuesAreRefused) {
  Put("[S]\nK=1\n");
  EXPECT_EQ(Write("S", "K", "a\nb"), 0);
  EXPECT_EQ(Write("S", "K\rL", "a"), 0);
  EXPECT_EQ(Write("S\nT", "K", "a"), 0);
  EXPECT_EQ(Write("S", "", "a"), 0);
  EXPECT_EQ(Write("S", "a=b", "c"), 0);
  EXPECT_EQ(Contents(), "[S]\nK=1\n");
}

TEST_F(ProfileWriteTest, NullSectionFails) {
  Put("[S]\nK=1\n");
  EXPECT_EQ(Write(nullptr, "K", "2"), 0);
  EXPECT_EQ(Write(nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(Contents(), "[S]\nK=1\n");
}

TEST_F(ProfileWriteTest, OddLinesElsewhereSurviveAWrite) {
  const std::string junk = "\xff\xfe\0junk\0\n= no key\n[unclosed\n\tK=top\n"s;
  Put(junk + "[S]\nK=1\n[T]\nbinary=\x01\x02\0\x03\nlast line without newline"s);
  ASSERT_NE(Write("S", "K", "2"), 0);
  EXPECT_EQ(Contents(), junk + "[S]\nK=2\n[T]\nbinary=\x01\x02\0\x03\nlast line without newline"s);
}

// ---- Deleting -----------------------------------------------------------------------------

using ProfileDeleteTest = ProfileTest;

TEST_F(ProfileDeleteTest, NullValueDeletesTheKeyLine) {
  Put("[A]\r\nX=1\r\nY=2\r\n[B]\r\nX=3\r\n");
  ASSERT_NE(Write("a", "x", nullptr), 0);
  EXPECT_EQ(Contents(), "[A]\r\nY=2\r\n[B]\r\nX=3\r\n");
  EXPECT_EQ(Get("A", "X"), "(default)");
  EXPECT_EQ(Get("B", "X"), "3");
}

TEST_F(ProfileDeleteTest, DeletedRepeatedKeyDoesNotReappear) {
  Put("[A]\nX=1\nx=2\nY=3\n");
  ASSERT_NE(Write("A", "X", nullptr), 0);
  EXPECT_EQ(Get("A", "X"), "(default)");
  EXPECT_EQ(Contents(), "[A]\nY=3\n");
}

TEST_F(ProfileDeleteTest, NullKeyDeletesHeaderAndAllLinesOfTheSection) {
  Put("; top\n[A]\nX=1\n; about A\n\n[B]\nY=2\n[a]\nZ=9\n");
  ASSERT_NE(Write("a", nullptr, nullptr), 0);
  EXPECT_EQ(Contents(), "; top\n[B]\nY=2\n");
  EXPECT_EQ(Get("A", "Z"), "(default)");
}

TEST_F(ProfileDeleteTest, DeletingWhatIsNotThereSucceedsAndChangesNothing) {
  const std::string before = "[A]\nX=1\n";
  Put(before);
  EXPECT_NE(Write("A", "Missing", nullptr), 0);
  EXPECT_NE(Write("Missing", "X", nullptr), 0);
  EXPECT_NE(Write("Missing", nullptr, nullptr), 0);
  EXPECT_EQ(Contents(), before);
}

TEST_F(ProfileDeleteTest, DeletingFromAMissingFileDoesNotCreateIt) {
  EXPECT_NE(Write("A", "X", nullptr), 0);
  EXPECT_NE(Write("A", nullptr, nullptr), 0);
  EXPECT_FALSE(fs::exists(Path()));
}

// ---- Atomic replacement -------------------------------------------------------------------

using ProfileReplaceTest = ProfileTest;

TEST_F(ProfileReplaceTest, NoTemporaryFilesRemainAfterWrites) {
  ASSERT_NE(Write("A", "X", "1"), 0);
  ASSERT_NE(Write("A", "X", "2"), 0);
  ASSERT_NE(Write("B", "Y", "3"), 0);
  ASSERT_NE(Write("A", "X", nullptr), 0);
  ASSERT_NE(Write("B", nullptr, nullptr), 0);
  EXPECT_EQ(Entries(), std::vector<std::string>{"test.ini"});
  EXPECT_EQ(Contents(), "[A]\n");
}

TEST_F(ProfileReplaceTest, ReplacedFileKeepsItsPermissions) {
  Put("[A]\nX=1\n");
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(Path(), mode);
  ASSERT_NE(Write("A", "X", "2"), 0);
  EXPECT_EQ(fs::status(Path()).permissions(), mode);
}

TEST_F(ProfileReplaceTest, ReadOnlyTargetIsLeftIntact) {
  const std::string before = "[A]\nX=1\n";
  Put(before);
  fs::permissions(Path(), fs::perms::owner_read | fs::perms::group_read);
  if (std::FILE* probe = std::fopen(Path().c_str(), "r+b")) {
    std::fclose(probe);
    GTEST_SKIP() << "file permissions are not enforced for this user";
  }
  EXPECT_EQ(Write("A", "X", "2"), 0);
  EXPECT_EQ(Write("A", nullptr, nullptr), 0);
  EXPECT_EQ(Contents(), before);
  EXPECT_EQ(Entries(), std::vector<std::string>{"test.ini"});
}

TEST_F(ProfileReplaceTest, UnwritableDirectoryLeavesTargetIntact) {
  const std::string before = "[A]\nX=1\n";
  Put(before);
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  if (std::FILE* probe = std::fopen(Path("probe").c_str(), "wb")) {
    std::fclose(probe);
    fs::remove(Path("probe"));
    GTEST_SKIP() << "directory permissions are not enforced for this user";
  }
  EXPECT_EQ(Write("A", "X", "2"), 0);
  EXPECT_EQ(Write("B", "Y", "3"), 0);
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(Contents(), before);
  EXPECT_EQ(Entries(), std::vector<std::string>{"test.ini"});
}

#if defined(__unix__)
// A file-size limit makes writing the temporary file fail whoever runs the test.
TEST_F(ProfileReplaceTest, FailedWriteRemovesTemporaryAndKeepsTarget) {
  const std::string before = "[A]\nX=1\n";
  Put(before);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string big(10000, 'v');
  const BOOL result = Write("A", "X", big.c_str());
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, savedHandler);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Contents(), before);
  EXPECT_EQ(Entries(), std::vector<std::string>{"test.ini"});
}
#endif

TEST_F(ProfileReplaceTest, DirectoryInPlaceOfTheFileIsNotReplaced) {
  fs::create_directory(dir_ / "test.ini");
  EXPECT_EQ(Write("A", "X", "1"), 0);
  EXPECT_TRUE(fs::is_directory(dir_ / "test.ini"));
  EXPECT_EQ(Entries(), std::vector<std::string>{"test.ini"});
}

TEST_F(ProfileReplaceTest, WritesThroughASymbolicLink) {
  Put("[A]\nX=1\n", "real.ini");
  std::error_code error;
  fs::create_symlink("real.ini", dir_ / "test.ini", error);
  if (error) GTEST_SKIP() << "cannot make symbolic links here: " << error.message();
  ASSERT_NE(Write("A", "X", "2"), 0);
  EXPECT_TRUE(fs::is_symlink(dir_ / "test.ini"));
  EXPECT_EQ(Contents("real.ini"), "[A]\nX=2\n");
  EXPECT_EQ((std::vector<std::string>{"real.ini", "test.ini"}), Entries());
}

}  // namespace
