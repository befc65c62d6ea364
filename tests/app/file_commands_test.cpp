// Open image with its preview, Load game, Save game and the recent files, through the
// test responder with real files.
#include <QDir>
#include <QImage>

#include "app/custom_open_dialog.h"
#include "dialogs/seven_gadget.h"
#include "framework/windows/window_impl.h"
#include "main_window_fixture.h"

namespace {

std::string MakePicture(const std::string& path, QRgb colour, int width = 60, int height = 40) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  image.save(QString::fromStdString(path));
  return path;
}

// The open dialog with its selection moved by hand, as the player's browsing moves it.
class TBrowsedOpenDialog : public TCustomOpenDialog {
 public:
  using TCustomOpenDialog::TCustomOpenDialog;
  void Browse(const std::string& path) { SelectionChanged(path); }
  QRgb At(int x, int y) const { return Impl()->Backing.pixel(x, y) & 0xFFFFFF; }
};

}  // namespace

TEST_F(MainWindowTest, PreviewShowsTheSelectedPictureAndKeepsItForAFileThatDoesNotLoad) {
  const std::string red = MakePicture(Dir() + "red.bmp", qRgb(250, 0, 0), 300, 100);
  const std::string blue = MakePicture(Dir() + "blue.jpg", qRgb(0, 0, 250));
  TOpenSaveDialog::TData data(0);
  TBrowsedOpenDialog dialog(nullptr, data);
  std::vector<QRgb> seen;
  TScopedModalResponder browse([&](const TModalRequest& request) {
    EXPECT_EQ(request.ResourceId, IDD_PREVIEW);
    const int x = dialog.GetClientRect().Width() - 150;
    for (const std::string& path : {red, Dir() + "missing.bmp", Dir() + "kavro.ini", blue}) {
      dialog.Browse(path);
      seen.push_back(dialog.At(x + 62, 50 + 62));
    }
    // Stretched to 125 x 125 whatever the picture's shape, left of the panel's right edge.
    EXPECT_EQ(dialog.At(x, 50), qRgb(0, 0, 250) & 0xFFFFFF);
    EXPECT_EQ(dialog.At(x + 124, 174), qRgb(0, 0, 250) & 0xFFFFFF);
    EXPECT_NE(dialog.At(x + 125, 175), qRgb(0, 0, 250) & 0xFFFFFF);
    return TModalAnswer(IDCANCEL);
  });
  EXPECT_EQ(dialog.Execute(), IDCANCEL);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], qRgb(250, 0, 0) & 0xFFFFFF);
  EXPECT_EQ(seen[1], seen[0]) << "a missing file keeps the preview";
  EXPECT_EQ(seen[2], seen[0]) << "so does a file that is no picture";
  EXPECT_NE(seen[3], seen[0]);
}

