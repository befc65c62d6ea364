// The thumbnail and the Help menu's commands of the main window.
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

#include "dialogs/org_window.h"
#include "framework/windows/system_metrics.h"
#include "main_window_fixture.h"
#include "platform/desktop_open.h"
#include "platform/files.h"

namespace {

class SideWindowsTest : public MainWindowTest {
 protected:
  // Opens a picture of the given size as the Open image command leaves it.
  void OpenPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(20, 120, 220));
    const std::string path = Dir() + std::to_string(width) + ".bmp";
    image.save(QString::fromStdString(path), "BMP");
    Frame->CurrentFile = path;
    ASSERT_TRUE(Frame->OpenPicture(path.c_str()));
  }
  static void Settle() {
    for (int i = 0; i < 5; ++i) {
      QCoreApplication::processEvents();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
  QPointer<QWidget> ThumbnailWidget() const {
    return reinterpret_cast<QWidget*>(Frame->Thumbnail->GetHandle())->window();
  }
  void ExpectThumbnail(bool shown) {
    EXPECT_EQ(Frame->Thumbnail != nullptr, shown);
    EXPECT_EQ(Checked(CM_THUMBNAIL), shown);
    EXPECT_EQ(Frame->ThumbnailButton->GetButtonState(),
              shown ? TButtonGadget::Down : TButtonGadget::Up);
  }
};

TEST_F(SideWindowsTest, ThumbnailShowsFollowsThePictureAndCloses) {
  Start();
  const int right = GetWorkArea().Width() - 2;
  OpenPicture(640, 480);
  Command(CM_THUMBNAIL);
  ExpectThumbnail(true);
  ASSERT_TRUE(Frame->Thumbnail && Frame->Thumbnail->IsWindowVisible());
  EXPECT_EQ(Frame->Thumbnail->GetWindowRect().TopLeft(), TPoint(right - 320, 100));
  EXPECT_EQ(Frame->Thumbnail->GetClientRect().Size(), TSize(320, 240));

  Frame->Thumbnail->MoveWindow(50, 60, 320, 240);  // where the player put it
  const TPoint moved = Frame->Thumbnail->GetWindowRect().TopLeft();
  OpenPicture(101, 75);
  EXPECT_EQ(Frame->Thumbnail->GetWindowRect().TopLeft(), moved);
  EXPECT_EQ(Frame->Thumbnail->GetClientRect().Size(), TSize(50, 37));

  QPointer<QWidget> window = ThumbnailWidget();
  window->close();  // the close box
  Settle();
  ExpectThumbnail(false);
  EXPECT_TRUE(window.isNull()) << "gone, not just hidden";

  Command(CM_THUMBNAIL);
  ASSERT_TRUE(Frame->Thumbnail);
  EXPECT_EQ(Frame->Thumbnail->GetWindowRect().TopLeft(), TPoint(right - 50, 100));
  Command(CM_NUMERIC);
  ExpectThumbnail(false);

  // The main window takes a shown thumbnail with it.
  OpenPicture(64, 48);
  Command(CM_THUMBNAIL);
  window = ThumbnailWidget();
  Frame->Destroy();
  Frame.reset();
  Settle();
  EXPECT_TRUE(window.isNull());
}

TEST_F(SideWindowsTest, HelpWebSiteAndAbout) {
  Start();
  struct TRestore {
    ~TRestore() { SetDesktopOpener({}); }
  } restore;
  std::vector<std::string> opened;
  bool opens = true;
  SetDesktopOpener([&](const std::string& url) {
    opened.push_back(url);
    return opens;
  });
  const std::string help = HelpFilePath();
  EXPECT_EQ(help, std::string(ProgramDirectory()) + "kavro.html");
  QFile page(QString::fromStdString(help));
  ASSERT_FALSE(page.exists());
  Command(CM_HELP);  // a missing page is reported, not passed over
  ASSERT_EQ(Asked.size(), 1U);
  EXPECT_EQ(Asked[0].Text, "Unable to open the help file " + help + ".");
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.close();
  Command(CM_HELP);
  page.remove();

  Command(CM_WEBSITE);
  EXPECT_TRUE(Frame->IsIconic());
  opens = false;  // no browser: the game comes back and says so
  Command(CM_WEBSITE);
  QCoreApplication::processEvents();
  EXPECT_FALSE(Frame->IsIconic());
  EXPECT_EQ(opened, (std::vector<std::string>{"file://" + help, "http://www.kavro.org/kavro.html",
                                              "http://www.kavro.org/kavro.html"}));

  Command(CM_ABOUT);
  ASSERT_EQ(Asked.size(), 3U);
  EXPECT_EQ(Asked[1].Text, "Unable to open http://www.kavro.org/kavro.html.");
  EXPECT_EQ(Asked[2].Kind, TModalRequest::Dialog);
  EXPECT_EQ(Asked[2].ResourceId, 4);
}

}  // namespace
