// ShellExecuteA and WinHelpA through the desktop seam: what would be opened, and when
// nothing is.
#include "platform/shell.h"

#include "platform/desktop_open.h"
#include "platform/files.h"
#include "platform/winconst.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QUrl>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Stands in for the desktop, remembering every address it was given.
class Desktop : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scratch.isValid());
    SetDesktopOpener([this](const std::string& url) {
      opened.push_back(url);
      return accepts;
    });
  }
  void TearDown() override { SetDesktopOpener(nullptr); }

  QString MakeFile(const QString& name) {
    QFile file(scratch.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html></html>");
    return file.fileName();
  }
  // The local file the single opened address names.
  QString OpenedFile() const {
    EXPECT_EQ(opened.size(), 1u);
    if (opened.empty()) return {};
    const QUrl url(QString::fromStdString(opened.front()), QUrl::StrictMode);
    EXPECT_TRUE(url.isLocalFile()) << opened.front();
    return url.toLocalFile();
  }

  QTemporaryDir scratch;
  std::vector<std::string> opened;
  bool accepts = true;
};

std::uintptr_t Code(HINSTANCE result) {
  return reinterpret_cast<std::uintptr_t>(result);
}

}  // namespace

TEST_F(Desktop, WebAddressesArePassedOnUnchanged) {
  for (const char* address :
       {"https://example.org/kavro/", "http://example.org/a?b=c", "mailto:someone@example.org"}) {
    EXPECT_GT(Code(ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL)), 32u);
  }
  EXPECT_EQ(opened,
            (std::vector<std::string>{"https://example.org/kavro/", "http://example.org/a?b=c",
                                      "mailto:someone@example.org"}));
}

TEST_F(Desktop, ALocalFileOpensAsAFileAddress) {
  const QString page = MakeFile("read me.html");
  EXPECT_GT(Code(ShellExecuteA(nullptr, nullptr, QFile::encodeName(page).constData(), nullptr,
                               nullptr, SW_SHOWNORMAL)),
            32u);
  EXPECT_EQ(OpenedFile(), page);
}

TEST_F(Desktop, ARelativePathIsTakenFromTheGivenFolder) {
  const QString page = MakeFile("page.html");
  EXPECT_GT(Code(ShellExecuteA(nullptr, "open", "page.html", nullptr,
                               QFile::encodeName(scratch.path()).constData(), SW_SHOWNORMAL)),
            32u);
  EXPECT_EQ(OpenedFile(), page);
}

TEST_F(Desktop, AFileAddressMustNameAnExistingFile) {
  const QString page = MakeFile("page.html");
  const QByteArray address = QUrl::fromLocalFile(page).toEncoded();
  EXPECT_GT(
      Code(ShellExecuteA(nullptr, "open", address.constData(), nullptr, nullptr, SW_SHOWNORMAL)),
      32u);
  EXPECT_EQ(OpenedFile(), page);

  opened.clear();
  const QByteArray missing = QUrl::fromLocalFile(scratch.filePath("gone.html")).toEncoded();
  EXPECT_EQ(
      Code(ShellExecuteA(nullptr, "open", missing.constData(), nullptr, nullptr, SW_SHOWNORMAL)),
      2u);
  EXPECT_TRUE(opened.empty());
}

TEST_F(Desktop, AMissingFileIsNotHandedOver) {
  const QByteArray missing = QFile::encodeName(scratch.filePath("gone.html"));
  EXPECT_EQ(
      Code(ShellExecuteA(nullptr, "open", missing.constData(), nullptr, nullptr, SW_SHOWNORMAL)),
      2u);
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, SW_SHOWNORMAL)), 2u);
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, SW_SHOWNORMAL)), 2u);
  EXPECT_TRUE(opened.empty());
}

TEST_F(Desktop, ARefusalOrAnUnknownVerbMeansNoAssociation) {
  accepts = false;
  EXPECT_EQ(
      Code(ShellExecuteA(nullptr, "open", "https://example.org/", nullptr, nullptr, SW_SHOWNORMAL)),
      31u);
  accepts = true;
  opened.clear();
  const QString page = MakeFile("page.html");
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "print", QFile::encodeName(page).constData(), nullptr,
                               nullptr, SW_SHOWNORMAL)),
            31u);
  EXPECT_TRUE(opened.empty());
}

TEST_F(Desktop, HelpOpensThePageForEveryKindOfRequest) {
  const QString page = MakeFile("kavro.html");
  const QByteArray name = QFile::encodeName(page);
  for (UINT command : {HELP_CONTENTS, HELP_INDEX, HELP_FINDER, HELP_CONTEXT}) {
    opened.clear();
    EXPECT_NE(WinHelpA(nullptr, name.constData(), command, 0), 0) << command;
    EXPECT_EQ(OpenedFile(), page) << command;
  }
}

TEST_F(Desktop, HelpQuitSucceedsWithoutOpeningAnything) {
  const QString page = MakeFile("kavro.html");
  EXPECT_NE(WinHelpA(nullptr, QFile::encodeName(page).constData(), HELP_QUIT, 0), 0);
  EXPECT_NE(WinHelpA(nullptr, nullptr, HELP_QUIT, 0), 0);
  EXPECT_TRUE(opened.empty());
}

TEST_F(Desktop, HelpFailsForAMissingPageOrARefusal) {
  EXPECT_EQ(WinHelpA(nullptr, QFile::encodeName(scratch.filePath("none.html")).constData(),
                     HELP_CONTENTS, 0),
            0);
  EXPECT_EQ(WinHelpA(nullptr, nullptr, HELP_CONTENTS, 0), 0);
  EXPECT_TRUE(opened.empty());

  accepts = false;
  EXPECT_EQ(
      WinHelpA(nullptr, QFile::encodeName(MakeFile("kavro.html")).constData(), HELP_CONTENTS, 0),
      0);
}

TEST_F(Desktop, HelpFindsABareNameNextToTheProgram) {
  QTemporaryFile page(QFile::decodeName(ProgramDirectory()) + QStringLiteral("help-XXXXXX.html"));
  ASSERT_TRUE(page.open());
  const QByteArray bareName = QFile::encodeName(QFileInfo(page.fileName()).fileName());
  // Work from another folder, so only the program's own folder can supply the page.
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(scratch.path()));
  const BOOL result = WinHelpA(nullptr, bareName.constData(), HELP_CONTENTS, 0);
  QDir::setCurrent(previous);
  EXPECT_NE(result, 0);
  EXPECT_EQ(OpenedFile(), QFileInfo(page.fileName()).absoluteFilePath());
}

TEST_F(Desktop, HelpPrefersAPageInTheWorkingFolder) {
  const QString local = MakeFile("kavro.html");
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(scratch.path()));
  const BOOL result = WinHelpA(nullptr, "kavro.html", HELP_CONTENTS, 0);
  QDir::setCurrent(previous);
  EXPECT_NE(result, 0);
  EXPECT_EQ(OpenedFile(), local);
}