TEST_F(MainWindowTest, FileCommandsOpenSaveLoadAndRememberTheirFiles) {
  const std::string sub = Dir() + "pics.old";
  QDir().mkpath(QString::fromStdString(sub));
  const std::string cat = MakePicture(sub + "/cat", qRgb(10, 200, 10));
  const std::string picture = MakePicture(Dir() + "flower.bmp", qRgb(10, 20, 200));
  Start();
  std::vector<TModalRequest> dialogs;
  std::deque<std::string> paths;
  TScopedModalResponder files([&](const TModalRequest& r) {
    if (r.Kind == TModalRequest::MessageBox) {
      Asked.push_back(r);
      return TModalAnswer(IDOK);
    }
    dialogs.push_back(r);
    if (paths.empty()) return TModalAnswer(IDCANCEL);
    const std::string path = paths.front();
    paths.pop_front();
    return TModalAnswer(IDOK, path);
  });

  // Cancel changes nothing; a chosen picture opens idle, at normal size.
  Command(CM_OPENIMAGE);
  EXPECT_EQ(Board().ContentKind, TContentKind::Alphabet);
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].Caption, "Open Image");
  EXPECT_EQ(dialogs[0].Directory, "");
  paths = {picture};
  Command(CM_OPENIMAGE);
  EXPECT_EQ(Frame->CurrentFile, picture);
  EXPECT_EQ(Board().ContentKind, TContentKind::Picture);
  EXPECT_STREQ(Frame->StatusBar->GetText(), picture.c_str());
  EXPECT_EQ(Frame->RecentPath(0), picture);

  // Save while the clock runs: the picture's name with ".KVR", in its directory.
  Now = 1000;
  Command(CM_SCRAMBLE);
  Now = 8500;
  Frame->HandleMessage(WM_TIMER, CLOCK_TIMER_ID, 0);
  const std::string game = Dir() + "flower.KVR";
  paths = {game};
  Command(CM_SAVEGAME);
  EXPECT_EQ(dialogs.back().Kind, TModalRequest::FileSave);
  EXPECT_EQ(dialogs.back().Text, game);
  EXPECT_EQ(dialogs.back().Directory, Scratch.path().toStdString());
  EXPECT_EQ(Frame->GameFile, game);
  EXPECT_EQ(Frame->RecentPath(0), game);
  EXPECT_FALSE(Board().Idle) << "saving does not stop the game";
  std::vector<int> numbers;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) numbers.push_back(Board().Pieces[y][x]->Number);

  // Another board, then the saved game back: same board, the clock going on from 7 s.
  Command(CM_NUMERIC);
  paths = {game};
  Now = 50000;
  Command(CM_LOADGAME);
  EXPECT_EQ(Frame->CurrentFile, picture);
  EXPECT_EQ(Board().ContentKind, TContentKind::Picture);
  EXPECT_FALSE(Board().Idle);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Board().Pieces[i / 3][i % 3]->Number, numbers[i]);
  EXPECT_EQ(Frame->Clock->Seconds, 7);
  Now = 52000;
  Frame->HandleMessage(WM_TIMER, CLOCK_TIMER_ID, 0);
  EXPECT_EQ(Frame->Clock->Seconds, 9);

  // A file that is no saved game, a picture that does not open, one whose path no saved
  // game could hold, even one too long for the dialog itself: each is told, and the game
  // goes on as it was.
  const std::string tooLong = Dir() + std::string(259 - Dir().size() - 4, 'p') + ".bmp";
  const std::string pastTheDialog = Dir() + std::string(300, 'q') + ".bmp";
  Asked.clear();
  paths = {Dir() + "kavro.ini", Dir() + "missing.bmp", tooLong, pastTheDialog};
  Command(CM_LOADGAME);
  for (int i = 0; i < 3; ++i) Command(CM_OPENIMAGE);
  ASSERT_EQ(Asked.size(), 4u);
  EXPECT_EQ(Asked[0].Text, "Unable to read the file.");
  EXPECT_EQ(Asked[2].Text, "The path of this picture is too long.");
  EXPECT_EQ(Asked[3].Text, "The path of this picture is too long.");
  EXPECT_EQ(Frame->GameFile, game);
  EXPECT_EQ(Frame->CurrentFile, picture);
  EXPECT_EQ(Board().ContentKind, TContentKind::Picture);
  EXPECT_FALSE(Board().Idle);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Board().Pieces[i / 3][i % 3]->Number, numbers[i]);
  Now = 53000;
  Frame->HandleMessage(WM_TIMER, CLOCK_TIMER_ID, 0);
  EXPECT_EQ(Frame->Clock->Seconds, 10);
  EXPECT_EQ(Frame->RecentPath(0), game);

  // A save that cannot be written leaves the list alone.
  Command(CM_ALPHABET);
  Command(CM_SCRAMBLE);
  paths = {Dir() + "no/such/dir/x.KVR"};
  Command(CM_SAVEGAME);
  EXPECT_EQ(dialogs.back().Text, "Alphabet.KVR");
  EXPECT_EQ(dialogs.back().Directory, "");
  EXPECT_EQ(Frame->RecentPath(0), game);
  EXPECT_FALSE(Frame->GameFile);

  // A picture in a dotted directory without an extension of its own.
  Frame->CurrentFile = cat;
  Board().Idle = false;
  Command(CM_SAVEGAME);
  EXPECT_EQ(dialogs.back().Text, cat + ".KVR");
  EXPECT_EQ(dialogs.back().Directory, sub);

  // Recent entries of both kinds.
  Frame->AddRecentFile(picture.c_str());
  Command(CM_RECENT1 + 1);  // the saved game, now second
  EXPECT_EQ(Frame->GameFile, game);
  EXPECT_FALSE(Board().Idle);
  Command(CM_RECENT1 + 1);  // the picture, second again
  EXPECT_EQ(Frame->CurrentFile, picture);
  EXPECT_TRUE(Board().Idle);
  EXPECT_EQ(Frame->RecentPath(0), picture);

  // A game saved solved loads finished: its time stands, and there is nothing to save.
  Now = 80000;
  Command(CM_SCRAMBLE);
  Now = 84000;
  Frame->HandleMessage(WM_TIMER, CLOCK_TIMER_ID, 0);
  Board().Reset();
  Board().Idle = false;
  paths = {Dir() + "solved.KVR", Dir() + "solved.KVR"};
  Command(CM_SAVEGAME);
  Command(CM_LOADGAME);
  EXPECT_TRUE(Board().Idle);
  EXPECT_EQ(Frame->Clock->Seconds, 4);
  Now = 90000;
  Frame->HandleMessage(WM_TIMER, CLOCK_TIMER_ID, 0);
  EXPECT_EQ(Frame->Clock->Seconds, 4);
  EXPECT_FALSE(Enabled(CM_SAVEGAME));
}
