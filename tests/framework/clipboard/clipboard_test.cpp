// The clipboard: opening it for one owner at a time, pictures and BMP data in and out,
// and BMP data written by other programs.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <climits>
#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "framework/clipboard/clipboard.h"
#include "framework/graphics/dc.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/gui_helpers.h"
#include "framework/windows/window.h"
#include "test_data.h"

namespace {

// An 8-bit DIB of 5 x 3 whose pixel (x, y) from the top has colour index x + y.
TDib IndexedDib() {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = 5;
  header.biHeight = 3;
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biClrUsed = 8;
  TDib dib;
  EXPECT_TRUE(dib.CreateFromHeader(header));
  for (int i = 0; i < 8; ++i) {
    dib.GetColors()[i] = RGBQUAD{static_cast<BYTE>(i * 30), static_cast<BYTE>(255 - i * 30), 7, 0};
  }
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) dib.ScanLine(2 - y)[x] = static_cast<BYTE>(x + y);
  }
  return dib;
}

class ClipboardTest : public testing::Test {
 protected:
  void SetUp() override { Owner = std::make_unique<TWindow>(nullptr, "owner"); }
  void TearDown() override {
    TClipboard clipboard(*Owner);
    clipboard.EmptyClipboard();
  }
  std::unique_ptr<TWindow> Owner;
};

TEST_F(ClipboardTest, OneOwnerAtATimeAndNothingWhileClosed) {
  TClipboard first;
  TClipboard second;
  EXPECT_TRUE(first.OpenClipboard(Owner.get()));
  EXPECT_FALSE(second.OpenClipboard(Owner.get()));
  EXPECT_FALSE(second.EmptyClipboard());
  EXPECT_TRUE(first.CloseClipboard());
  EXPECT_FALSE(first.CloseClipboard());
  EXPECT_TRUE(second.OpenClipboard(Owner.get()));
  EXPECT_TRUE(second.IsOpen());
  EXPECT_FALSE(first.IsOpen());
  EXPECT_EQ(first.GetBitmap(), nullptr);
  EXPECT_FALSE(first.GetDib().has_value());
}

// Asked again after every change, whoever made it: the answers are kept between changes.
TEST_F(ClipboardTest, WhatIsOfferedFollowsEveryChange) {
  QClipboard& qt = *QGuiApplication::clipboard();
  QImage picture(3, 2, QImage::Format_RGB32);
  picture.fill(Qt::red);
  QByteArray bmp;
  {
    QFile file(TestDataPath(QStringLiteral("bmpsuite/g/rgb24.bmp")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    bmp = file.readAll();
  }
  struct TStep {
    const char* Name;
    std::function<void()> Change;
    bool Bitmap, Dib, Text;
  };
  const TStep steps[] = {
      {"picture", [&] { qt.setImage(picture); }, true, false, false},
      {"text", [&] { qt.setText("Kavro"); }, false, false, true},
      {"bmp data",
       [&] {
         auto* data = new QMimeData;  // the clipboard takes it over
         data->setData("image/bmp", bmp);
         qt.setMimeData(data);
       },
       true, true, false},
      {"nothing", [&] { qt.clear(); }, false, false, false},
  };
  TClipboard clipboard;
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Name);
    step.Change();
    QCoreApplication::processEvents();
    for (int again = 0; again < 2; ++again) {
      EXPECT_EQ(clipboard.IsClipboardFormatAvailable(CF_BITMAP), step.Bitmap);
      EXPECT_EQ(clipboard.IsClipboardFormatAvailable(CF_DIB), step.Dib);
      EXPECT_EQ(clipboard.IsClipboardFormatAvailable(CF_TEXT), step.Text);
    }
  }
}

