// TEnhancedDib::Load: the reader is chosen by the extension after the last dot, and
// nothing else is a picture.
#include <QDir>
#include <QFile>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "media/enhanced_dib.h"
#include "media/test_support.h"

namespace {

using media_test::Local;
using media_test::TModalLog;

class LoadTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Dir.isValid());
    Bmp = media_test::ReadBytes(media_test::BmpSuite(QStringLiteral("g/rgb24.bmp")));
    ASSERT_FALSE(Bmp.isEmpty());
    const QString ppm = Dir.filePath(QStringLiteral("p.ppm"));
    ASSERT_TRUE(
        media_test::WriteBytes(ppm, media_test::MakePpm(8, 6, media_test::TestPattern(8, 6))));
    const auto jpeg = media_test::RunTool(QStringLiteral("cjpeg"), {ppm});
    ASSERT_TRUE(jpeg);
    Jpeg = *jpeg;
  }

  // Writes bytes under name (a relative path in the scratch directory) and loads it.
  bool Load(const QString& name, const QByteArray& bytes) {
    const QString path = Dir.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    EXPECT_TRUE(media_test::WriteBytes(path, bytes));
    return Dib.Load(Local(path).c_str());
  }

  QTemporaryDir Dir;
  QByteArray Bmp;
  QByteArray Jpeg;
  TEnhancedDib Dib;
};

TEST_F(LoadTest, BmpAndJpgInAnyLetterCaseChooseTheirReader) {
  for (const char* name : {"a.bmp", "b.BMP", "c.Bmp", "d.bMp"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(Load(QString::fromLatin1(name), Bmp));
    EXPECT_EQ(Dib.Width(), 127);
  }
  for (const char* name : {"a.jpg", "b.JPG", "c.Jpg"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(Load(QString::fromLatin1(name), Jpeg));
    EXPECT_EQ(Dib.Width(), 8);
  }
}

TEST_F(LoadTest, OtherExtensionsAndNamesWithoutOneAreNotPictures) {
  TModalLog messages;
  for (const char* name : {"photo.jpeg", "photo.dib", "photo", "photo.", "photo.bmp.txt",
                           "photo.jpg ", "pics.old/cat", ".bmpx"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(Load(QStringLiteral("good.bmp"), Bmp));
    EXPECT_FALSE(Load(QString::fromLatin1(name), Jpeg));
    EXPECT_FALSE(Dib.IsOK());
  }
  EXPECT_FALSE(Dib.Load(nullptr));
  // Refused by name: no reader ran, so the JPEG library said nothing.
  EXPECT_TRUE(messages.Requests.empty());
}

TEST_F(LoadTest, TheExtensionDecidesNotTheContent) {
  TModalLog messages;
  EXPECT_FALSE(Load(QStringLiteral("bitmap.jpg"), Bmp));
  EXPECT_EQ(messages.Captions(), std::vector<std::string>{"JPEG Library Error"});
  messages.Requests.clear();
  EXPECT_FALSE(Load(QStringLiteral("photo.bmp"), Jpeg));
  EXPECT_TRUE(messages.Requests.empty());
}

TEST_F(LoadTest, ADotInADirectoryNameIsNoExtension) {
  ASSERT_TRUE(Load(QStringLiteral("pics.bmp/cat.bmp"), Bmp));
  EXPECT_FALSE(Load(QStringLiteral("pics.bmp/cat"), Bmp));
}

}  // namespace
