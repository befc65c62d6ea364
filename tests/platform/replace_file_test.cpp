// ReplaceFileContents: the target changes only when everything was written, and no
// temporary file is left behind.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/replace_file.h"
#include "media/test_support.h"

namespace {

using media_test::Local;

class ReplaceFileTest : public testing::Test {
 protected:
  QString Target() const { return Dir.filePath(QStringLiteral("game.kvr")); }
  TReplaceResult Replace(const QString& path, const std::vector<std::uint8_t>& bytes) {
    return ReplaceFileContents(Local(path).c_str(), bytes.data(), bytes.size());
  }
  QStringList Entries() const {
    return QDir(Dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  }

  QTemporaryDir Dir;
  const std::vector<std::uint8_t> Old = std::vector<std::uint8_t>(100, 'o');
  const std::vector<std::uint8_t> New = std::vector<std::uint8_t>(5000, 'n');
};

TEST_F(ReplaceFileTest, CreatesANewFileAndReplacesAnOldOne) {
  EXPECT_EQ(Replace(Target(), Old), TReplaceResult::Replaced);
  EXPECT_EQ(media_test::ReadBytes(Target()), QByteArray(100, 'o'));
  EXPECT_EQ(Replace(Target(), New), TReplaceResult::Replaced);
  EXPECT_EQ(media_test::ReadBytes(Target()), QByteArray(5000, 'n'));
  EXPECT_EQ(Entries(), QStringList{QStringLiteral("game.kvr")});
}

TEST_F(ReplaceFileTest, ReplacingKeepsTheOldFilesPermissions) {
  ASSERT_EQ(Replace(Target(), Old), TReplaceResult::Replaced);
  ASSERT_TRUE(
      QFile::setPermissions(Target(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
  ASSERT_EQ(Replace(Target(), New), TReplaceResult::Replaced);
  EXPECT_EQ(QFileInfo(Target()).permissions() &
                (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
}

TEST_F(ReplaceFileTest, AFailedWriteLeavesTheOldFileWholeAndNoTemporary) {
  ASSERT_EQ(Replace(Target(), Old), TReplaceResult::Replaced);
  // A file-size limit below the new content makes the write fail for real.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const TReplaceResult result = Replace(Target(), New);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(result, TReplaceResult::WriteFailed);
  EXPECT_EQ(media_test::ReadBytes(Target()), QByteArray(100, 'o'));
  EXPECT_EQ(Entries(), QStringList{QStringLiteral("game.kvr")});
}

TEST_F(ReplaceFileTest, PathsThatCannotHoldAFileAreRefused) {
  ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("folder")));
  ASSERT_EQ(Replace(Target(), Old), TReplaceResult::Replaced);
  EXPECT_EQ(Replace(Dir.filePath(QStringLiteral("folder")), New), TReplaceResult::CannotCreate);
  EXPECT_EQ(Replace(Dir.filePath(QStringLiteral("none/game.kvr")), New),
            TReplaceResult::CannotCreate);
  EXPECT_EQ(Replace(Target() + QStringLiteral("/inside.kvr"), New), TReplaceResult::CannotCreate);
  EXPECT_EQ(ReplaceFileContents(nullptr, New.data(), New.size()), TReplaceResult::CannotCreate);
  EXPECT_EQ(ReplaceFileContents("", New.data(), New.size()), TReplaceResult::CannotCreate);
  EXPECT_EQ(media_test::ReadBytes(Target()), QByteArray(100, 'o'));
  EXPECT_EQ(Entries(), (QStringList{QStringLiteral("folder"), QStringLiteral("game.kvr")}));
}

TEST_F(ReplaceFileTest, AReadOnlyFileIsLeftAloneThoughItsDirectoryAllowsARename) {
  ASSERT_EQ(Replace(Target(), Old), TReplaceResult::Replaced);
  ASSERT_TRUE(QFile::setPermissions(Target(), QFile::ReadOwner));
  if (access(Local(Target()).c_str(), W_OK) == 0) GTEST_SKIP() << "running with root's rights";
  EXPECT_EQ(Replace(Target(), New), TReplaceResult::CannotCreate);
  EXPECT_EQ(media_test::ReadBytes(Target()), QByteArray(100, 'o'));
}

TEST_F(ReplaceFileTest, ADirectoryThatForbidsNewFilesCannotBeSavedInto) {
  const QString folder = Dir.filePath(QStringLiteral("locked"));
  ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("locked")));
  const QString target = folder + QStringLiteral("/game.kvr");
  ASSERT_EQ(Replace(target, Old), TReplaceResult::Replaced);
  ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
  if (access(Local(folder).c_str(), W_OK) == 0) GTEST_SKIP() << "running with root's rights";
  EXPECT_EQ(Replace(target, New), TReplaceResult::CannotCreate);
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(media_test::ReadBytes(target), QByteArray(100, 'o'));
}

TEST_F(ReplaceFileTest, ALinkIsWrittenThroughNotReplaced) {
  const QString real = Dir.filePath(QStringLiteral("real.kvr"));
  ASSERT_EQ(Replace(real, Old), TReplaceResult::Replaced);
  ASSERT_TRUE(QFile::link(real, Target()));
  ASSERT_EQ(Replace(Target(), New), TReplaceResult::Replaced);
  EXPECT_TRUE(QFileInfo(Target()).isSymLink());
  EXPECT_EQ(media_test::ReadBytes(real), QByteArray(5000, 'n'));
}

}  // namespace
