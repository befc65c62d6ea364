// Paste from clipboard through each clipboard format, with real clipboard data.
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "dialogs/seven_gadget.h"
#include "framework/clipboard/clipboard.h"
#include "main_window_fixture.h"

namespace {

QByteArray FileBytes(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

QByteArray BmpBytes(const QImage& image) {
  return FileBytes(image, "BMP");
}

// Offers bytes in one format only, as another program does.
void OfferBytes(const char* format, const QByteArray& bytes) {
  auto* data = new QMimeData;  // the clipboard takes it over
  data->setData(format, bytes);
  QGuiApplication::clipboard()->setMimeData(data);
}

void OfferDibOnly(const QByteArray& bmp) {
  OfferBytes("image/bmp", bmp);
}

bool ClipboardEmpty() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data == nullptr || data->formats().isEmpty();
}

}  // namespace

TEST_F(MainWindowTest, PasteTakesTheClipboardPictureAndEmptiesTheClipboard) {
  Start();
  QImage indexed(30, 20, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 50)});
  indexed.fill(1);
  QImage mono(16, 8, QImage::Format_Mono);
  mono.fill(1);
  QImage colour(64, 48, QImage::Format_RGB32);
  colour.fill(qRgb(1, 2, 3));
  // Past Qt's own limit for pictures it reads (about 32 megapixels).
  QImage large(8000, 6000, QImage::Format_RGB32);
  large.fill(qRgb(4, 5, 6));
  const QByteArray largePng = FileBytes(large, "PNG");
  large = QImage();
  // What the clipboard offers, and what the paste makes of it.
  struct TCase {
    const char* Name;
    std::function<void()> Offer;
    bool Pastes;
    int Width;
    bool DibOnly;  // no bitmap on offer: the paste takes the DIB branch
  };
  const TCase cases[] = {
      {"bitmap", [&] { QGuiApplication::clipboard()->setImage(colour); }, true, 64, false},
      {"monochrome bitmap", [&] { QGuiApplication::clipboard()->setImage(mono); }, true, 16, false},
      // BMP data that decodes is a bitmap here, as any picture the clipboard offers.
      {"8-bit BMP data", [&] { OfferDibOnly(BmpBytes(indexed)); }, true, 30, false},
      {"24-bit BMP data", [&] { OfferDibOnly(BmpBytes(colour)); }, true, 64, false},
      {"BMP data that is no picture", [] { OfferDibOnly("BM not really"); }, false, 0, true},
      // A packed DIB decodes as no picture: only the DIB offers it. Its colour table is
      // the palette; one without a table shares the halftone palette.
      {"8-bit packed DIB", [&] { OfferDibOnly(BmpBytes(indexed).mid(14)); }, true, 30, true},
      {"24-bit packed DIB", [&] { OfferDibOnly(BmpBytes(colour).mid(14)); }, true, 64, true},
      {"PNG of 48 megapixels", [&] { OfferBytes("image/png", largePng); }, true, 8000, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Now = 1000;
    Command(CM_SCRAMBLE);
    Now = 4000;
    Frame->HandleMessage(WM_TIMER, CLOCK_TIMER_ID, 0);
    const std::optional<std::string> before = Frame->CurrentFile;
    c.Offer();
    ASSERT_TRUE(Enabled(CM_PASTE));
    EXPECT_EQ(TClipboard().IsClipboardFormatAvailable(CF_BITMAP), !c.DibOnly);
    Asked.clear();
    Command(CM_PASTE);
    EXPECT_TRUE(ClipboardEmpty());
    EXPECT_FALSE(Enabled(CM_PASTE));
    EXPECT_FALSE(Frame->GameFile);
    if (c.Pastes) {
      EXPECT_TRUE(Board().Idle);
      EXPECT_EQ(Frame->Clock->Seconds, 0);
      EXPECT_TRUE(Asked.empty());
      ASSERT_TRUE(Board().Picture);
      EXPECT_EQ(Board().Picture->Width(), c.Width);
      EXPECT_EQ(Board().ContentKind, TContentKind::Picture);
      EXPECT_EQ(Frame->CurrentFile, ClipboardName);
      EXPECT_STREQ(Frame->StatusBar->GetText(), "[clipboard]");
      EXPECT_FALSE(Enabled(CM_BESTTIMES));
      Command(CM_SCRAMBLE);
      EXPECT_FALSE(Enabled(CM_SAVEGAME)) << "a pasted picture is never saved";
    } else {
      // The game in progress goes on, its picture and clock included.
      ASSERT_EQ(Asked.size(), 1u);
      EXPECT_EQ(Asked[0].Text, "Unable to copy image from clipboard.");
      EXPECT_EQ(Asked[0].Flags, MB_ICONSTOP | MB_OK);
      EXPECT_FALSE(Board().Idle);
      EXPECT_EQ(Frame->Clock->Seconds, 3);
      EXPECT_TRUE(Board().Picture);
      EXPECT_EQ(Frame->CurrentFile, before);
    }
  }
  mono.fill(1);
  QGuiApplication::clipboard()->setImage(mono);
  Command(CM_PASTE);
  ASSERT_TRUE(Board().Picture);
  EXPECT_TRUE(Board().Picture->IsMonochrome());

  // On exit a pasted picture leaves letters for the next start.
  Frame->CloseWindow();
  const std::string ini = ReadSettings();
  EXPECT_NE(ini.find("TYPE=1\nGAME=1\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("FILE=\n"), std::string::npos) << ini;
}