TEST_F(ClipboardTest, APictureComesBackPixelForPixelAndEmptyingRemovesIt) {
  TBitmap picture(4, 3);
  {
    TMemoryDC dc(picture);
    dc.FillRect(TRect(0, 0, 4, 3), TBrush(0x102030));
    dc.SetPixel(1, 2, 0x0000FF);
  }
  {
    TClipboard clipboard(*Owner);
    ASSERT_TRUE(clipboard.IsOpen());
    ASSERT_TRUE(clipboard.SetBitmap(picture));
  }
  TClipboard clipboard;
  EXPECT_TRUE(clipboard.IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_FALSE(clipboard.IsClipboardFormatAvailable(CF_PALETTE));
  ASSERT_TRUE(clipboard.OpenClipboard(Owner.get()));
  const std::unique_ptr<TBitmap> copy = clipboard.GetBitmap();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Width(), 4);
  EXPECT_EQ(copy->Height(), 3);
  EXPECT_FALSE(copy->IsMonochrome());
  TMemoryDC dc(*copy);
  EXPECT_EQ(dc.GetPixel(0, 0), 0x102030u);
  EXPECT_EQ(dc.GetPixel(1, 2), 0x0000FFu);
  EXPECT_EQ(clipboard.GetPalette(), nullptr);
  EXPECT_TRUE(clipboard.EmptyClipboard());
  EXPECT_FALSE(clipboard.IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_EQ(clipboard.GetBitmap(), nullptr);
}

TEST_F(ClipboardTest, AMonochromePictureStaysMonochrome) {
  TBitmap picture(8, 2, 1, 1);
  {
    TMemoryDC dc(picture);
    dc.FillRect(TRect(0, 0, 8, 2), TBrush(0xFFFFFF));
    dc.SetPixel(3, 1, 0x000000);
  }
  TClipboard clipboard(*Owner);
  ASSERT_TRUE(clipboard.SetBitmap(picture));
  const std::unique_ptr<TBitmap> copy = clipboard.GetBitmap();
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(copy->IsMonochrome());
  TMemoryDC dc(*copy);
  EXPECT_EQ(dc.GetPixel(3, 1), 0x000000u);
  EXPECT_EQ(dc.GetPixel(4, 1), 0xFFFFFFu);
}

TEST_F(ClipboardTest, BmpDataComesBackAsTheSameDibAndAsAPicture) {
  const TDib dib = IndexedDib();
  TClipboard clipboard(*Owner);
  ASSERT_TRUE(clipboard.SetDib(dib));
  EXPECT_TRUE(clipboard.IsClipboardFormatAvailable(CF_DIB));
  EXPECT_TRUE(clipboard.IsClipboardFormatAvailable(CF_BITMAP));
  const std::optional<TDib> copy = clipboard.GetDib();
  ASSERT_TRUE(copy.has_value());
  ASSERT_EQ(copy->BlockSize(), dib.BlockSize());
  EXPECT_EQ(copy->GetInfoHeader()->biSize, 40u);
  EXPECT_EQ(std::memcmp(copy->GetInfoHeader(), dib.GetInfoHeader(), dib.BlockSize()), 0);
  const std::unique_ptr<TBitmap> picture = clipboard.GetBitmap();
  ASSERT_NE(picture, nullptr);
  TMemoryDC dc(*picture);
  EXPECT_EQ(dc.GetPixel(4, 2), RGB(7, 255 - 6 * 30, 6 * 30));  // index 6 at the bottom right
}

void OfferBmp(const QByteArray& bytes) {
  auto* data = new QMimeData;  // the clipboard takes it over
  data->setData("image/bmp", bytes);
  QGuiApplication::clipboard()->setMimeData(data);
}

TEST_F(ClipboardTest, OtherProgramsBmpDataOfEveryHeaderReadsAsTheFileReaderReadsIt) {
  const char* names[] = {"pal1.bmp",        "pal4.bmp",   "pal4rle.bmp", "pal8.bmp",
                         "pal8topdown.bmp", "pal8v5.bmp", "pal8os2.bmp", "pal8rle.bmp",
                         "rgb16-565.bmp",   "rgb24.bmp",  "rgb32bf.bmp"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const QString path = TestDataPath(QStringLiteral("bmpsuite/g/") + name);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    TDib read;
    ASSERT_TRUE(read.ReadBmp(path.toLocal8Bit().constData()));
    // As a file, and as a packed DIB (the file less its 14-byte header).
    for (const QByteArray& offered : {whole, whole.mid(14)}) {
      OfferBmp(offered);
      TClipboard clipboard(*Owner);
      const std::optional<TDib> dib = clipboard.GetDib();
      ASSERT_TRUE(dib.has_value()) << offered.size();
      EXPECT_EQ(dib->GetInfoHeader()->biSize, 40u);
      ASSERT_EQ(dib->BlockSize(), read.BlockSize());
      EXPECT_EQ(std::memcmp(dib->GetInfoHeader(), read.GetInfoHeader(), read.BlockSize()), 0);
    }
  }
}

TEST_F(ClipboardTest, DamagedBmpDataIsNoDib) {
  QFile file(TestDataPath(QStringLiteral("bmpsuite/g/pal8.bmp")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray whole = file.readAll();
  // Packed: a header size no reader knows, and a top-down height of INT32_MIN.
  QByteArray oddHeader = whole.mid(14);
  oddHeader[0] = 64;
  QByteArray lowest = whole.mid(14);
  const qint32 minHeight = INT32_MIN;
  std::memcpy(lowest.data() + 8, &minHeight, sizeof minHeight);
  for (const QByteArray& bad : {whole.left(whole.size() - 10), whole.left(40), QByteArray("BM"),
                                QByteArray(60, '\x7f'), oddHeader, lowest}) {
    OfferBmp(bad);
    TClipboard clipboard(*Owner);
    EXPECT_TRUE(clipboard.IsClipboardFormatAvailable(CF_DIB));
    EXPECT_FALSE(clipboard.GetDib().has_value());
  }
}

}  // namespace
