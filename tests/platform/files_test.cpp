// CreateDirectoryA, DeleteFileA and ProgramDirectory on a scratch folder.
#include "platform/files.h"

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

class Files : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scratch.isValid()); }
  std::string Path(const char* name) const {
    return (fs::path(scratch.path().toStdString()) / name).string();
  }
  void MakeFile(const std::string& path) { std::ofstream(path) << "x"; }

  QTemporaryDir scratch;
};

TEST_F(Files, CreateDirectoryMakesOneNewLevel) {
  const std::string dir = Path("Scores");
  EXPECT_NE(CreateDirectoryA(dir.c_str(), nullptr), 0);
  EXPECT_TRUE(fs::is_directory(dir));
}

TEST_F(Files, CreateDirectoryFailsWhereSomethingIsInTheWay) {
  const std::string dir = Path("Scores");
  ASSERT_NE(CreateDirectoryA(dir.c_str(), nullptr), 0);
  EXPECT_EQ(CreateDirectoryA(dir.c_str(), nullptr), 0) << "it exists already";

  const std::string file = Path("kavro.ini");
  MakeFile(file);
  EXPECT_EQ(CreateDirectoryA(file.c_str(), nullptr), 0);
  EXPECT_TRUE(fs::is_regular_file(file));

  const std::string deep = Path("missing/inner");
  EXPECT_EQ(CreateDirectoryA(deep.c_str(), nullptr), 0);
  EXPECT_FALSE(fs::exists(Path("missing")));

  EXPECT_EQ(CreateDirectoryA(nullptr, nullptr), 0);
  EXPECT_EQ(CreateDirectoryA("", nullptr), 0);
}

TEST_F(Files, DeleteFileRemovesAFileOnce) {
  const std::string file = Path("board.sav");
  MakeFile(file);
  EXPECT_NE(DeleteFileA(file.c_str()), 0);
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(DeleteFileA(file.c_str()), 0) << "it is gone already";
}

TEST_F(Files, DeleteFileRefusesDirectoriesAndNothing) {
  const std::string dir = Path("Scores");
  fs::create_directory(dir);
  EXPECT_EQ(DeleteFileA(dir.c_str()), 0);
  EXPECT_TRUE(fs::is_directory(dir));
  EXPECT_EQ(DeleteFileA(nullptr), 0);
  EXPECT_EQ(DeleteFileA(""), 0);
}

TEST_F(Files, DeleteFileRemovesALinkNotWhatItPointsAt) {
  const std::string dir = Path("Scores");
  fs::create_directory(dir);
  const std::string link = Path("link");
  fs::create_directory_symlink(dir, link);
  EXPECT_NE(DeleteFileA(link.c_str()), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  EXPECT_TRUE(fs::is_directory(dir));
}

TEST(ProgramDirectory, IsTheRunningProgramsFolderWithATrailingSeparator) {
  const std::string dir = ProgramDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(fs::equivalent(dir, fs::read_symlink("/proc/self/exe").parent_path()));
}

TEST(ProgramDirectory, StaysAtOneAddress) {
  const char* first = ProgramDirectory();
  const std::string copy = first;
  EXPECT_EQ(ProgramDirectory(), first);
  EXPECT_EQ(copy, first);
}
