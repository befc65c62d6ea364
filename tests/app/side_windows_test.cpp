// The thumbnail, About, Help and Web site commands of the main window.
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

#include "dialogs/org_window.h"
#include "framework/system_metrics.h"
#include "main_window_fixture.h"
#include "platform/desktop_open.h"
#include "platform/files.h"

namespace {

// A picture file of the given size in dir.
std::string PictureFile(const std::string& dir, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(qRgb(20, 120, 220));
  std::string path = dir + std::to_string(width) + "x" + std::to_string(height) + ".bmp";
  image.save(QString::fromStdString(path), "BMP");
  return path;
}

void Settle() {
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

QWidget* TopWidget(const TWindow& window) {
  return reinterpret_cast<QWidget*>(window.GetHandle())->window();
}

// What the desktop was asked to open, answered with Answer.
struct TOpened {
  TOpened() {
    SetDesktopOpener([this](const std::string& url) {
      Urls.push_back(url);
      return Answer;
    });
  }
  ~TOpened() { SetDesktopOpener({}); }
  TOpened(const TOpened&) = delete;
  TOpened& operator=(const TOpened&) = delete;
  std::vector<std::string> Urls;
  bool Answer = true;
};

TEST_F(MainWindowTest, ThumbnailShowsFollowsAndClosesWithItsCommand) {
  Start();
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  const TPoint initial(GetWorkArea().Width() - 320 - 2, 100);
  const std::string large = PictureFile(Dir(), 640, 480);
  Frame->CurrentFile = large;
  ASSERT_TRUE(Frame->OpenPicture(large.c_str()));

  Command(CM_THUMBNAIL);
  ASSERT_NE(Frame->Thumbnail, nullptr);
  EXPECT_TRUE(Frame->Thumbnail->IsWindowVisible());
  EXPECT_TRUE(Checked(CM_THUMBNAIL));
  EXPECT_EQ(Frame->ThumbnailButton->GetButtonState(), TButtonGadget::Down);
  EXPECT_EQ(Frame->Thumbnail->GetWindowRect().TopLeft(), initial);
  EXPECT_EQ(Frame->Thumbnail->GetClientRect().Size(), TSize(320, 240 + caption));

  // A new picture: its size, in the place the player gave the window.
  Frame->Thumbnail->MoveWindow(50, 60, 320, 240);
  const TPoint moved = Frame->Thumbnail->GetWindowRect().TopLeft();
  const std::string small = PictureFile(Dir(), 101, 75);
  ASSERT_TRUE(Frame->OpenPicture(small.c_str()));
  EXPECT_EQ(Frame->Thumbnail->GetWindowRect().TopLeft(), moved);
  EXPECT_EQ(Frame->Thumbnail->GetClientRect().Size(), TSize(50, 37 + caption));
  ASSERT_NE(Frame->Thumbnail->GetPicture(), nullptr);
  EXPECT_EQ(Frame->Thumbnail->GetPicture()->Width(), 101);

  // The close box goes through the command.
  QPointer<QWidget> window = TopWidget(*Frame->Thumbnail);
  window->close();
  Settle();
  EXPECT_EQ(Frame->Thumbnail, nullptr);
  EXPECT_FALSE(Checked(CM_THUMBNAIL));
  EXPECT_EQ(Frame->ThumbnailButton->GetButtonState(), TButtonGadget::Up);
  EXPECT_TRUE(window.isNull()) << "the window itself is gone, not just hidden";

  // Back near the top right, sized for the present picture; the numeric board closes it.
  Command(CM_THUMBNAIL);
  ASSERT_NE(Frame->Thumbnail, nullptr);
  EXPECT_EQ(Frame->Thumbnail->GetWindowRect().TopLeft(), TPoint(initial.x + 320 - 50, 100));
  Command(CM_NUMERIC);
  EXPECT_EQ(Frame->Thumbnail, nullptr);
  EXPECT_FALSE(Checked(CM_THUMBNAIL));
  EXPECT_EQ(Frame->ThumbnailButton->GetButtonState(), TButtonGadget::Up);
}

TEST_F(MainWindowTest, ThumbnailGoesWithTheMainWindow) {
  Start();
  const std::string picture = PictureFile(Dir(), 64, 48);
  Frame->CurrentFile = picture;
  ASSERT_TRUE(Frame->OpenPicture(picture.c_str()));
  Command(CM_THUMBNAIL);
  ASSERT_NE(Frame->Thumbnail, nullptr);
  QPointer<QWidget> window = TopWidget(*Frame->Thumbnail);
  Frame->Destroy();
  Frame.reset();
  Settle();
  EXPECT_TRUE(window.isNull());
}

TEST_F(MainWindowTest, AboutRunsTheAboutBoxModally) {
  Start();
  Command(CM_ABOUT);
  ASSERT_EQ(Asked.size(), 1U);
  EXPECT_EQ(Asked[0].Kind, TModalRequest::Dialog);
  EXPECT_EQ(Asked[0].ResourceId, 4);
  EXPECT_EQ(Asked[0].Caption, "About");
}

TEST_F(MainWindowTest, HelpOpensThePageBesideTheProgramOrSaysItCannot) {
  Start();
  const std::string path = HelpFilePath();
  EXPECT_EQ(path, std::string(ProgramDirectory()) + "kavro.html");
  QFile page(QString::fromStdString(path));
  ASSERT_FALSE(page.exists()) << "the test program's folder holds no help page";
  TOpened opened;

  Command(CM_HELP);
  EXPECT_TRUE(opened.Urls.empty());
  ASSERT_EQ(Asked.size(), 1U);
  EXPECT_EQ(Asked[0].Text, "Unable to open the help file " + path + ".");
  EXPECT_EQ(Asked[0].Flags, static_cast<UINT>(MB_ICONSTOP | MB_OK));

  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.write("<html></html>");
  page.close();
  Command(CM_HELP);
  page.remove();
  EXPECT_EQ(opened.Urls, std::vector<std::string>{"file://" + path});
  EXPECT_EQ(Asked.size(), 1U) << "no message when the page opened";
}

TEST_F(MainWindowTest, WebSiteOpensTheProductPage) {
  Start();
  TOpened opened;
  Command(CM_WEBSITE);
  EXPECT_EQ(opened.Urls, std::vector<std::string>{"http://www.kavro.org/kavro.html"});
  EXPECT_TRUE(Frame->IsIconic());
  EXPECT_TRUE(Asked.empty());

  // Nothing to show it with: the game comes back and says so.
  opened.Answer = false;
  Command(CM_WEBSITE);
  QCoreApplication::processEvents();
  EXPECT_FALSE(Frame->IsIconic());
  ASSERT_EQ(Asked.size(), 1U);
  EXPECT_EQ(Asked[0].Text, "Unable to open http://www.kavro.org/kavro.html.");
}

}  // namespace
